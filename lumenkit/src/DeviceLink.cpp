// The cameras' view of the Direct3D device. Until the device exists there is no device to
// transform, and the screen has the default 1024 x 768 size.
#include "DeviceLink.h"

namespace lumenkit {

float DeviceScreenAspect()
{
    return 1024.0f / 768.0f;
}

bool HasDevice()
{
    return false;
}

void SetDeviceTransform(DeviceTransform, const D3DXMATRIX*) {}

} // namespace lumenkit
