// Named events and counted handler references.
#include "kv/KVObject.h"

#include "kv/KVEventArgs.h"

namespace kv {

void ReleaseEventFunctor(EventFunctorBase* functor)
{
    if (!functor)
        return;
    functor->Release();
    if (functor->RefCount() == 0)
        delete functor;
}

EventFunctorRef::EventFunctorRef(EventFunctorBase* functor) : m_functor(functor)
{
    if (m_functor)
        m_functor->AddRef();
}

EventFunctorRef::EventFunctorRef(const EventFunctorRef& other) : EventFunctorRef(other.m_functor) {}

EventFunctorRef& EventFunctorRef::operator=(const EventFunctorRef& other)
{
    if (other.m_functor)
        other.m_functor->AddRef();
    ReleaseEventFunctor(m_functor);
    m_functor = other.m_functor;
    return *this;
}

EventFunctorRef::~EventFunctorRef()
{
    ReleaseEventFunctor(m_functor);
}

KVEventHandler::KVEventHandler(const KVEventHandler& other) : KVObject(other)
{
    CopyEventsFrom(other);
}

KVEventHandler& KVEventHandler::operator=(const KVEventHandler& other)
{
    if (this != &other) {
        DropAllEvents();
        CopyEventsFrom(other);
    }
    return *this;
}

KVEventHandler::~KVEventHandler()
{
    DropAllEvents();
}

void KVEventHandler::CopyEventsFrom(const KVEventHandler& other)
{
    for (const auto& [name, event] : other.m_events)
        m_events.emplace(name, std::make_shared<KVEvent>(*event));
}

void KVEventHandler::DropAllEvents()
{
    // Empty each list first: a firing that still holds an event then stops at once.
    for (auto& entry : m_events)
        entry.second->handlers.clear();
    m_events.clear();
}

void KVEventHandler::AddEvent(const std::wstring& name)
{
    if (m_events.count(name) == 0)
        m_events.emplace(name, std::make_shared<KVEvent>(KVEvent{name, {}}));
}

void KVEventHandler::AddHandler(const std::wstring& name, const EventFunctorRef& handler)
{
    AddEvent(name);
    m_events[name]->handlers.push_back(handler);
}

void KVEventHandler::RemoveEvent(const std::wstring& name)
{
    auto it = m_events.find(name);
    if (it == m_events.end())
        return;
    std::shared_ptr<KVEvent> event = it->second;
    m_events.erase(it);
    event->handlers.clear();
}

int32_t KVEventHandler::FireEvent(const std::wstring& name, EventArgs& args)
{
    auto it = m_events.find(name);
    if (it == m_events.end())
        return kNoSuchEvent;
    // The event and the running functor are held for the call, so a handler may append to the
    // list (the new handlers run in this firing), remove the event, or destroy this holder.
    std::shared_ptr<KVEvent> event = it->second;
    for (size_t i = 0; i < event->handlers.size(); ++i) {
        EventFunctorRef running = event->handlers[i];
        running.Get()->Invoke(args);
    }
    return kFired;
}

} // namespace kv
