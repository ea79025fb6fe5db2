// Parsing XML text: nesting deep enough to exhaust the stack is refused before TinyXML sees it,
// while everything the game's files hold (comments, declarations, CDATA, quoted '>' and '/')
// still parses.
#include "support/LogCapture.h"

#include <helvane/XmlText.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Nested(size_t levels, std::string_view inner = "")
{
    std::string text;
    for (size_t i = 0; i < levels; ++i)
        text += "<e a=\"1\">";
    text += inner;
    for (size_t i = 0; i < levels; ++i)
        text += "</e>";
    return text;
}

struct DepthCase {
    const char* text;
    size_t depth;
};

TEST(XmlTextTest, DepthCountsOnlyOpenElements)
{
    const DepthCase cases[] = {
        {"", 0},
        {"<a/>", 0},
        {"<a></a>", 1},
        {"<?xml version=\"1.0\"?><a><b/><c><d></d></c></a>", 3},
        {"<a><!-- <b><c><d> --></a>", 1},
        {"<a><![CDATA[<b><c>]]></a>", 1},
        {"<!DOCTYPE a><a x='>' y=\"/>\"><b></b></a>", 2},
        {"<a/><b><c/></b>", 1},
        {"<a><b></a></b></b></b><c></c>", 2},
    };
    for (const DepthCase& c : cases)
        EXPECT_EQ(XmlElementDepth(c.text), c.depth) << c.text;
}

TEST(XmlTextTest, DeepNestingIsRefusedWithALogLine)
{
    testsupport::LogCapture log;
    TiXmlDocument doc;
    // Tens of thousands of levels would overflow TinyXML's recursive parser.
    EXPECT_FALSE(ParseXmlText(doc, Nested(50000)));
    EXPECT_TRUE(doc.Error());
    EXPECT_EQ(doc.RootElement(), nullptr);
    EXPECT_TRUE(log.Contains(L"nested deeper than 256"));

    // Unclosed elements count as well as closed ones.
    EXPECT_FALSE(ParseXmlText(doc, [] {
        std::string open;
        for (int i = 0; i < 40000; ++i)
            open += "<e>";
        return open;
    }()));
}

TEST(XmlTextTest, NestingUpToTheLimitStillParses)
{
    TiXmlDocument doc;
    EXPECT_TRUE(ParseXmlText(doc, Nested(kMaxXmlDepth, "<!-- <x><y><z> --><![CDATA[<p><q>]]>")));
    ASSERT_NE(doc.RootElement(), nullptr);
    EXPECT_FALSE(ParseXmlText(doc, Nested(kMaxXmlDepth + 1)));
}

} // namespace
