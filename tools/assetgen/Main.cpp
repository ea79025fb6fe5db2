// assetgen: writes the game's generated files into the run folder from the recipe lists.
//   assetgen --out RUNDIR --fonts FONTDIR [--sheet SHEET.png] RECIPE...
// Exit status 0 on success; a recipe error names the file and line and ends the run with 1.
#include <fstream>
#include <iostream>
#include <sstream>

#include "ContactSheet.h"
#include "Generator.h"

namespace {

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw assetgen::RecipeError(path + ": cannot be read");
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

int main(int argc, char** argv) {
  std::string outDir, fontDir, sheet;
  std::vector<std::string> recipeFiles;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if ((arg == "--out" || arg == "--fonts" || arg == "--sheet") && i + 1 < argc) {
      (arg == "--out" ? outDir : arg == "--fonts" ? fontDir : sheet) = argv[++i];
    } else {
      recipeFiles.push_back(arg);
    }
  }
  if (outDir.empty() || fontDir.empty() || recipeFiles.empty()) {
    std::cerr << "usage: assetgen --out RUNDIR --fonts FONTDIR [--sheet SHEET.png] RECIPE...\n";
    return 2;
  }
  try {
    std::vector<assetgen::Recipe> recipes;
    for (const std::string& file : recipeFiles) {
      auto some = assetgen::ParseRecipes(ReadText(file), file);
      recipes.insert(recipes.end(), some.begin(), some.end());
    }
    assetgen::Generator generator(outDir, fontDir);
    generator.Run(recipes);
    if (!sheet.empty()) assetgen::WriteContactSheet(generator, sheet);
    std::cout << "assetgen: " << recipes.size() << " recipes, " << generator.Images().size() << " pictures\n";
  } catch (const std::exception& e) {
    std::cerr << "assetgen: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
