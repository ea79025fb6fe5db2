// singleton<T>: the one lazily created instance of T, shared by every deliverable.
// T derives from singleton<T>; its constructor records the object as the instance, so an
// object built directly (not through GetSingleton) becomes the instance too. Destroying the
// instance clears the pointer, once.
#pragma once

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
    QUIBLY_NO_SANITIZE_VPTR singleton() { ms_Singleton = static_cast<T*>(this); }
    QUIBLY_NO_SANITIZE_VPTR ~singleton()
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
