// The layout loader: reads one "kevrin" layout file through the platform interface and turns
// every window element into a description record. It builds no windows; the window system walks
// the descriptions and hands each to the window made for it. Every failure throws one of the
// framework's exceptions (kv/KVException.h).
#pragma once

#include "kv/KVWndDesc.h"

#include <tinyxml.h>

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace kv {

class KVInterface;

class KVLayoutDocument {
public:
    explicit KVLayoutDocument(KVInterface* iface);
    ~KVLayoutDocument();
    KVLayoutDocument(const KVLayoutDocument&) = delete;
    KVLayoutDocument& operator=(const KVLayoutDocument&) = delete;

    // 1 on success; throws on every failure. Clears the document first.
    int32_t Load(const std::string& fileName);
    // Forgets the lists and the parsed document. Descriptions that no window took are deleted.
    void Clear();

    std::wstring GetUIAnimation() const { return m_uiAnimation; }
    const std::vector<WndBaseStruct*>& TopLevel() const { return m_topLevel; }
    // -1 when the description has no children listed.
    int32_t GetChildCount(const WndBaseStruct* parent) const;
    // Null when the description has no children or the index is out of range.
    WndBaseStruct* GetChild(const WndBaseStruct* parent, int32_t index) const;
    // Hands a description over to the caller (a window takes it with ApplyBase); the document
    // then no longer deletes it.
    WndBaseStruct* Take(WndBaseStruct* description);

    int32_t Version() const { return m_version; }
    bool IsLoaded() const { return m_isLoaded; }

    // Reads one window element of the given "type" into a new description; null for an unknown
    // type. Shared with the readers of control elements.
    static WndBaseStruct* ReadWindowElement(const std::string& type, TiXmlElement* element);

private:
    void ReadProperties(TiXmlElement* root);
    void ReadVersion1(TiXmlElement* root);
    void ReadVersion2(TiXmlElement* element, WndBaseStruct* parent);
    void Append(WndBaseStruct* parent, WndBaseStruct* child);
    WndBaseStruct* Track(WndBaseStruct* description);

    int32_t m_version = 0;
    bool m_isLoaded = false;
    std::unique_ptr<TiXmlDocument> m_document;
    KVInterface* m_interface;
    std::vector<WndBaseStruct*> m_topLevel;
    std::map<const WndBaseStruct*, std::vector<WndBaseStruct*>> m_childMap;
    std::wstring m_uiAnimation;
    std::set<WndBaseStruct*> m_untaken;
};

} // namespace kv
