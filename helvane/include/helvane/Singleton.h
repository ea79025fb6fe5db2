// singleton<T>: the one lazily created instance of T, shared by every deliverable.
// T derives from singleton<T>; its constructor records the object as the instance, so an
// object built directly (not through GetSingleton) becomes the instance too. Destroying the
// instance clears the pointer, once.
// GetSingleton hands out only a finished object: the base constructor records the instance
// before T's own constructor has run, so a second thread asking during the creation waits for
// it to end instead of using a half-built object.
#pragma once

#include <atomic>
#include <mutex>

#if defined(__clang__) || defined(__GNUC__)
#define QUIBLY_NO_SANITIZE_VPTR __attribute__((no_sanitize("vptr")))
#else
#define QUIBLY_NO_SANITIZE_VPTR
#endif

template <typename T>
class singleton {
public:
    // The instance is recorded while T is still being built (and cleared after it is torn
    // down), so the sanitizer's dynamic-type check of the downcast cannot hold there; the
    // cast itself only adjusts the address, which is sound.
    QUIBLY_NO_SANITIZE_VPTR singleton()
    {
        ms_Ready = nullptr;
        ms_Singleton = static_cast<T*>(this);
    }
    QUIBLY_NO_SANITIZE_VPTR ~singleton()
    {
        T* self = static_cast<T*>(this);
        T* expected = self;
        ms_Ready.compare_exchange_strong(expected, nullptr);
        expected = self;
        ms_Singleton.compare_exchange_strong(expected, nullptr);
    }
    singleton(const singleton&) = default;
    singleton& operator=(const singleton&) = default;

    // Creates the instance with new on first use. The creation is guarded, so two threads
    // asking at once still get one object.
    static T& GetSingleton()
    {
        if (T* instance = ms_Ready.load(std::memory_order_acquire))
            return *instance;
        // The lock is recursive: T's constructor may itself ask for the instance (it then gets
        // the object being built, as a single thread always did).
        std::lock_guard guard(ms_CreateLock);
        if (!ms_Singleton.load()) {
            struct BuildingScope {
                BuildingScope() { ms_Building = true; }
                ~BuildingScope() { ms_Building = false; }
            } building;
            new T();
        }
        T* instance = ms_Singleton.load();
        if (!ms_Building)
            ms_Ready.store(instance, std::memory_order_release);
        return *instance;
    }

    // The instance, or null; never creates it.
    static T* GetSingletonPtr() { return ms_Singleton.load(); }

protected:
    // The instance as recorded by the constructor (possibly still being built).
    static inline std::atomic<T*> ms_Singleton{nullptr};
    // The instance once its creation has ended; the lock-free path reads only this.
    static inline std::atomic<T*> ms_Ready{nullptr};
    static inline std::recursive_mutex ms_CreateLock;
    // True while GetSingleton runs T's constructor; read and written under the lock.
    static inline bool ms_Building = false;
};
