#include "helvane/XmlText.h"

namespace {

// Longer than any UTF-8 sequence TinyXML may step over.
constexpr size_t kZeroPadding = 8;

} // namespace

bool ParseXmlText(TiXmlDocument& document, std::string_view text, TiXmlEncoding encoding)
{
    std::string padded(text);
    padded.append(kZeroPadding, '\0');
    document.Parse(padded.c_str(), nullptr, encoding);
    return !document.Error();
}
