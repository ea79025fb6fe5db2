// A recorded state block: the setter calls made between BeginStateBlock and EndStateBlock,
// replayed on the device by Apply.
#pragma once

#include "RefCounted.h"

#include <d3d9/D3D9.h>

#include <functional>
#include <vector>

namespace platform::d3d9 {

class StateBlock final : public RefCounted<IDirect3DStateBlock9> {
public:
    using Change = std::function<void(IDirect3DDevice9*)>;
    StateBlock(IDirect3DDevice9* device, std::vector<Change> changes) : m_device(device), m_changes(std::move(changes)) {}
    HRESULT Apply() override
    {
        for (const Change& change : m_changes)
            change(m_device);
        return D3D_OK;
    }

private:
    IDirect3DDevice9* m_device;  // a state block does not keep its device alive
    std::vector<Change> m_changes;
};

} // namespace platform::d3d9
