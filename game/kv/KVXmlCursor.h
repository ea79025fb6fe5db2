// A small cursor over a TinyXML document: the window system's fallback layout reader and the
// window base's ReadXml walk elements with it.
#pragma once

#include <tinyxml.h>

#include <memory>

namespace kv {

class KVXmlCursor {
public:
    KVXmlCursor() = default;
    // A cursor at an element of another cursor's document; it owns no document.
    explicit KVXmlCursor(TiXmlNode* node) : m_node(node) {}

    // Parses the text into an owned document and moves to it. True whatever the parse result.
    bool Parse(const char* text);
    bool MoveToFirstChild();
    bool MoveToNextSibling();

    TiXmlNode* Node() const { return m_node; }
    TiXmlElement* Element() const { return m_node ? m_node->ToElement() : nullptr; }

private:
    std::unique_ptr<TiXmlDocument> m_document;
    TiXmlNode* m_node = nullptr;
};

} // namespace kv
