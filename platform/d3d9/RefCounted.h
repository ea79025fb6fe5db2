// A holder that keeps one reference to a Direct3D object (the device's bound textures, buffers
// and targets, saved sprite states); the objects count references through RefCounted.
#pragma once

#include "../common/RefCounted.h"

#include <utility>

namespace platform::d3d9 {

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
