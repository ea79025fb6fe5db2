// Reference counting for the stand-in's COM-style objects: every interface handed out holds one
// reference, and the object deletes itself when the last is released.
#pragma once

#include <atomic>

#include <win32/Types.h>

namespace platform {

// Implements AddRef and Release of `Interface`; the count starts at the creator's reference.
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
    RefCounted() = default;
    virtual ~RefCounted() = default;

private:
    std::atomic<ULONG> m_refs{1};
};

} // namespace platform
