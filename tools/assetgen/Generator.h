// Runs the recipe list: every recipe writes its files under the output folder (the run folder).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Canvas.h"
#include "Recipe.h"
#include "TextRenderer.h"

namespace assetgen {

// A picture that was written, kept for the contact sheet and for the sizes animations need.
struct GeneratedImage {
  std::string output;
  Canvas canvas;
};

class Generator {
 public:
  Generator(std::string outDir, std::string fontDir);

  void Run(const std::vector<Recipe>& recipes);

  const std::vector<GeneratedImage>& Images() const { return images_; }
  // The picture written under this file name (any folder), or null.
  const Canvas* FindImage(const std::string& fileName) const;
  TextRenderer& Text() { return text_; }
  std::string OutputPath(const std::string& relative) const;
  void AddImage(const std::string& output, Canvas canvas);

 private:
  void RunOne(const Recipe& recipe);

  std::string outDir_;
  TextRenderer text_;
  std::vector<GeneratedImage> images_;
  std::map<std::string, size_t> byFileName_;
};

// One function per recipe kind; each lives in the file of its kind.
void MakeImage(Generator& gen, const Recipe& recipe);
void MakeDigits(Generator& gen, const Recipe& recipe);
void MakeImageset(Generator& gen, const Recipe& recipe);
void MakeSound(Generator& gen, const Recipe& recipe);
void MakeMovie(Generator& gen, const Recipe& recipe);
void MakeAnimation(Generator& gen, const Recipe& recipe);

// Draws the picture operations of a recipe on a canvas; `{d}` in texts becomes `digit`.
void DrawOperations(Generator& gen, Canvas& canvas, const std::vector<RecipeLine>& lines,
                    const std::string& digit = "");
// Writes a canvas as TGA (32-bit, uncompressed), PNG (RGBA) or BMP (24-bit) by the extension.
void WriteImage(const std::string& path, const Canvas& canvas);

std::string LowerCase(std::string text);
std::string FileNameOf(const std::string& path);

}  // namespace assetgen
