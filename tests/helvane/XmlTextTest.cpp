// Parsing XML text: nesting deep enough to exhaust the stack is refused before TinyXML sees it,
// while everything the game's files hold (comments, declarations, CDATA, quoted '>' and '/')
// still parses.
#include "support/LogCapture.h"
#include "support/XmlTreeDepth.h"

#include <helvane/XmlText.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

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

// Nesting that a reading of its own, not following the parser, would miss: an unknown "<?" node
// ends at its first '>', a declaration's quoted value may hold "?>" ahead of a comment the parser
// never enters, and in UTF-8 a lead byte takes the next bytes with it, "</a" included. The depth
// measured is the parser's own, and deep texts of each kind are refused before the parser runs.
TEST(XmlTextTest, DepthIsTheOneTheParserReaches)
{
    struct HiddenCase {
        const char* name;
        std::string head;
        std::string level;
        std::string tail;
    };
    const HiddenCase cases[] = {
        {"processing instruction", "<Record><?x>", "<a>", ""},
        {"declaration value", "<Record><?xml version=\"?>\"<!-- >", "<a>", "-->"},
        {"lead byte", "<?xml version=\"1.0\"?><Record>", "<a>\xF0</a>", ""},
        {"lead byte after BOM", "\xEF\xBB\xBF<Record>", "<a>\xE0</a>", ""},
        {"doctype and quoted >", "<!DOCTYPE Record><Record>", "<a x='>'>", ""},
    };
    for (const HiddenCase& c : cases) {
        std::string shallow = c.head;
        for (int i = 0; i < 60; ++i)
            shallow += c.level;
        shallow += c.tail;
        TiXmlDocument parsed;
        parsed.Parse(shallow.c_str());
        EXPECT_GE(XmlTreeDepth(parsed), 60u) << c.name;
        EXPECT_EQ(XmlElementDepth(shallow, 1000), XmlTreeDepth(parsed)) << c.name;

        std::string deep = c.head;
        for (int i = 0; i < 300000; ++i)
            deep += c.level;
        deep += c.tail;
        TiXmlDocument refused;
        EXPECT_FALSE(ParseXmlText(refused, deep)) << c.name;
        EXPECT_EQ(refused.RootElement(), nullptr) << c.name;
    }
}

} // namespace
