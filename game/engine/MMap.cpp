#include "engine/MMap.h"

#include <algorithm>
#include <cwchar>

void CMMap::AddHandlerEntry(int id, const wchar_t* name, std::function<int(const void*, int)> function)
{
    auto replaced = std::find_if(m_entries.begin(), m_entries.end(), [&](const MessageHandlerEntry& entry) {
        return entry.id == id && (!entry.hasName || !name || entry.name == name);
    });
    if (replaced != m_entries.end())
        m_entries.erase(replaced);

    MessageHandlerEntry entry;
    entry.id = id;
    entry.hasName = name != nullptr;
    if (name)
        entry.name = name;
    entry.function = std::move(function);
    entry.owner = this;
    m_entries.push_back(std::move(entry));
}

int CMMap::Dispatch(int id, const void* nameOrData, int extra)
{
    for (const MessageHandlerEntry& entry : m_entries) {
        if (entry.id != id)
            continue;
        if (entry.hasName && (!nameOrData || entry.name != static_cast<const wchar_t*>(nameOrData)))
            continue;
        // The handler may register handlers and so reshape the list: call a copy.
        auto function = entry.function;
        return function(nameOrData, extra);
    }
    return 0;
}

size_t CMMap::CountHandlers(int id) const
{
    return std::count_if(m_entries.begin(), m_entries.end(),
                         [id](const MessageHandlerEntry& entry) { return entry.id == id; });
}
