// Reference counting for the Direct3D objects of the stand-in, and a holder that keeps one
// reference (the device's bound textures, buffers and targets, saved sprite states).
#pragma once

#include <atomic>
#include <utility>

#include <win32/Types.h>

namespace platform::d3d9 {

// Implements AddRef and Release of an interface; the object deletes itself at zero.
template <class Interface>
class RefCounted : public Interface {
public:
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override
    {
        ULONG left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    ~RefCounted() override = default;

private:
    std::atomic<ULONG> m_refs{1};
};

template <class T>
class Ref {
public:
    Ref() = default;
    Ref(T* object) : m_object(object)
    {
        if (m_object)
            m_object->AddRef();
    }
    Ref(const Ref& other) : Ref(other.m_object) {}
    Ref(Ref&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    ~Ref() { Reset(); }
    Ref& operator=(Ref other) noexcept
    {
        std::swap(m_object, other.m_object);
        return *this;
    }
    static Ref Adopt(T* object)
    {
        Ref ref;
        ref.m_object = object;
        return ref;
    }
    void Reset()
    {
        if (T* object = std::exchange(m_object, nullptr))
            object->Release();
    }
    // Hands the reference to the caller (an out-parameter of a Create or Get call).
    T* Detach() { return std::exchange(m_object, nullptr); }
    T* Get() const { return m_object; }
    T* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    bool operator==(const Ref& other) const { return m_object == other.m_object; }

private:
    T* m_object = nullptr;
};

} // namespace platform::d3d9
