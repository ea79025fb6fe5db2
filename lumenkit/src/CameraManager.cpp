// The camera manager: registration, switching with a linear blend, and the per-frame
// transforms of the blend camera.
#include <lumenkit/CameraManager.h>

#include <lumenkit/Direct3DDevice.h>

#include <helvane/Log.h>

#include <algorithm>
#include <cwchar>

namespace {

// The parameters the blend camera takes from one camera or a mix of two.
struct CameraPose {
    D3DXVECTOR3 eye;
    D3DXVECTOR3 lookat;
    D3DXVECTOR3 up;
    float fov;
    float aspect;
    float zNear;
    float zFar;
    D3DXMATRIX world;
};

CameraPose PoseOf(CCamera& camera)
{
    // The world matrix getter computes the camera's matrices first when they are stale.
    const D3DXMATRIX world = *camera.GetWorldMatrix();
    return {camera.GetEyePt(), camera.GetLookatPt(), camera.GetUpVec(), camera.GetFOV(),
            camera.GetScreenAspect(), camera.GetNear(), camera.GetFar(), world};
}

// u weighs the previous camera, w the current one.
CameraPose Mix(const CameraPose& previous, float u, const CameraPose& current, float w)
{
    return {current.eye * w + previous.eye * u,
            current.lookat * w + previous.lookat * u,
            current.up * w + previous.up * u,
            previous.fov * u + current.fov * w,
            previous.aspect * u + current.aspect * w,
            previous.zNear * u + current.zNear * w,
            previous.zFar * u + current.zFar * w,
            previous.world * u + current.world * w};
}

void ShowPose(CCamera& target, const CameraPose& pose, const CCamera& source, float dt)
{
    target.SetNoisePos(source.GetNoisePos());
    target.SetViewParams(pose.eye, pose.lookat, pose.up);
    target.SetProjParams(pose.fov, pose.aspect, pose.zNear, pose.zFar);
    target.SetWorldMatrix(pose.world);
    target.GameNode::Update(dt);
}

} // namespace

CCameraManager::CCameraManager()
{
    D3DXMatrixIdentity(&m_matSavedWorld);
    D3DXMatrixIdentity(&m_matSavedView);
    D3DXMatrixIdentity(&m_matSavedProj);
    Init();
}

CCameraManager::~CCameraManager()
{
    Close();
}

void CCameraManager::Init()
{
    m_pDefault = new CCamera(L"Default Camera");
    m_pDefault->SetViewParams(D3DXVECTOR3(-9.8181849f, 62.814102f, -622.58905f),
                              D3DXVECTOR3(-9.8476772f, 62.866058f, -621.59082f),
                              D3DXVECTOR3(0.0f, 1.0f, 0.0f));
    m_pDefault->SetProjParams(0.60240036f, 1.3333334f, 2.0f, 4500.0f);
    m_fBlendTime = -1.0f;
    m_fRemainTime = -1.0f;
    m_pPrevious = nullptr;
    AddCamera(m_pDefault);
    ChangeCamera(L"Default Camera", -1.0f);
    m_bMakeViewFrustum = 1;
}

void CCameraManager::Close()
{
    for (CCamera* camera : m_Cameras)
        delete camera;
    m_Cameras.clear();
    // Nothing may keep pointing at the deleted cameras.
    m_pCurrent = nullptr;
    m_pDefault = nullptr;
    m_pPrevious = nullptr;
}

void CCameraManager::AddCamera(CCamera* camera)
{
    if (GetCamera(camera->GetName())) {
        DFLog(L"%s의 카메라 이름이 중복 됩니다. 카메라가 등록되지 않습니다.", camera->GetName());
        return;
    }
    m_Cameras.push_back(camera);
}

void CCameraManager::DeleteCamera(const wchar_t* name)
{
    CCamera* camera = GetCamera(name);
    if (!camera)
        return;
    if (camera == m_pDefault) {
        DFLog(LOG_WARN, L"디폴트 카메라를 지우려 했습니다. 그냥 패스합니다.");
        return;
    }
    if (camera == m_pCurrent)
        m_pCurrent = m_pDefault;
    if (camera == m_pPrevious)
        m_pPrevious = m_pDefault;
    m_Cameras.erase(std::find(m_Cameras.begin(), m_Cameras.end(), camera));
    delete camera;
}

