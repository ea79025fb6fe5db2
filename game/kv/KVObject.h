// The bottom of the UI framework: the common root class, named events with reference-counted
// member-function handlers, and the holder of those events from which windows, animation
// directors and animation scenes derive.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kv {

struct EventArgs;

class KVObject {
public:
    virtual ~KVObject() = default;
    virtual std::wstring GetClassName() const { return L"KVObject"; }
};

// A handler object. The reference count is kept by the functor; EventFunctorRef deletes it when
// the last reference goes.
class EventFunctorBase {
public:
    virtual ~EventFunctorBase() = default;
    virtual bool Invoke(EventArgs& args) = 0;
    virtual void AddRef() = 0;
    virtual void Release() = 0;
    virtual int32_t RefCount() const = 0;
};

// Drops one reference and deletes the functor when none is left.
void ReleaseEventFunctor(EventFunctorBase* functor);

class EventFunctorRef {
public:
    EventFunctorRef() = default;
    explicit EventFunctorRef(EventFunctorBase* functor);
    EventFunctorRef(const EventFunctorRef& other);
    EventFunctorRef& operator=(const EventFunctorRef& other);
    ~EventFunctorRef();

    EventFunctorBase* Get() const { return m_functor; }
    explicit operator bool() const { return m_functor != nullptr; }

private:
    EventFunctorBase* m_functor = nullptr;
};

// Calls a member function of an object it does not own. The object must outlive every event
// that holds the functor: scenes destroy their windows before themselves.
template <typename T>
class MemberFunctionFunctor : public EventFunctorBase {
public:
    using Handler = void (T::*)(EventArgs&);

    MemberFunctionFunctor(Handler handler, T* object) : m_handler(handler), m_object(object) {}

    bool Invoke(EventArgs& args) override
    {
        (m_object->*m_handler)(args);
        return true;
    }
    void AddRef() override { ++m_count; }
    void Release() override { --m_count; }
    int32_t RefCount() const override { return m_count; }

private:
    Handler m_handler;
    T* m_object;
    int32_t m_count = 0;
};

// Makes a functor for (member function, object) and returns the first reference to it.
template <typename T>
EventFunctorRef MakeHandler(T* object, typename MemberFunctionFunctor<T>::Handler handler)
{
    return EventFunctorRef(new MemberFunctionFunctor<T>(handler, object));
}

struct KVEvent {
    std::wstring name;
    std::vector<EventFunctorRef> handlers;
};

class KVEventHandler : public KVObject {
public:
    static constexpr int32_t kFired = 1;
    static constexpr int32_t kNoSuchEvent = 7;

    KVEventHandler() = default;
    KVEventHandler(const KVEventHandler& other);
    KVEventHandler& operator=(const KVEventHandler& other);
    ~KVEventHandler() override;

    std::wstring GetClassName() const override { return L"KVEventHandler"; }

    void AddEvent(const std::wstring& name);
    void AddHandler(const std::wstring& name, const EventFunctorRef& handler);
    void RemoveEvent(const std::wstring& name);
    // Runs every handler of the event in registration order; 7 when no such event exists.
    int32_t FireEvent(const std::wstring& name, EventArgs& args);

    bool HasEvent(const std::wstring& name) const { return m_events.count(name) != 0; }

private:
    void CopyEventsFrom(const KVEventHandler& other);
    void DropAllEvents();

    // Events are shared with a firing in progress, so a handler that removes its own event or
    // destroys the holder leaves the firing loop with a live, emptied list instead of freed memory.
    std::map<std::wstring, std::shared_ptr<KVEvent>> m_events;
};

} // namespace kv
