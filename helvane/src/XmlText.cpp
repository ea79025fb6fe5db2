#include "helvane/XmlText.h"

#include "helvane/Log.h"

#include <cstring>

namespace {

// Longer than any UTF-8 sequence TinyXML may step over.
constexpr size_t kZeroPadding = 8;

// The position just past `end` at or after `from`, or the end of the text.
size_t SkipPast(std::string_view text, size_t from, std::string_view end)
{
    size_t at = text.find(end, from);
    return at == std::string_view::npos ? text.size() : at + end.size();
}

// The position just past the '>' that closes the tag starting at `from`, stepping over quoted
// attribute values; `selfClosing` tells whether the tag ends in "/>".
size_t SkipTag(std::string_view text, size_t from, bool& selfClosing)
{
    char quote = 0;
    char previous = 0;
    for (size_t i = from; i < text.size(); ++i) {
        char c = text[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            selfClosing = previous == '/';
            return i + 1;
        }
        previous = c;
    }
    selfClosing = false;
    return text.size();
}

} // namespace

size_t XmlElementDepth(std::string_view text, size_t limit)
{
    size_t depth = 0;
    size_t deepest = 0;
    size_t i = 0;
    while (i < text.size()) {
        const void* found = std::memchr(text.data() + i, '<', text.size() - i);
        if (!found)
            break;
        i = static_cast<size_t>(static_cast<const char*>(found) - text.data());
        std::string_view rest = text.substr(i);
        if (rest.starts_with("<!--")) {
            i = SkipPast(text, i + 4, "-->");
        } else if (rest.starts_with("<![CDATA[")) {
            i = SkipPast(text, i + 9, "]]>");
        } else if (rest.starts_with("<?")) {
            i = SkipPast(text, i + 2, "?>");
        } else if (rest.starts_with("<!")) {
            i = SkipPast(text, i + 2, ">");
        } else if (rest.starts_with("</")) {
            if (depth > 0)
                --depth;
            i = SkipPast(text, i + 2, ">");
        } else {
            bool selfClosing = false;
            i = SkipTag(text, i + 1, selfClosing);
            if (!selfClosing && ++depth > deepest) {
                deepest = depth;
                if (deepest > limit)
                    return deepest;
            }
        }
    }
    return deepest;
}

bool ParseXmlText(TiXmlDocument& document, std::string_view text, TiXmlEncoding encoding)
{
    if (XmlElementDepth(text) > kMaxXmlDepth) {
        DFLog(L"XML refused: its elements are nested deeper than %d levels", static_cast<int>(kMaxXmlDepth));
        document.Clear();
        // An empty parse leaves the document with TinyXML's own "empty document" error, which
        // every reader already treats as a file that cannot be read.
        document.Parse("", nullptr, encoding);
        return false;
    }
    std::string padded(text);
    padded.append(kZeroPadding, '\0');
    document.Parse(padded.c_str(), nullptr, encoding);
    return !document.Error();
}
