// XML cursor over TinyXML.
#include "kv/KVXmlCursor.h"

#include <helvane/XmlText.h>

namespace kv {

bool KVXmlCursor::Parse(const char* text)
{
    m_document = std::make_unique<TiXmlDocument>();
    ParseXmlText(*m_document, text ? text : "");
    m_node = m_document.get();
    return true;
}

bool KVXmlCursor::MoveToFirstChild()
{
    if (!m_node)
        return false;
    TiXmlElement* child = m_node->FirstChildElement();
    if (!child)
        return false;
    m_node = child;
    return true;
}

bool KVXmlCursor::MoveToNextSibling()
{
    if (!m_node || !m_node->ToElement())
        return false;
    TiXmlElement* next = m_node->NextSiblingElement();
    if (!next)
        return false;
    m_node = next;
    return true;
}

} // namespace kv