int CCameraManager::ChangeCamera(const wchar_t* name, float time)
{
    CCamera* camera = GetCamera(name);
    if (!camera) {
        DFLog(L"CCameraManager::ChangeCamera() Camera Name Invalid %s", name ? name : L"");
        return 0;
    }
    if (camera == m_pCurrent)
        return 0;
    if (time > 0.0f) {
        m_fBlendTime = time;
        m_fRemainTime = time;
        m_pPrevious = m_pCurrent;
    }
    m_pCurrent = camera;
    camera->ChangeCamera();
    camera->GameNode::Update(0.0f);
    Update(0.0f);
    return 1;
}

int CCameraManager::Update(float dt)
{
    if (m_pCurrent)
        m_pCurrent->GameNode::Update(dt);
    if (m_pPrevious)
        m_pPrevious->GameNode::Update(dt);
    if (!m_pCurrent)
        return 0;

    if (m_fRemainTime > 0.0f && m_pPrevious)
        BlendCameras(dt);
    else if (m_fRemainTime > 0.0f)
        TakeCurrentUnblended(dt);
    else
        ShowCurrent(dt);
    RestoreCameraMatrix();
    return 1;
}

void CCameraManager::BlendCameras(float dt)
{
    m_fRemainTime -= dt;
    const float u = m_fRemainTime / m_fBlendTime;
    const float w = 1.0f - u;
    const CameraPose pose = Mix(PoseOf(*m_pPrevious), u, PoseOf(*m_pCurrent), w);
    ShowPose(m_BlendCamera, pose, *m_pCurrent, dt);
    if (m_fRemainTime < 0.0f) {
        m_pPrevious = nullptr;
        m_fBlendTime = -1.0f;
        m_fRemainTime = -1.0f;
    }
}

// A blend started while no camera was current: the new camera shows alone and the blend
// time stands still.
void CCameraManager::TakeCurrentUnblended(float dt)
{
    ShowPose(m_BlendCamera, PoseOf(*m_pCurrent), *m_pCurrent, dt);
}

void CCameraManager::ShowCurrent(float dt)
{
    m_BlendCamera.SetCameraType(m_pCurrent->GetCameraType());
    ShowPose(m_BlendCamera, PoseOf(*m_pCurrent), *m_pCurrent, dt);
}

void CCameraManager::BeginRender()
{
    m_matSavedWorld = *m_BlendCamera.GetWorldMatrix();
    m_matSavedView = *m_BlendCamera.GetViewMatrix();
    m_matSavedProj = *m_BlendCamera.GetProjMatrix();
    RestoreCameraMatrix();
}

void CCameraManager::RestoreCameraMatrix()
{
    if (!singleton<CDirect3DDevice>::GetSingleton().m_pd3dDevice)
        return;
    SetTransform(D3DTS_WORLD, m_BlendCamera.GetWorldMatrix());
    SetTransform(D3DTS_VIEW, m_BlendCamera.GetViewMatrix());
    SetTransform(D3DTS_PROJECTION, m_BlendCamera.GetProjMatrix());
}

void CCameraManager::RestoreWorldMatrix()
{
    if (singleton<CDirect3DDevice>::GetSingleton().m_pd3dDevice)
        SetTransform(D3DTS_WORLD, &m_matSavedWorld);
}

CCamera* CCameraManager::GetCamera(const wchar_t* name) const
{
    if (!name)
        return nullptr;
    for (CCamera* camera : m_Cameras) {
        if (std::wcscmp(camera->GetName(), name) == 0)
            return camera;
    }
    return nullptr;
}

CCamera* CCameraManager::GetCurCamera()
{
    return m_fRemainTime > 0.0f ? &m_BlendCamera : m_pCurrent;
}
