#include "support/LogCapture.h"

#include <lumenkit/CameraManager.h>

#include <gtest/gtest.h>

#include <string>

namespace {

void ExpectNear(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected, float eps = 1e-4f)
{
    EXPECT_NEAR(actual.x, expected.x, eps);
    EXPECT_NEAR(actual.y, expected.y, eps);
    EXPECT_NEAR(actual.z, expected.z, eps);
}

// Each test starts from a freshly constructed manager.
class CameraManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        delete CCameraManager::GetSingletonPtr();
        new CCameraManager();
    }
    void TearDown() override { delete CCameraManager::GetSingletonPtr(); }

    static CCameraManager& Manager() { return CCameraManager::GetSingleton(); }

    // Registers a camera looking down -z from eye (x, 0, 0), shifted by `shift` on y.
    static CCamera* AddCamera(const wchar_t* name, float x, float shift = 0.0f)
    {
        auto* camera = new CCamera(name);
        camera->SetViewParams(D3DXVECTOR3(x, 0, 0), D3DXVECTOR3(x, 0, -1), D3DXVECTOR3(0, 1, 0));
        camera->SetPositionShift(D3DXVECTOR3(0, shift, 0));
        Manager().AddCamera(camera);
        return camera;
    }

    testsupport::LogCapture m_log;
};

TEST_F(CameraManagerTest, StartsOnTheDefaultCameraWithReciprocalAspect)
{
    CCamera* current = Manager().GetCurCamera();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(std::wstring(current->GetName()), L"Default Camera");
    EXPECT_EQ(std::wstring(current->GetRTTI()), L"CGameObject | CCamera");
    EXPECT_EQ(Manager().IsCameraChange(), 0);

    // The applied projection uses 1 / 1.3333 as its aspect, near 2 and far 4500.
    D3DXMATRIX expected;
    D3DXMatrixPerspectiveFovRH(&expected, 0.60240036f, 0.75f, 2.0f, 4500.0f);
    const D3DXMATRIX* proj = Manager().GetProjMatrix();
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR((&proj->_11)[i], (&expected._11)[i], 1e-4f) << i;
}

TEST_F(CameraManagerTest, BlendsFromThePreviousCameraOverTheGivenTime)
{
    AddCamera(L"A", 0.0f);
    AddCamera(L"B", 100.0f, 8.0f);
    ASSERT_EQ(Manager().ChangeCamera(L"A", 0.0f), 1);
    ExpectNear(Manager().GetCurCamera()->GetEyePt(), {0, 0, 0}); // switched at once

    ASSERT_EQ(Manager().ChangeCamera(L"B", 1.0f), 1);
    EXPECT_EQ(Manager().IsCameraChange(), 1);
    // Its own update of 0 seconds still shows the old camera.
    ExpectNear(Manager().GetCurCamera()->GetEyePt(), {0, 0, 0});

    Manager().Update(0.25f);
    // 0.25 of B's shifted eye (100, 8, 0) and 0.75 of A's.
    ExpectNear(Manager().GetCurCamera()->GetEyePt(), {25, 2, 0});
    Manager().Update(0.75f); // remaining exactly 0: over, not yet torn down
    EXPECT_EQ(Manager().IsCameraChange(), 0);
    ExpectNear(Manager().GetCurCamera()->GetEyePt(), {100, 8, 0});
}

TEST_F(CameraManagerTest, RefusedChangesDeletionsAndDuplicates)
{
    AddCamera(L"A", 0.0f);
    EXPECT_EQ(Manager().ChangeCamera(L"Default Camera", 1.0f), 0); // already current
    EXPECT_EQ(Manager().IsCameraChange(), 0);
    EXPECT_EQ(Manager().ChangeCamera(L"Nowhere", 0.0f), 0);
    EXPECT_TRUE(m_log.Contains(L"CCameraManager::ChangeCamera() Camera Name Invalid Nowhere"));
    EXPECT_EQ(Manager().ChangeCamera(L"a", 0.0f), 0); // names are case-sensitive

    CCamera duplicate(L"A");
    Manager().AddCamera(&duplicate); // refused: the test keeps it
    EXPECT_TRUE(m_log.Contains(L"A의 카메라 이름이 중복 됩니다. 카메라가 등록되지 않습니다."));

    ASSERT_EQ(Manager().ChangeCamera(L"A", 0.0f), 1);
    Manager().DeleteCamera(L"A");
    EXPECT_EQ(Manager().GetCamera(L"A"), nullptr);
    EXPECT_EQ(std::wstring(Manager().GetCurCamera()->GetName()), L"Default Camera");

    Manager().DeleteCamera(L"Default Camera");
    EXPECT_NE(Manager().GetCamera(L"Default Camera"), nullptr);
    EXPECT_TRUE(m_log.Contains(L"[WARN] 디폴트 카메라를 지우려 했습니다. 그냥 패스합니다."));
}

TEST(CameraTest, YawPitchMoveAndMatrices)
{
    CCamera camera(L"C");
    camera.SetViewParams(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, -1), D3DXVECTOR3(0, 1, 0));
    camera.ApplyCameraMatrix();

    // Looking straight up is refused.
    camera.RotCameraYawPitch(0.0f, 90.0f);
    ExpectNear(camera.GetLookatPt(), {0, 0, -1});

    // Right is -z x y = +x; moving along it moves both points alike.
    camera.MoveCamera(D3DXVECTOR3(1, 0, 0));
    ExpectNear(camera.GetEyePt(), {1, 0, 0});
    ExpectNear(camera.GetLookatPt(), {1, 0, -1});

    // A quarter yaw (with the 3.1415 constant) turns -z towards -x.
    camera.RotCameraYaw(90.0f);
    ExpectNear(camera.GetViewDir(), {-1, 0, 0}, 1e-3f);
    ExpectNear(camera.GetLookatPt(), {0, 0, 0}, 1e-3f);

    // The shift moves what the matrices see, not the stored points; the billboard has no
    // translation and undoes the view's rotation.
    camera.SetPositionShift(D3DXVECTOR3(0, 5, 0));
    const D3DXMATRIX view = *camera.GetViewMatrix();
    D3DXVECTOR3 eyeInView;
    D3DXVECTOR3 shiftedEye = camera.GetEyePt();
    D3DXVec3TransformCoord(&eyeInView, &shiftedEye, &view);
    ExpectNear(eyeInView, {0, 0, 0});
    const D3DXMATRIX* billboard = camera.GetBillboardMatrix();
    EXPECT_EQ(billboard->_41, 0.0f);
    D3DXVECTOR3 axis(0, 0, 1), turned, back;
    D3DXVec3TransformNormal(&turned, &axis, &view);
    D3DXVec3TransformNormal(&back, &turned, billboard);
    ExpectNear(back, axis);
}

} // namespace
