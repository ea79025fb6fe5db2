#include "Recipe.h"

#include <gtest/gtest.h>

using assetgen::ParseColour;
using assetgen::ParseRecipes;
using assetgen::RecipeError;

TEST(RecipeTest, ReadsHeadersOperationsOptionsAndQuotedTexts) {
  auto recipes = ParseRecipes(
      "# a comment\n"
      "[image data/a.png 32 16]\n"
      "  fill #102030\n"
      "text 4 5 20 #FFFFFF \"two words\" align=center \"x=1\"\n"
      "\n"
      "[sound data/b.wav 0.5 channels=2]\n",
      "test.recipe");
  ASSERT_EQ(recipes.size(), 2u);
  EXPECT_EQ(recipes[0].Kind(), "image");
  EXPECT_EQ(recipes[0].Output(), "data/a.png");
  EXPECT_EQ(recipes[0].header.Integer(2), 32);
  ASSERT_EQ(recipes[0].lines.size(), 2u);
  const auto& text = recipes[0].lines[1];
  EXPECT_EQ(text.Text(5), "two words");
  EXPECT_EQ(text.Option("align", std::string()), "center");
  // A quoted "key=value" stays a positional text.
  EXPECT_EQ(text.Text(6), "x=1");
  EXPECT_EQ(recipes[1].header.Option("channels", 1.0), 2.0);
  EXPECT_TRUE(recipes[1].lines.empty());
}

TEST(RecipeTest, ParsesColoursWithAndWithoutAlpha) {
  auto opaque = ParseColour("#FF8000", "here");
  EXPECT_EQ(opaque.r, 255);
  EXPECT_EQ(opaque.g, 128);
  EXPECT_EQ(opaque.b, 0);
  EXPECT_EQ(opaque.a, 255);
  EXPECT_EQ(ParseColour("#0000FF00", "here").a, 0);
}

// Every malformed input is refused with the file and line, never read as something else.
TEST(RecipeTest, RefusesMalformedInputNamingTheLine) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"fill #000000\n", "t.recipe:1: an operation comes before any recipe header"},
      {"[image data/a.png 8 8\n", "t.recipe:1: the header has no closing ']'"},
      {"[image]\n", "t.recipe:1: a header needs a kind and an output name"},
      {"[image data/a.png 8 8]\ntext 1 1 9 #FFF \"open\n", "t.recipe:2: a quoted text is not closed"},
  };
  for (const Case& c : cases) {
    try {
      ParseRecipes(c.text, "t.recipe");
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const RecipeError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
  for (const char* colour : {"#12345", "FF0000", "#GG0000", "#1234567"})
    EXPECT_THROW(ParseColour(colour, "here"), RecipeError) << colour;
  auto recipes = ParseRecipes("[image data/a.png wide 8]\n", "t.recipe");
  EXPECT_THROW(recipes[0].header.Integer(2), RecipeError);
  EXPECT_THROW(recipes[0].header.Text(7), RecipeError);
}
