// The asset recipe list: plain text that names every generated file and how to make it.
//
// A recipe opens with a header line in brackets, "[kind output arg...]", and goes on with one
// operation per line until the next header. Tokens are separated by blanks; a token in double
// quotes may hold blanks; "key=value" tokens are options, all others are positional. Lines whose
// first character is '#' are comments. Colours are written "#RRGGBB" or "#RRGGBBAA".
#pragma once

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace assetgen {

struct Colour {
  uint8_t r = 0, g = 0, b = 0, a = 255;
};

// A recipe error names the file and line, so a typo in the data is found at once.
class RecipeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One line of a recipe: positional arguments and key=value options.
class RecipeLine {
 public:
  RecipeLine(std::string where, std::vector<std::string> args, std::map<std::string, std::string> options);

  const std::string& Where() const { return where_; }
  size_t Count() const { return args_.size(); }
  const std::string& Text(size_t i) const;
  double Number(size_t i) const;
  int Integer(size_t i) const;
  Colour ColourAt(size_t i) const;

  bool Has(const std::string& key) const { return options_.count(key) != 0; }
  std::string Option(const std::string& key, const std::string& fallback) const;
  double Option(const std::string& key, double fallback) const;
  Colour Option(const std::string& key, Colour fallback) const;

  [[noreturn]] void Fail(const std::string& message) const;

 private:
  std::string where_;
  std::vector<std::string> args_;
  std::map<std::string, std::string> options_;
};

// A recipe: its header (args[0] is the kind, args[1] the output path) and its operation lines.
struct Recipe {
  RecipeLine header;
  std::vector<RecipeLine> lines;

  const std::string& Kind() const { return header.Text(0); }
  const std::string& Output() const { return header.Text(1); }
};

Colour ParseColour(const std::string& text, const std::string& where);

// One token of a line; a quoted token keeps its blanks and is never read as an option.
struct Token {
  std::string text;
  bool quoted = false;
};

std::vector<Token> Tokenize(const std::string& line, const std::string& where);

// Reads every recipe of a text; `source` names it in error messages.
std::vector<Recipe> ParseRecipes(const std::string& text, const std::string& source);

}  // namespace assetgen
