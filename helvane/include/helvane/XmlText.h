// Parsing XML text held in memory with TinyXML.
#pragma once

#include <tinyxml.h>

#include <cstddef>
#include <string>
#include <string_view>

// Deeper than any file the game writes or ships; TinyXML parses (and the readers walk) element
// trees recursively, so a deeper document could exhaust the stack.
inline constexpr size_t kMaxXmlDepth = 256;

// The deepest nesting of elements with content that TinyXML's parser reaches in the text, found
// without building a tree: the text is walked node by node as the parser reads it (comments,
// declarations, CDATA, unknown "<!" and "<?" nodes, attributes and multi-byte characters end
// where the parser ends them), with a loop where the parser recurses. The walk stops where the
// parser would fail and once `limit` is passed, so a hostile text costs one pass over its bytes.
size_t XmlElementDepth(std::string_view text, size_t limit = kMaxXmlDepth,
                       TiXmlEncoding encoding = TIXML_DEFAULT_ENCODING);

// Parses the text into the document. TinyXML reads up to a terminating zero, but text that ends
// inside a multi-byte UTF-8 sequence can make it step past a single zero; the parsed copy ends in
// enough zeros to stop it there. Text nested deeper than kMaxXmlDepth is refused with a log line
// before TinyXML sees it, and the document is left empty with an error. Returns false when the
// document has a parse error.
bool ParseXmlText(TiXmlDocument& document, std::string_view text,
                  TiXmlEncoding encoding = TIXML_DEFAULT_ENCODING);
