// A scene's message handler list: message ids mapped to member functions of the scene, in
// insertion order. Registering an id again replaces the earlier handler, which moves to the end.
#pragma once

#include <functional>
#include <string>
#include <vector>

class CMMap;

struct MessageHandlerEntry {
    int id = 0;
    // A handler name, or none for "any"; the game registers every handler without a name.
    bool hasName = false;
    std::wstring name;
    std::function<int(const void*, int)> function;
    CMMap* owner = nullptr;
};

class CMMap {
public:
    CMMap() = default;
    CMMap(const CMMap&) = delete;
    CMMap& operator=(const CMMap&) = delete;
    virtual ~CMMap() = default;

    // Calls the first handler of id whose name is absent or equal to `nameOrData`; its result,
    // or 0 (the message dropped) when there is none. Scene messages pass their data here, which
    // is never compared, because game handlers have no name.
    virtual int Dispatch(int id, const void* nameOrData, int extra);

    // Binds the member function to this object (a scene derived from CMMap).
    template <typename Owner>
    void AddHandler(int id, const wchar_t* name, int (Owner::*function)(const void*, int))
    {
        Owner* owner = static_cast<Owner*>(this);
        AddHandlerEntry(id, name, [owner, function](const void* data, int extra) {
            return (owner->*function)(data, extra);
        });
    }

    size_t GetHandlerCount() const { return m_entries.size(); }
    size_t CountHandlers(int id) const;

protected:
    void AddHandlerEntry(int id, const wchar_t* name, std::function<int(const void*, int)> function);

private:
    std::vector<MessageHandlerEntry> m_entries;
};
