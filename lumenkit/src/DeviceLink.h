// What the cameras need of the Direct3D device: its screen aspect and its transforms.
#pragma once

#include <d3d9/D3DXMath.h>

namespace lumenkit {

enum class DeviceTransform { World, View, Projection };

// The device's width / height; 4:3 while the device has no size yet.
float DeviceScreenAspect();
// False while the device object has no Direct3D device.
bool HasDevice();
void SetDeviceTransform(DeviceTransform which, const D3DXMATRIX* matrix);

} // namespace lumenkit
