// Parsing XML text held in memory with TinyXML.
#pragma once

#include <tinyxml.h>

#include <string>
#include <string_view>

// Parses the text into the document. TinyXML reads up to a terminating zero, but text that ends
// inside a multi-byte UTF-8 sequence can make it step past a single zero; the parsed copy ends in
// enough zeros to stop it there. Returns false when the document has a parse error.
bool ParseXmlText(TiXmlDocument& document, std::string_view text,
                  TiXmlEncoding encoding = TIXML_DEFAULT_ENCODING);
