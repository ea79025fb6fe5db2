// Callbacks and call results of the platform client: registration, the two queues (client and
// game server) and the pumps that deliver them on the calling thread.
// Implemented: SteamAPI_RegisterCallback/UnregisterCallback, SteamGameServer_RegisterCallback,
//              SteamAPI_RegisterCallResult/UnregisterCallResult, SteamAPI_RunCallbacks,
//              SteamGameServer_RunCallbacks.
// Left out:    nothing the game calls.
#include "ClientState.h"

#include <algorithm>

namespace platform::steam {

namespace {

bool IsRegistered(const CallbackRegistry& registry, CCallbackBase* callback)
{
    return std::find(registry.callbacks.begin(), registry.callbacks.end(), callback) != registry.callbacks.end();
}

bool StillRegistered(ClientState& state, CCallbackBase* callback)
{
    std::lock_guard guard(state.lock);
    return IsRegistered(state.registry, callback);
}

// Runs with the delivery lock held and the state lock free, taking the state lock only to read
// the registry.
void Deliver(ClientState& state, QueuedCallback& item, bool gameServer)
{
    void* param = item.payload.data();
    if (item.call != k_uAPICallInvalid) {
        CCallbackBase* target = nullptr;
        {
            std::lock_guard guard(state.lock);
            auto found = state.registry.callResults.find(item.call);
            if (found == state.registry.callResults.end())
                return;  // nobody waits for it (any more)
            target = found->second;
            state.registry.callResults.erase(found);
        }
        target->RunCallResult(param, item.ioFailure, item.call);
        return;
    }
    std::vector<CCallbackBase*> targets;
    {
        std::lock_guard guard(state.lock);
        for (CCallbackBase* callback : state.registry.callbacks)
            if (callback->GetICallback() == item.id && callback->IsGameServer() == gameServer)
                targets.push_back(callback);
    }
    // A callback may unregister another one (or itself) while they run.
    for (CCallbackBase* callback : targets)
        if (StillRegistered(state, callback))
            callback->Run(param);
}

// Callbacks queued while these run wait for the next pump.
void Pump(std::deque<QueuedCallback>& queue, bool gameServer)
{
    ClientState& state = State();
    std::lock_guard delivering(state.deliveryLock);
    std::deque<QueuedCallback> pending;
    {
        std::lock_guard guard(state.lock);
        pending.swap(queue);
    }
    for (QueuedCallback& item : pending)
        Deliver(state, item, gameServer);
}

void Register(CCallbackBase* callback)
{
    ClientState& state = State();
    std::lock_guard guard(state.lock);
    if (!IsRegistered(state.registry, callback))
        state.registry.callbacks.push_back(callback);
}

} // namespace

void Enqueue(std::deque<QueuedCallback>& queue, int id, const void* payload, size_t bytes, SteamAPICall_t call,
             bool ioFailure)
{
    std::lock_guard guard(State().lock);
    QueuedCallback item;
    item.id = id;
    item.call = call;
    item.ioFailure = ioFailure;
    if (payload && bytes > 0)
        item.payload.assign(static_cast<const uint8_t*>(payload), static_cast<const uint8_t*>(payload) + bytes);
    // Handlers read the record in place: keep at least one zeroed byte behind an empty payload.
    if (item.payload.empty())
        item.payload.resize(1);
    queue.push_back(std::move(item));
}

SteamAPICall_t NextCall()
{
    std::lock_guard guard(State().lock);
    return ++State().registry.lastCall;
}

} // namespace platform::steam

using platform::steam::State;

void SteamAPI_RegisterCallback(CCallbackBase* callback, int callbackId)
{
    if (!callback)
        return;
    std::lock_guard guard(State().lock);
    callback->m_iCallback = callbackId;
    callback->m_gameServer = false;
    platform::steam::Register(callback);
}

void SteamGameServer_RegisterCallback(CCallbackBase* callback, int callbackId)
{
    if (!callback)
        return;
    std::lock_guard guard(State().lock);
    callback->m_iCallback = callbackId;
    callback->m_gameServer = true;
    platform::steam::Register(callback);
}

void SteamAPI_UnregisterCallback(CCallbackBase* callback)
{
    std::lock_guard delivering(State().deliveryLock);
    std::lock_guard guard(State().lock);
    std::erase(State().registry.callbacks, callback);
}

void SteamAPI_RegisterCallResult(CCallbackBase* callback, SteamAPICall_t call)
{
    if (!callback || call == k_uAPICallInvalid)
        return;
    std::lock_guard guard(State().lock);
    auto& results = State().registry.callResults;
    std::erase_if(results, [callback](const auto& entry) { return entry.second == callback; });
    results[call] = callback;
}

void SteamAPI_UnregisterCallResult(CCallbackBase* callback, SteamAPICall_t call)
{
    std::lock_guard delivering(State().deliveryLock);
    std::lock_guard guard(State().lock);
    auto& results = State().registry.callResults;
    auto found = results.find(call);
    if (found != results.end() && found->second == callback)
        results.erase(found);
}

// Each pump first polls its sockets, so what they bring is delivered in the same call.
void SteamAPI_RunCallbacks()
{
    {
        std::lock_guard guard(State().lock);
        if (State().online)
            State().online->PollClient();
    }
    platform::steam::Pump(State().registry.clientQueue, false);
}

void SteamGameServer_RunCallbacks()
{
    {
        std::lock_guard guard(State().lock);
        if (State().online)
            State().online->PollServer();
    }
    platform::steam::Pump(State().registry.serverQueue, true);
}

namespace platform::steam {

namespace {

class QueueSink final : public IEventSink {
public:
    void Client(int id, const void* payload, size_t bytes) override
    {
        Enqueue(State().registry.clientQueue, id, payload, bytes);
    }
    void ClientResult(SteamAPICall_t call, int id, const void* payload, size_t bytes, bool ioFailure) override
    {
        Enqueue(State().registry.clientQueue, id, payload, bytes, call, ioFailure);
    }
    void Server(int id, const void* payload, size_t bytes) override
    {
        Enqueue(State().registry.serverQueue, id, payload, bytes);
    }
};

} // namespace

IEventSink& ProcessSink()
{
    static QueueSink sink;
    return sink;
}

} // namespace platform::steam
