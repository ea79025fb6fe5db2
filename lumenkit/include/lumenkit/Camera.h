// A right-handed look-at camera: eye, look-at point and up vector with a vertical field of
// view, aspect and near and far planes, from which it computes the view, billboard and
// projection matrices. A position shift and a sideways/upward noise offset move the camera
// without changing its stored points.
#pragma once

#include <lumenkit/GameNode.h>
#include <lumenkit/GameObject.h>

#include <d3d9/D3DXMath.h>

class CCamera : public CGameObject, public GameNode {
public:
    CCamera();
    explicit CCamera(const wchar_t* name);
    CCamera(const CCamera&) = default;
    CCamera& operator=(const CCamera&) = default;
    ~CCamera() override;

    void Init() override;
    void Close() override {}
    // Turns the view by yaw about y and pitch about the cross vector (degrees); refused when
    // the camera would look (nearly) straight up or down.
    virtual void RotCameraYawPitch(float yaw, float pitch);
    // Moves eye and look-at by v along right, true up and the view direction.
    virtual void MoveCamera(D3DXVECTOR3 v);
    virtual void UpdateMouse(float /*dt*/) {}
    // Called by the manager when the camera becomes current.
    virtual void ChangeCamera() {}
    virtual void Render() {}
    using GameNode::Render;
    void Update(float /*dt*/) override {}

    void SetViewParams(D3DXVECTOR3 eye, D3DXVECTOR3 lookat, D3DXVECTOR3 up);
    void SetProjParams(float fov, float aspect, float zNear, float zFar);
    void SetEyePt(D3DXVECTOR3 eye);
    void SetLookatPt(D3DXVECTOR3 lookat);
    // The stored points plus the position shift.
    D3DXVECTOR3 GetEyePt() const { return m_vEye + m_vPositionShift; }
    D3DXVECTOR3 GetLookatPt() const { return m_vLookat + m_vPositionShift; }
    D3DXVECTOR3 GetUpVec() const { return m_vUp; }
    D3DXVECTOR3 GetViewDir() const { return m_vViewDir; }
    D3DXVECTOR3 GetCross() const { return m_vCross; }
    float GetFOV() const { return m_fFOV; }
    float GetScreenAspect() const { return m_fAspect; }
    float GetNear() const { return m_fNear; }
    float GetFar() const { return m_fFar; }
    void SetCameraType(int type) { m_nCameraType = type; }
    int GetCameraType() const { return m_nCameraType; }
    void SetPositionShift(D3DXVECTOR3 shift) { m_vPositionShift = shift; }
    D3DXVECTOR3 GetPositionShift() const { return m_vPositionShift; }
    void SetNoisePos(D3DXVECTOR3 noise) { m_vNoisePos = noise; }
    D3DXVECTOR3 GetNoisePos() const { return m_vNoisePos; }
    void SetWorldMatrix(D3DXMATRIX world) { m_matCameraWorld = world; }

    // Computes the view, billboard and (for type 0) projection matrices and takes the
    // camera's pose onto the node side.
    void ApplyCameraMatrix();
    // Each computes the matrices first when they are out of date.
    D3DXMATRIX* GetWorldMatrix();
    D3DXMATRIX* GetViewMatrix();
    D3DXMATRIX* GetBillboardMatrix();
    D3DXMATRIX* GetProjMatrix();

    void RotCameraYaw(float degrees);
    void RotCameraPitch(float degrees);
    int ProcessMsg(unsigned int /*msg*/, unsigned int /*wParam*/, long /*lParam*/) { return 0; }

private:
    void EnsureMatrices();

    int m_nCameraType = 0;
    D3DXVECTOR3 m_vEye;
    D3DXVECTOR3 m_vLookat;
    D3DXVECTOR3 m_vUp;
    D3DXVECTOR3 m_vViewDir;
    D3DXVECTOR3 m_vCross;
    float m_fFOV = 0.0f;
    float m_fAspect = 0.0f;
    float m_fNear = 0.0f;
    float m_fFar = 0.0f;
    D3DXMATRIX m_matCameraWorld;
    D3DXMATRIX m_matView;
    D3DXMATRIX m_matBillboard;
    D3DXMATRIX m_matProj;
    int m_bValid = 0;
    D3DXVECTOR3 m_vPositionShift;
    D3DXVECTOR3 m_vNoisePos;
};
