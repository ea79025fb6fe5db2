#include "helvane/XmlText.h"

#include "helvane/Log.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// Longer than any UTF-8 sequence TinyXML may step over.
constexpr size_t kZeroPadding = 8;

// Walks text the way TinyXML's parser does, but with a loop and a stack of open elements where
// TinyXML recurses, and measures how deep the element tree gets. Every step other than the
// nesting itself is TinyXML's own: the node kind at a '<' comes from its identification, and
// comments, declarations, CDATA, text, unknown "<!" and "<?" nodes and attributes are read by
// TinyXML's own node readers, so the walk ends each of them exactly where the parser will and
// the depth it reports is the depth the parser reaches. A walk that cannot agree with the parser
// would let some text past the bound; the XML fuzz target parses on a small stack to catch that.
class XmlNestingWalk : public TiXmlNode {
public:
    XmlNestingWalk() : TiXmlNode(TINYXML_DOCUMENT) {}

    // The deepest nesting of elements with content; stops once it passes `limit`.
    size_t Deepest(const char* p, TiXmlEncoding encoding, size_t limit)
    {
        if (!p || !*p)
            return 0;
        const auto* bytes = reinterpret_cast<const unsigned char*>(p);
        // A UTF-8 byte order mark sets the encoding, as it does for the parser.
        if (encoding == TIXML_ENCODING_UNKNOWN && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
            encoding = TIXML_ENCODING_UTF8;
        m_deepest = 0;
        m_limit = limit;
        p = SkipWhiteSpace(p, encoding);
        while (p && *p && m_deepest <= m_limit) {
            std::unique_ptr<TiXmlNode> node(Identify(p, encoding));
            if (!node)
                break;
            p = node->ToElement() ? WalkElement(p, encoding) : node->Parse(p, nullptr, encoding);
            // A declaration before anything else settles the encoding of the rest.
            if (encoding == TIXML_ENCODING_UNKNOWN && node->ToDeclaration()) {
                const char* named = node->ToDeclaration()->Encoding();
                encoding = !*named || StringEqual(named, "UTF-8", true, TIXML_ENCODING_UNKNOWN) ||
                                   StringEqual(named, "UTF8", true, TIXML_ENCODING_UNKNOWN)
                               ? TIXML_ENCODING_UTF8
                               : TIXML_ENCODING_LEGACY;
            }
            p = SkipWhiteSpace(p, encoding);
        }
        return m_deepest;
    }

private:
    enum class TagEnd { Broken, Empty, Content };

    // Reads a start tag at `p` up to its "/>" or ">"; `name` gets the element's name.
    static TagEnd ReadStartTag(const char*& p, std::string& name, TiXmlEncoding encoding)
    {
        p = SkipWhiteSpace(p, encoding);
        if (!p || *p != '<')
            return TagEnd::Broken;
        p = SkipWhiteSpace(p + 1, encoding);
        p = ReadName(p, &name, encoding);
        while (p && *p) {
            p = SkipWhiteSpace(p, encoding);
            if (!p || !*p)
                return TagEnd::Broken;
            if (*p == '/') {
                if (p[1] != '>')
                    return TagEnd::Broken;
                p += 2;
                return TagEnd::Empty;
            }
            if (*p == '>') {
                ++p;
                return TagEnd::Content;
            }
            // A repeated attribute name is an error to the parser; reading on past it can only
            // count deeper than the parser gets, never less deep.
            TiXmlAttribute attribute;
            p = attribute.Parse(p, nullptr, encoding);
        }
        return TagEnd::Broken;
    }

    // Walks the element starting at `p` with everything inside it; null where the parser fails
    // (it stops there too) or once the depth passes the limit.
    const char* WalkElement(const char* p, TiXmlEncoding encoding)
    {
        std::vector<std::string> endTags; // "</name" of each element whose content is being read
        std::string name;
        switch (ReadStartTag(p, name, encoding)) {
        case TagEnd::Broken:
            return nullptr;
        case TagEnd::Empty:
            return p;
        case TagEnd::Content:
            break;
        }
        endTags.push_back("</" + name);
        Note(endTags.size());
        const bool condensed = IsWhiteSpaceCondensed();
        while (!endTags.empty()) {
            if (m_deepest > m_limit)
                return nullptr;
            // The content of the innermost open element, up to its end tag.
            const char* withWhiteSpace = p;
            if (condensed)
                p = SkipWhiteSpace(p, encoding);
            bool childOpened = false;
            while (p && *p) {
                if (*p != '<') {
                    TiXmlText text("");
                    p = text.Parse(condensed ? p : withWhiteSpace, nullptr, encoding);
                } else if (StringEqual(p, "</", false, encoding)) {
                    break;
                } else {
                    std::unique_ptr<TiXmlNode> node(Identify(p, encoding));
                    if (!node)
                        return nullptr;
                    if (node->ToElement()) {
                        TagEnd end = ReadStartTag(p, name, encoding);
                        if (end == TagEnd::Broken)
                            return nullptr;
                        if (end == TagEnd::Content) {
                            endTags.push_back("</" + name);
                            Note(endTags.size());
                            childOpened = true;
                            break;
                        }
                    } else {
                        p = node->Parse(p, nullptr, encoding);
                    }
                }
                withWhiteSpace = p;
                if (condensed)
                    p = SkipWhiteSpace(p, encoding);
            }
            if (childOpened)
                continue;
            if (!p || !*p)
                return nullptr;
            // The end tag of the innermost element closes it; the parent's content goes on.
            const std::string& endTag = endTags.back();
            if (!StringEqual(p, endTag.c_str(), false, encoding))
                return nullptr;
            p = SkipWhiteSpace(p + endTag.size(), encoding);
            if (!p || *p != '>')
                return nullptr;
            ++p;
            endTags.pop_back();
            if (!endTags.empty()) {
                // Back in the parent's content, just after the child, as the parser's loop is.
                // The next pass starts by skipping white space, as the parser does after a child.
                continue;
            }
        }
        return p;
    }

    void Note(size_t depth)
    {
        if (depth > m_deepest)
            m_deepest = depth;
    }

    // The walk never builds, prints or copies a tree; these exist only to complete the node.
    const char* Parse(const char*, TiXmlParsingData*, TiXmlEncoding) override { return nullptr; }
    void Print(FILE*, int) const override {}
    TiXmlNode* Clone() const override { return nullptr; }
    bool Accept(TiXmlVisitor*) const override { return false; }
#ifdef TIXML_USE_STL
    void StreamIn(std::istream*, TIXML_STRING*) override {}
#endif

    size_t m_deepest = 0;
    size_t m_limit = 0;
};

size_t DeepestInPadded(const char* padded, TiXmlEncoding encoding, size_t limit)
{
    XmlNestingWalk walk;
    return walk.Deepest(padded, encoding, limit);
}

} // namespace

size_t XmlElementDepth(std::string_view text, size_t limit, TiXmlEncoding encoding)
{
    std::string padded(text);
    padded.append(kZeroPadding, '\0');
    return DeepestInPadded(padded.c_str(), encoding, limit);
}

bool ParseXmlText(TiXmlDocument& document, std::string_view text, TiXmlEncoding encoding)
{
    std::string padded(text);
    padded.append(kZeroPadding, '\0');
    if (DeepestInPadded(padded.c_str(), encoding, kMaxXmlDepth) > kMaxXmlDepth) {
        DFLog(L"XML refused: its elements are nested deeper than %d levels", static_cast<int>(kMaxXmlDepth));
        document.Clear();
        // An empty parse leaves the document with TinyXML's own "empty document" error, which
        // every reader already treats as a file that cannot be read.
        document.Parse("", nullptr, encoding);
        return false;
    }
    document.Parse(padded.c_str(), nullptr, encoding);
    return !document.Error();
}
