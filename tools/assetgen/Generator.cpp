#include "Generator.h"

#include <algorithm>
#include <filesystem>

namespace assetgen {

std::string LowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string FileNameOf(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

Generator::Generator(std::string outDir, std::string fontDir) : outDir_(std::move(outDir)), text_(std::move(fontDir)) {}

std::string Generator::OutputPath(const std::string& relative) const {
  std::filesystem::path path = std::filesystem::path(outDir_) / relative;
  std::filesystem::create_directories(path.parent_path());
  return path.string();
}

void Generator::AddImage(const std::string& output, Canvas canvas) {
  std::string key = LowerCase(FileNameOf(output));
  if (byFileName_.count(key)) throw RecipeError("two pictures are named " + FileNameOf(output));
  byFileName_[key] = images_.size();
  images_.push_back(GeneratedImage{output, std::move(canvas)});
}

const Canvas* Generator::FindImage(const std::string& fileName) const {
  auto it = byFileName_.find(LowerCase(FileNameOf(fileName)));
  return it == byFileName_.end() ? nullptr : &images_[it->second].canvas;
}

// Pictures first, so that animations and movies can ask for the sizes of the pictures they show.
void Generator::Run(const std::vector<Recipe>& recipes) {
  auto isPicture = [](const Recipe& r) { return r.Kind() == "image" || r.Kind() == "digits" || r.Kind() == "imageset"; };
  for (const Recipe& recipe : recipes)
    if (isPicture(recipe)) RunOne(recipe);
  for (const Recipe& recipe : recipes)
    if (!isPicture(recipe)) RunOne(recipe);
}

void Generator::RunOne(const Recipe& recipe) {
  const std::string& kind = recipe.Kind();
  if (kind == "image") return MakeImage(*this, recipe);
  if (kind == "digits") return MakeDigits(*this, recipe);
  if (kind == "imageset") return MakeImageset(*this, recipe);
  if (kind == "sound") return MakeSound(*this, recipe);
  if (kind == "movie") return MakeMovie(*this, recipe);
  if (kind == "anim") return MakeAnimation(*this, recipe);
  recipe.header.Fail("unknown recipe kind '" + kind + "'");
}

}  // namespace assetgen
