// The camera manager: owns the registered cameras, knows the current one, blends linearly
// from the previous camera to a new one over a given time, and every frame applies the
// resulting world, view and projection matrices to the Direct3D device.
#pragma once

#include <lumenkit/Camera.h>

#include <helvane/Singleton.h>

#include <vector>

class CCameraManager : public singleton<CCameraManager> {
public:
    // Creates the list and the blend camera and runs Init, so "Default Camera" exists and
    // is current from the start.
    CCameraManager();
    CCameraManager(const CCameraManager&) = delete;
    CCameraManager& operator=(const CCameraManager&) = delete;
    virtual ~CCameraManager();

    void Init();
    // Deletes every registered camera, the default camera included.
    void Close();
    // Registers the camera and takes ownership; a duplicate name is logged and refused
    // (the caller keeps the camera).
    void AddCamera(CCamera* camera);
    // Removes and deletes the named camera; the default camera is never deleted.
    void DeleteCamera(const wchar_t* name);
    // Makes the named camera current, blending over `time` seconds when time > 0; 0 for an
    // unknown name or the camera already current.
    int ChangeCamera(const wchar_t* name, float time);
    // Once a frame: advances the blend, fills the blend camera and applies its matrices.
    virtual int Update(float dt);

    void BeginRender();
    void RestoreCameraMatrix();
    void RestoreWorldMatrix();
    D3DXMATRIX* GetWorldMatrix() { return m_BlendCamera.GetWorldMatrix(); }
    D3DXMATRIX* GetViewMatrix() { return m_BlendCamera.GetViewMatrix(); }
    D3DXMATRIX* GetProjMatrix() { return m_BlendCamera.GetProjMatrix(); }

    // Exact, case-sensitive name match; null when none.
    CCamera* GetCamera(const wchar_t* name) const;
    // The blend camera while a blend runs, otherwise the current camera.
    CCamera* GetCurCamera();
    int IsCameraChange() const { return m_fRemainTime > 0.0f ? 1 : 0; }
    void SetMakeViewFrustum(int flag) { m_bMakeViewFrustum = flag; }
    int GetMakeViewFrustum() const { return m_bMakeViewFrustum; }

private:
    void BlendCameras(float dt);
    void TakeCurrentUnblended(float dt);
    void ShowCurrent(float dt);

    std::vector<CCamera*> m_Cameras;
    CCamera* m_pCurrent = nullptr;
    CCamera* m_pDefault = nullptr;
    CCamera* m_pPrevious = nullptr;
    CCamera m_BlendCamera;
    int m_bMakeViewFrustum = 0;
    float m_fBlendTime = -1.0f;
    float m_fRemainTime = -1.0f;
    D3DXMATRIX m_matSavedWorld;
    D3DXMATRIX m_matSavedView;
    D3DXMATRIX m_matSavedProj;
};
