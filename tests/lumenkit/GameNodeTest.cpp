#include <lumenkit/GameNode.h>
#include <lumenkit/GameObject.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

class TestDeviceObject : public CBaseDeviceObject {
public:
    TestDeviceObject() { AddRTTI(L" | TestDeviceObject"); }
    void Init() override
    {
        CBaseDeviceObject::Init();
        ++initCalls;
    }
    HRESULT Invalidate() override { return S_OK; }
    HRESULT Restore() override { return S_OK; }
    int initCalls = 0;
};

TEST(GameObjectTest, ChainReferenceCountHandleAndClose)
{
    TestDeviceObject object;
    EXPECT_EQ(std::wstring(object.GetRTTI()), L"CGameObject | CBaseDeviceObject | TestDeviceObject");
    EXPECT_EQ(object.GetRef(), 1);
    EXPECT_EQ(object.GetHandle(), -1);
    object.AddRef();
    object.AddRef();
    object.ReleaseRef();
    EXPECT_EQ(object.GetRef(), 2);

    object.SetName(L"tex");
    object.SetName(nullptr);
    EXPECT_EQ(std::wstring(object.GetName()), L"tex");

    object.SetHandle(7);
    object.Close(); // reaches the derived Init
    EXPECT_EQ(object.GetHandle(), -1);
    EXPECT_EQ(object.initCalls, 1);
}

D3DXVECTOR3 Origin(GameNode& node)
{
    const D3DXMATRIX* world = node.GetWorldTransform();
    return {world->_41, world->_42, world->_43};
}

TEST(GameNodeTest, LocalAndWorldTransforms)
{
    GameNode node;
    D3DXVECTOR3 pos(1, 2, 3), scale(2, 2, 2);
    node.SetLocalPos(&pos);
    node.SetLocalScale(&scale);

    D3DXMATRIX expected, move;
    D3DXMatrixScaling(&expected, 2, 2, 2);
    D3DXMatrixTranslation(&move, 1, 2, 3);
    EXPECT_EQ(*node.GetWorldTransform(), expected * move);
    // The local transform leaves the scale out.
    EXPECT_EQ(*node.GetLocalTransform(), move);

    // A parent turned a quarter about z at (5, 0, 0): the child's offset is not turned.
    GameNode parent, child;
    const float h = std::sqrt(0.5f);
    D3DXQUATERNION quarterZ(0, 0, h, h);
    D3DXVECTOR3 parentPos(5, 0, 0), childPos(1, 0, 0);
    parent.SetRotation(&quarterZ);
    parent.SetLocalPos(&parentPos);
    child.SetLocalPos(&childPos);
    parent.AddChild(&child);
    const D3DXVECTOR3 origin = Origin(child);
    EXPECT_NEAR(origin.x, 6.0f, 1e-5f);
    EXPECT_NEAR(origin.y, 0.0f, 1e-5f);
    EXPECT_NEAR(origin.z, 0.0f, 1e-5f);
}

TEST(GameNodeTest, ChildListBoundsAndRemoval)
{
    GameNode parent, a, b, stranger;
    EXPECT_EQ(parent.AddChild(&a), 1);
    EXPECT_EQ(parent.AddChild(&b), 2);
    EXPECT_EQ(parent.GetChild(0), &a);
    EXPECT_EQ(parent.GetChild(-1), nullptr);
    EXPECT_EQ(parent.GetChild(2), nullptr);

    stranger.SetParent(&a);
    parent.RemoveChild(&stranger);
    parent.RemoveChild(5);
    EXPECT_EQ(parent.GetNumChild(), 2);
    EXPECT_EQ(stranger.GetParent(), &a);

    parent.RemoveChild(&a);
    EXPECT_EQ(a.GetParent(), nullptr);
    parent.RemoveChild(0);
    EXPECT_EQ(b.GetParent(), nullptr);
    EXPECT_EQ(parent.GetNumChild(), 0);
}

} // namespace
