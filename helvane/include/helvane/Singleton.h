// singleton<T>: the one lazily created instance of T, shared by every deliverable.
// T derives from singleton<T>; its constructor records the object as the instance, so an
// object built directly (not through GetSingleton) becomes the instance too. Destroying the
// instance clears the pointer, once.
#pragma once

#include <mutex>

template <typename T>
class singleton {
public:
    singleton() { ms_Singleton = static_cast<T*>(this); }
    ~singleton()
    {
        if (ms_Singleton == static_cast<T*>(this))
            ms_Singleton = nullptr;
    }
    singleton(const singleton&) = default;
    singleton& operator=(const singleton&) = default;

    // Creates the instance with new on first use. The creation is guarded, so two threads
    // asking at once still get one object.
    static T& GetSingleton()
    {
        if (T* instance = ms_Singleton)
            return *instance;
        std::lock_guard guard(ms_CreateLock);
        if (!ms_Singleton)
            new T();
        return *ms_Singleton;
    }

    // The instance, or null; never creates it.
    static T* GetSingletonPtr() { return ms_Singleton; }

protected:
    static inline T* ms_Singleton = nullptr;
    static inline std::recursive_mutex ms_CreateLock;
};
