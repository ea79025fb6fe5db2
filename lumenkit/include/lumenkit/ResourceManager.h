// The handle table of named resources (textures): slots owning their objects, an index from
// upper-cased names to slots, and a null resource handed out for every bad handle. Every
// table operation holds the table's lock, which its owner may take again (a lookup that adds
// a resource nests inside another operation).
#pragma once

#include <helvane/TextUtil.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace lumenkit {

// Upper-cases a to z only, as resource names are compared.
inline std::wstring ResourceKey(const wchar_t* name)
{
    return helvane::ToUpperAscii(name ? name : L"");
}

} // namespace lumenkit

template <typename T, int N>
class CResourceTemplateManager {
public:
    CResourceTemplateManager() { m_Slots.reserve(N); }
    CResourceTemplateManager(const CResourceTemplateManager&) = delete;
    CResourceTemplateManager& operator=(const CResourceTemplateManager&) = delete;
    virtual ~CResourceTemplateManager() { DeleteAll(); }

    // Deletes every object from the last slot to the first, then forgets slots and names.
    virtual void DeleteAll()
    {
        std::lock_guard guard(m_Lock);
        for (auto it = m_Slots.rbegin(); it != m_Slots.rend(); ++it)
            delete *it;
        m_Slots.clear();
        m_Names.clear();
    }

    T* m_pNull = nullptr;
    std::vector<T*> m_Slots;
    std::map<std::wstring, int> m_Names;
    std::recursive_mutex m_Lock;
};

template <typename T, int N>
class CResourceStaticTemplateManager {
public:
    using Table = CResourceTemplateManager<T, N>;

    CResourceStaticTemplateManager() : m_pTable(std::make_shared<Table>()) {}
    // Copies share the table.
    CResourceStaticTemplateManager(const CResourceStaticTemplateManager&) = default;
    CResourceStaticTemplateManager& operator=(const CResourceStaticTemplateManager&) = default;
    virtual ~CResourceStaticTemplateManager() = default;

    // Stores the resource in the first empty slot (or a new one at the end) under the
    // upper-cased name, which becomes its file name; its handle becomes the slot. -1 when
    // the name is taken. An empty name enters no name.
    int AddResource(T* resource, const wchar_t* name)
    {
        std::lock_guard guard(m_pTable->m_Lock);
        const std::wstring key = lumenkit::ResourceKey(name);
        if (!key.empty() && m_pTable->m_Names.count(key))
            return -1;
        const int slot = FirstFreeSlot();
        if (!key.empty()) {
            m_pTable->m_Names[key] = slot;
            resource->SetFileName(key.c_str());
        }
        return AddResource(resource, slot);
    }

    // Stores the resource in an existing slot.
    int AddResource(T* resource, int slot)
    {
        std::lock_guard guard(m_pTable->m_Lock);
        m_pTable->m_Slots[slot] = resource;
        resource->SetHandle(slot);
        return slot;
    }

    // The slot of the upper-cased name, or -1.
    int GetResourceHandle(const wchar_t* name) const
    {
        std::lock_guard guard(m_pTable->m_Lock);
        auto it = m_pTable->m_Names.find(lumenkit::ResourceKey(name));
        return it == m_pTable->m_Names.end() ? -1 : it->second;
    }

    void AddNullResource(T* resource)
    {
        std::lock_guard guard(m_pTable->m_Lock);
        m_pTable->m_pNull = resource;
    }

    // The slot's object; the null resource for a negative handle, a handle past the slots
    // or an empty slot.
    T* GetResource(int handle) const
    {
        std::lock_guard guard(m_pTable->m_Lock);
        if (handle < 0 || handle >= static_cast<int>(m_pTable->m_Slots.size()) || !m_pTable->m_Slots[handle])
            return m_pTable->m_pNull;
        return m_pTable->m_Slots[handle];
    }

    // Deletes the slot's object, empties the slot and forgets every name of it.
    virtual void DeleteResource(int slot)
    {
        std::lock_guard guard(m_pTable->m_Lock);
        if (slot < 0 || slot >= static_cast<int>(m_pTable->m_Slots.size()))
            return;
        delete m_pTable->m_Slots[slot];
        m_pTable->m_Slots[slot] = nullptr;
        std::erase_if(m_pTable->m_Names, [slot](const auto& entry) { return entry.second == slot; });
    }

    void DeleteAll() { m_pTable->DeleteAll(); }
    std::vector<T*>& GetResourceList() { return m_pTable->m_Slots; }
    int GetSize() const
    {
        std::lock_guard guard(m_pTable->m_Lock);
        return static_cast<int>(m_pTable->m_Slots.size());
    }
    std::recursive_mutex& GetLock() const { return m_pTable->m_Lock; }

protected:
    int FirstFreeSlot()
    {
        auto& slots = m_pTable->m_Slots;
        for (size_t i = 0; i < slots.size(); ++i) {
            if (!slots[i])
                return static_cast<int>(i);
        }
        slots.push_back(nullptr);
        return static_cast<int>(slots.size() - 1);
    }

    std::shared_ptr<Table> m_pTable;
};
