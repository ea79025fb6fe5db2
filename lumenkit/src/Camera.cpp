// The look-at camera: parameters, matrices and the yaw, pitch and move controls.
#include <lumenkit/Camera.h>

#include <lumenkit/Direct3DDevice.h>

namespace {

// The device's width / height (the device object is made if it does not exist yet). Before
// the device has a size the screen is the default 1024 x 768, so the aspect is never 0 / 0.
float DeviceScreenAspect()
{
    const CDirect3DDevice& device = singleton<CDirect3DDevice>::GetSingleton();
    if (device.GetWidth() <= 0 || device.GetHeight() <= 0)
        return static_cast<float>(g_dwDefaultWidth) / static_cast<float>(g_dwDefaultHeight);
    return static_cast<float>(device.GetWidth()) / static_cast<float>(device.GetHeight());
}

// Degrees to radians with the camera's own constant, in double precision.
float CameraRadians(float degrees)
{
    return static_cast<float>(degrees * 3.1415 / 180.0);
}

D3DXVECTOR3 Normalized(const D3DXVECTOR3& v)
{
    D3DXVECTOR3 out;
    D3DXVec3Normalize(&out, &v);
    return out;
}

D3DXVECTOR3 Cross(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    D3DXVECTOR3 out;
    D3DXVec3Cross(&out, &a, &b);
    return out;
}

D3DXVECTOR3 TurnedBy(const D3DXVECTOR3& v, const D3DXMATRIX& m)
{
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &v, &m);
    return out;
}

} // namespace

CCamera::CCamera()
{
    AddRTTI(L" | CCamera");
    Init();
    m_nType = 64;
}

CCamera::CCamera(const wchar_t* name)
{
    AddRTTI(L" | CCamera");
    Init();
    SetName(name);
}

CCamera::~CCamera() = default;

void CCamera::Init()
{
    m_nCameraType = 0;
    m_vEye = D3DXVECTOR3(-2.9416983f, 19.391796f, -31.663424f);
    m_vLookat = D3DXVECTOR3(-2.9059258f, 19.08746f, -30.711535f);
    m_vUp = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
    m_vViewDir = Normalized(m_vLookat - m_vEye);
    m_vCross = Normalized(Cross(m_vViewDir, m_vUp));
    m_fFOV = 0.60240036f;
    m_fAspect = DeviceScreenAspect();
    m_fNear = 10.0f;
    m_fFar = 4000.0f;
    D3DXMatrixIdentity(&m_matCameraWorld);
    D3DXMatrixIdentity(&m_matView);
    D3DXMatrixIdentity(&m_matBillboard);
    D3DXMatrixIdentity(&m_matProj);
    m_bValid = 0;
    m_vPositionShift = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    m_vNoisePos = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
}

void CCamera::SetViewParams(D3DXVECTOR3 eye, D3DXVECTOR3 lookat, D3DXVECTOR3 up)
{
    m_vEye = eye;
    m_vLookat = lookat;
    m_vUp = up;
    m_bValid = 0;
}

void CCamera::SetProjParams(float fov, float aspect, float zNear, float zFar)
{
    m_fFOV = fov;
    m_fAspect = aspect;
    m_fNear = zNear;
    m_fFar = zFar;
    m_bValid = 0;
}

void CCamera::SetEyePt(D3DXVECTOR3 eye)
{
    m_vEye = eye;
    m_bValid = 0;
}

void CCamera::SetLookatPt(D3DXVECTOR3 lookat)
{
    m_vLookat = lookat;
    m_bValid = 0;
}

void CCamera::ApplyCameraMatrix()
{
    m_vViewDir = Normalized(m_vLookat - m_vEye);
    m_vCross = Normalized(Cross(m_vViewDir, m_vUp));
    const D3DXVECTOR3 noise = m_vCross * m_vNoisePos.x + m_vUp * m_vNoisePos.y;
    D3DXVECTOR3 eye = m_vEye + m_vPositionShift + noise;
    const D3DXVECTOR3 lookat = m_vLookat + m_vPositionShift + noise;
    D3DXMatrixLookAtRH(&m_matView, &eye, &lookat, &m_vUp);

    // The billboard turns sprites to face the camera: the view's rotation undone.
    D3DXMatrixInverse(&m_matBillboard, nullptr, &m_matView);
    m_matBillboard._41 = 0.0f;
    m_matBillboard._42 = 0.0f;
    m_matBillboard._43 = 0.0f;

    // The projection takes the reciprocal of the stored aspect.
    if (m_nCameraType == 0)
        D3DXMatrixPerspectiveFovRH(&m_matProj, m_fFOV, 1.0f / m_fAspect, m_fNear, m_fFar);

    D3DXQUATERNION pose;
    D3DXQuaternionRotationMatrix(&pose, &m_matView);
    SetRotation(&pose);
    SetLocalPos(&eye);
    m_bValid = 1;
}

void CCamera::EnsureMatrices()
{
    if (!m_bValid)
        ApplyCameraMatrix();
}

D3DXMATRIX* CCamera::GetWorldMatrix()
{
    EnsureMatrices();
    return &m_matCameraWorld;
}

D3DXMATRIX* CCamera::GetViewMatrix()
{
    EnsureMatrices();
    return &m_matView;
}

D3DXMATRIX* CCamera::GetBillboardMatrix()
{
    EnsureMatrices();
    return &m_matBillboard;
}

D3DXMATRIX* CCamera::GetProjMatrix()
{
    EnsureMatrices();
    return &m_matProj;
}

void CCamera::RotCameraYaw(float degrees)
{
    D3DXMATRIX turn;
    D3DXMatrixRotationY(&turn, CameraRadians(degrees));
    m_vViewDir = TurnedBy(m_vViewDir, turn);
    m_vLookat = m_vEye + m_vViewDir;
    m_bValid = 0;
}

void CCamera::RotCameraPitch(float degrees)
{
    D3DXMATRIX turn;
    D3DXMatrixRotationAxis(&turn, &m_vCross, CameraRadians(degrees));
    m_vViewDir = TurnedBy(m_vViewDir, turn);
    m_vLookat = m_vEye + m_vViewDir;
    m_bValid = 0;
}

void CCamera::RotCameraYawPitch(float yaw, float pitch)
{
    D3DXMATRIX yawTurn, pitchTurn;
    D3DXMatrixRotationY(&yawTurn, CameraRadians(yaw));
    D3DXMatrixRotationAxis(&pitchTurn, &m_vCross, CameraRadians(pitch));
    const D3DXVECTOR3 turned = TurnedBy(m_vViewDir, yawTurn * pitchTurn);
    if (!(turned.y > -0.99f && turned.y < 0.99f))
        return;
    m_vViewDir = turned;
    m_vLookat = m_vEye + turned;
    m_bValid = 0;
}

void CCamera::MoveCamera(D3DXVECTOR3 v)
{
    const D3DXVECTOR3 right = Normalized(Cross(m_vViewDir, m_vUp));
    const D3DXVECTOR3 trueUp = Cross(right, m_vViewDir);
    const D3DXVECTOR3 delta = right * v.x + trueUp * v.y + m_vViewDir * v.z;
    m_vEye += delta;
    m_vLookat += delta;
    m_bValid = 0;
}
