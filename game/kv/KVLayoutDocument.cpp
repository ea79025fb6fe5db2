// Layout loader: version handling, the version-1 and version-2 tree readers, and ownership of
// the descriptions until windows take them.
#include "kv/KVLayoutDocument.h"
#include <helvane/XmlText.h>

#include "kv/KVException.h"
#include "kv/KVInterface.h"
#include "kv/KVLayoutReaders.h"
#include "kv/KVString.h"

#include <win32/Text.h>

#include <cstdlib>

namespace kv {

using Testing::KVException;
using Testing::KVFileException;
using Testing::KVInvalidArgException;

KVLayoutDocument::KVLayoutDocument(KVInterface* iface) : m_interface(iface) {}

KVLayoutDocument::~KVLayoutDocument()
{
    Clear();
}

void KVLayoutDocument::Clear()
{
    m_isLoaded = false;
    m_topLevel.clear();
    m_childMap.clear();
    m_document.reset();
    for (WndBaseStruct* description : m_untaken)
        delete description;
    m_untaken.clear();
}

int32_t KVLayoutDocument::GetChildCount(const WndBaseStruct* parent) const
{
    auto it = m_childMap.find(parent);
    return it == m_childMap.end() ? -1 : static_cast<int32_t>(it->second.size());
}

WndBaseStruct* KVLayoutDocument::GetChild(const WndBaseStruct* parent, int32_t index) const
{
    auto it = m_childMap.find(parent);
    if (it == m_childMap.end() || index < 0 || static_cast<size_t>(index) >= it->second.size())
        return nullptr;
    return it->second[static_cast<size_t>(index)];
}

WndBaseStruct* KVLayoutDocument::Take(WndBaseStruct* description)
{
    m_untaken.erase(description);
    return description;
}

WndBaseStruct* KVLayoutDocument::Track(WndBaseStruct* description)
{
    if (description)
        m_untaken.insert(description);
    return description;
}

WndBaseStruct* KVLayoutDocument::ReadWindowElement(const std::string& type, TiXmlElement* element)
{
    return layout::CreateAndRead(type, element);
}

void KVLayoutDocument::Append(WndBaseStruct* parent, WndBaseStruct* child)
{
    if (parent)
        m_childMap[parent].push_back(child);
    else
        m_topLevel.push_back(child);
}

int32_t KVLayoutDocument::Load(const std::string& fileName)
{
    if (fileName.empty())
        throw KVInvalidArgException(L"Parameter 'filename' is empty");
    m_isLoaded = false;
    Clear();

    std::wstring wideName = NarrowToWide(fileName.c_str());
    std::string bytes;
    KVReadResult result = m_interface ? ReadWholeFile(*m_interface, wideName, bytes) : KVReadResult::kCannotOpen;
    if (result == KVReadResult::kCannotOpen)
        throw KVFileException(wideName, KVFileException::kCannotOpen);
    if (result == KVReadResult::kEmpty)
        throw KVFileException(wideName, KVFileException::kEmpty);
    if (result == KVReadResult::kTooLarge)
        throw KVException(L"Layout file too large: " + wideName);

    m_document = std::make_unique<TiXmlDocument>();
    ParseXmlText(*m_document, bytes);
    if (m_document->Error() || result == KVReadResult::kReadFailed)
        throw KVException(L"XML parse failed");

    TiXmlElement* root = m_document->FirstChildElement("kevrin");
    if (!root)
        throw KVException(L"Couldn't find root node");
    m_version = ParseLayoutInt(layout::Attr(root, "version"));
    ReadProperties(root);

    if (m_version == 0 || m_version == 1) {
        // The text is formatted whole, however long the file name.
        std::wstring warning = platform::FormatWide(L"%s : warning: XML version %d was declared deprecated.\n",
                                                    wideName.c_str(), m_version);
        if (m_interface)
            m_interface->DebugOutput(warning);
        if (m_version == 0)
            throw KVException(L"Unknown XML version");
        ReadVersion1(root);
    } else {
        ReadVersion2(root, nullptr);
    }
    m_isLoaded = true;
    return 1;
}

void KVLayoutDocument::ReadProperties(TiXmlElement* root)
{
    TiXmlElement* properties = root->FirstChildElement("properties");
    if (!properties)
        return;
    for (TiXmlElement* property = properties->FirstChildElement("property"); property;
         property = property->NextSiblingElement("property"))
        if (layout::Attr(property, "name") == "UIAnimation")
            m_uiAnimation = layout::AttrWide(property, "val");
}

void KVLayoutDocument::ReadVersion1(TiXmlElement* root)
{
    TiXmlElement* base = root->FirstChildElement("base");
    if (!base)
        throw KVException(L"XML Version 1 read failed");
    std::string type = layout::Attr(base, "type");
    if (type != "WND" && type != "WNDEX")
        return;
    WndBaseStruct* top = Track(ReadWindowElement(type, base));
    Append(nullptr, top);
    for (TiXmlElement* child = root->FirstChildElement("child"); child; child = child->NextSiblingElement("child")) {
        std::string childType = layout::Attr(child, "type");
        if (layout::IsVersion1ChildType(childType))
            Append(top, Track(ReadWindowElement(childType, child)));
    }
}

void KVLayoutDocument::ReadVersion2(TiXmlElement* element, WndBaseStruct* parent)
{
    if (!element->FirstChildElement())
        throw KVException(L"Counld't found child element");
    for (TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement()) {
        std::string tag = child->Value();
        if (tag != "child" && tag != "base")
            continue;
        WndBaseStruct* description = Track(ReadWindowElement(layout::Attr(child, "type"), child));
        if (!description)
            continue;
        ReadVersion2(child, description);
        Append(parent, description);
    }
}

} // namespace kv
