// Named events and counted member-function handlers.
#include "kv/KVEventArgs.h"
#include "kv/KVObject.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using kv::EventArgs;
using kv::EventFunctorRef;
using kv::KVEventHandler;

int g_deletedFunctors = 0;

// A functor that counts its own deletion, to follow the reference count through the framework.
template <typename T>
class CountedFunctor : public kv::MemberFunctionFunctor<T> {
public:
    using kv::MemberFunctionFunctor<T>::MemberFunctionFunctor;
    ~CountedFunctor() override { ++g_deletedFunctors; }
};

struct Listener {
    std::vector<std::string> calls;
    KVEventHandler* holder = nullptr;
    std::unique_ptr<KVEventHandler>* owned = nullptr;

    void First(EventArgs& args)
    {
        calls.push_back(args.handled ? "first(handled)" : "first");
        args.handled = true;
    }
    void Second(EventArgs& args) { calls.push_back(args.handled ? "second(handled)" : "second"); }
    void AppendThird(EventArgs&)
    {
        calls.push_back("append");
        holder->AddHandler(L"Clicked", kv::MakeHandler(this, &Listener::Second));
    }
    void RemoveOwnEvent(EventArgs&)
    {
        calls.push_back("remove");
        holder->RemoveEvent(L"Clicked");
    }
    void DestroyHolder(EventArgs&)
    {
        calls.push_back("destroy");
        owned->reset();
    }
};

EventFunctorRef Counted(Listener* listener, void (Listener::*fn)(EventArgs&))
{
    return EventFunctorRef(new CountedFunctor<Listener>(fn, listener));
}

class KVObjectTest : public ::testing::Test {
protected:
    void SetUp() override { g_deletedFunctors = 0; }
    Listener listener;
    KVEventHandler holder;
};

TEST_F(KVObjectTest, FireEventReportsMissingAndEmptyEvents)
{
    EventArgs args;
    EXPECT_EQ(holder.FireEvent(L"Clicked", args), 7);
    holder.AddEvent(L"Clicked");
    EXPECT_EQ(holder.FireEvent(L"Clicked", args), 1);
}

TEST_F(KVObjectTest, HandlersRunInOrderSharingOneRecordAndNamesAreCaseSensitive)
{
    holder.AddHandler(L"Clicked", kv::MakeHandler(&listener, &Listener::First));
    holder.AddHandler(L"Clicked", kv::MakeHandler(&listener, &Listener::Second));
    holder.AddHandler(L"clicked", kv::MakeHandler(&listener, &Listener::Second));
    EventArgs args;
    EXPECT_EQ(holder.FireEvent(L"Clicked", args), 1);
    EXPECT_EQ(listener.calls, (std::vector<std::string>{"first", "second(handled)"}));
}

TEST_F(KVObjectTest, ReferenceCountFollowsRegistrationAndTheHolderDeletesTheFunctor)
{
    auto holderOwned = std::make_unique<KVEventHandler>();
    {
        EventFunctorRef local = Counted(&listener, &Listener::Second);
        EXPECT_EQ(local.Get()->RefCount(), 1);
        holderOwned->AddHandler(L"Clicked", local);
        holderOwned->AddHandler(L"Clicked", local);
        EXPECT_EQ(local.Get()->RefCount(), 3);
    }
    EventArgs args;
    holderOwned->FireEvent(L"Clicked", args);
    EXPECT_EQ(listener.calls.size(), 2u) << "a functor added twice runs twice";
    EXPECT_EQ(g_deletedFunctors, 0);
    holderOwned.reset();
    EXPECT_EQ(g_deletedFunctors, 1);
}

TEST_F(KVObjectTest, RemoveEventLeavesOtherEventsAndDeletesItsFunctors)
{
    holder.AddHandler(L"Clicked", Counted(&listener, &Listener::Second));
    holder.AddHandler(L"Draw", Counted(&listener, &Listener::First));
    holder.RemoveEvent(L"Clicked");
    EXPECT_EQ(g_deletedFunctors, 1);
    EventArgs args;
    EXPECT_EQ(holder.FireEvent(L"Clicked", args), 7);
    EXPECT_EQ(holder.FireEvent(L"Draw", args), 1);
}

TEST_F(KVObjectTest, CopyingAHolderSharesTheFunctors)
{
    EventFunctorRef local = Counted(&listener, &Listener::Second);
    holder.AddHandler(L"Clicked", local);
    {
        KVEventHandler copy(holder);
        EXPECT_EQ(local.Get()->RefCount(), 3);
        EventArgs args;
        copy.FireEvent(L"Clicked", args);
    }
    EXPECT_EQ(local.Get()->RefCount(), 2);
    EXPECT_EQ(listener.calls.size(), 1u);
}

TEST_F(KVObjectTest, HandlerAppendedDuringAFiringRunsInThatFiring)
{
    listener.holder = &holder;
    holder.AddHandler(L"Clicked", kv::MakeHandler(&listener, &Listener::AppendThird));
    EventArgs args;
    holder.FireEvent(L"Clicked", args);
    ASSERT_GE(listener.calls.size(), 2u);
    EXPECT_EQ(listener.calls[1], "second");
}

// A handler that removes its own event, or destroys the object firing it, while the event fires:
// the firing ends cleanly and the remaining handlers do not run.
TEST_F(KVObjectTest, HandlerThatRemovesItsEventOrDestroysTheHolderIsSafe)
{
    listener.holder = &holder;
    holder.AddHandler(L"Clicked", Counted(&listener, &Listener::RemoveOwnEvent));
    holder.AddHandler(L"Clicked", Counted(&listener, &Listener::Second));
    EventArgs args;
    EXPECT_EQ(holder.FireEvent(L"Clicked", args), 1);
    EXPECT_EQ(listener.calls, (std::vector<std::string>{"remove"}));
    EXPECT_EQ(g_deletedFunctors, 2);

    auto owned = std::make_unique<KVEventHandler>();
    listener.calls.clear();
    listener.owned = &owned;
    owned->AddHandler(L"Close", Counted(&listener, &Listener::DestroyHolder));
    owned->AddHandler(L"Close", Counted(&listener, &Listener::Second));
    owned->FireEvent(L"Close", args);
    EXPECT_EQ(owned, nullptr);
    EXPECT_EQ(listener.calls, (std::vector<std::string>{"destroy"}));
    EXPECT_EQ(g_deletedFunctors, 4);
}

} // namespace
