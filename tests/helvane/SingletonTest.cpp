// singleton<T>: a thread that asks for the instance while another thread is still building it
// waits for the finished object; one object is made; the constructor may ask for itself.
#include <helvane/Singleton.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// Takes a while to build, like the texture manager with its tables and thread.
class SlowBuilt : public singleton<SlowBuilt> {
public:
    SlowBuilt()
    {
        ++constructions;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ready = true;
    }
    bool ready = false;
    static inline std::atomic<int> constructions{0};
};

class AsksForItself : public singleton<AsksForItself> {
public:
    AsksForItself() : self(&GetSingleton()) {}
    AsksForItself* self;
};

TEST(SingletonTest, ASecondThreadNeverSeesAHalfBuiltInstance)
{
    std::thread first([] { SlowBuilt::GetSingleton(); });
    // Wait until the first thread has started building (the constructor has recorded it).
    while (!SlowBuilt::GetSingletonPtr())
        std::this_thread::yield();
    SlowBuilt& seen = SlowBuilt::GetSingleton();
    EXPECT_TRUE(seen.ready);
    first.join();
    EXPECT_EQ(&seen, SlowBuilt::GetSingletonPtr());
    EXPECT_EQ(SlowBuilt::constructions.load(), 1);
    delete &seen;
    EXPECT_EQ(SlowBuilt::GetSingletonPtr(), nullptr);
}

TEST(SingletonTest, TheConstructorMayAskForTheInstance)
{
    AsksForItself& instance = AsksForItself::GetSingleton();
    EXPECT_EQ(instance.self, &instance);
    EXPECT_EQ(&AsksForItself::GetSingleton(), &instance);
    delete &instance;
}

TEST(SingletonTest, AnObjectBuiltDirectlyBecomesTheInstance)
{
    auto* first = new SlowBuilt();
    EXPECT_EQ(&SlowBuilt::GetSingleton(), first);
    auto* second = new SlowBuilt();
    EXPECT_EQ(&SlowBuilt::GetSingleton(), second);
    delete second;
    delete first;
    EXPECT_EQ(SlowBuilt::GetSingletonPtr(), nullptr);
}

} // namespace
