#include "Recipe.h"

#include <cstdlib>
#include <sstream>

namespace assetgen {

RecipeLine::RecipeLine(std::string where, std::vector<std::string> args,
                       std::map<std::string, std::string> options)
    : where_(std::move(where)), args_(std::move(args)), options_(std::move(options)) {}

void RecipeLine::Fail(const std::string& message) const { throw RecipeError(where_ + ": " + message); }

const std::string& RecipeLine::Text(size_t i) const {
  if (i >= args_.size()) Fail("argument " + std::to_string(i + 1) + " is missing");
  return args_[i];
}

static double ToNumber(const std::string& text, const RecipeLine& line) {
  char* end = nullptr;
  double value = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0') line.Fail("'" + text + "' is not a number");
  return value;
}

double RecipeLine::Number(size_t i) const { return ToNumber(Text(i), *this); }

int RecipeLine::Integer(size_t i) const { return static_cast<int>(Number(i)); }

Colour RecipeLine::ColourAt(size_t i) const { return ParseColour(Text(i), where_); }

std::string RecipeLine::Option(const std::string& key, const std::string& fallback) const {
  auto it = options_.find(key);
  return it == options_.end() ? fallback : it->second;
}

double RecipeLine::Option(const std::string& key, double fallback) const {
  auto it = options_.find(key);
  return it == options_.end() ? fallback : ToNumber(it->second, *this);
}

Colour RecipeLine::Option(const std::string& key, Colour fallback) const {
  auto it = options_.find(key);
  return it == options_.end() ? fallback : ParseColour(it->second, where_);
}

Colour ParseColour(const std::string& text, const std::string& where) {
  auto bad = [&] { return RecipeError(where + ": '" + text + "' is not a colour (#RRGGBB or #RRGGBBAA)"); };
  if (text.size() != 7 && text.size() != 9) throw bad();
  if (text[0] != '#') throw bad();
  uint8_t bytes[4] = {0, 0, 0, 255};
  for (size_t i = 1; i < text.size(); i += 2) {
    char* end = nullptr;
    std::string pair = text.substr(i, 2);
    long value = std::strtol(pair.c_str(), &end, 16);
    if (*end != '\0') throw bad();
    bytes[(i - 1) / 2] = static_cast<uint8_t>(value);
  }
  return Colour{bytes[0], bytes[1], bytes[2], bytes[3]};
}

std::vector<Token> Tokenize(const std::string& line, const std::string& where) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  std::vector<Token> tokens;
  size_t i = 0;
  while (i < line.size()) {
    if (blank(line[i])) {
      ++i;
      continue;
    }
    Token token;
    bool inQuote = false;
    while (i < line.size() && (inQuote || !blank(line[i]))) {
      if (line[i] == '"') {
        inQuote = !inQuote;
        token.quoted = true;
      } else {
        token.text += line[i];
      }
      ++i;
    }
    if (inQuote) throw RecipeError(where + ": a quoted text is not closed");
    tokens.push_back(std::move(token));
  }
  return tokens;
}

static RecipeLine MakeLine(const std::string& where, const std::string& raw) {
  std::vector<std::string> args;
  std::map<std::string, std::string> options;
  for (const Token& token : Tokenize(raw, where)) {
    size_t eq = token.text.find('=');
    if (!token.quoted && eq != std::string::npos && eq > 0) {
      options[token.text.substr(0, eq)] = token.text.substr(eq + 1);
    } else {
      args.push_back(token.text);
    }
  }
  return RecipeLine(where, std::move(args), std::move(options));
}

std::vector<Recipe> ParseRecipes(const std::string& text, const std::string& source) {
  std::vector<Recipe> recipes;
  std::istringstream in(text);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    std::string where = source + ":" + std::to_string(number);
    size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos || line[first] == '#') continue;
    std::string body = line.substr(first);
    if (body[0] == '[') {
      size_t close = body.rfind(']');
      if (close == std::string::npos) throw RecipeError(where + ": the header has no closing ']'");
      RecipeLine header = MakeLine(where, body.substr(1, close - 1));
      if (header.Count() < 2) throw RecipeError(where + ": a header needs a kind and an output name");
      recipes.push_back(Recipe{std::move(header), {}});
      continue;
    }
    if (recipes.empty()) throw RecipeError(where + ": an operation comes before any recipe header");
    recipes.back().lines.push_back(MakeLine(where, body));
  }
  return recipes;
}

}  // namespace assetgen
