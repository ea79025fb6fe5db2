// The scene-graph node: a local position, scale and rotation, a parent link and an ordered
// list of children (listed, never owned), and the world transform composed up the parents.
#pragma once

#include <d3d9/D3DXMath.h>

#include <vector>

class GameNode {
public:
    GameNode();
    GameNode(const GameNode&) = default;
    GameNode& operator=(const GameNode&) = default;
    // Releases the child list, never the children.
    virtual ~GameNode();

    // Both pass the call to every child in list order; neither looks at the active or
    // frustum-culling flags (a node that wants them honoured overrides the slot).
    virtual void Update(float dt);
    virtual void Render(const wchar_t* arg);
    virtual void SetLocalPos(D3DXVECTOR3* pos);
    virtual void MoveLocalPos(D3DXVECTOR3* delta);
    virtual void SetRotation(D3DXQUATERNION* rotation);
    virtual const D3DXQUATERNION* GetRotation();
    virtual void SetLocalScale(D3DXVECTOR3* scale);
    virtual int IsActivate();
    virtual void Activate();
    virtual void Deactivate();

    const D3DXVECTOR3* GetPos() const { return &m_vPos; }
    D3DXVECTOR3* GetLocalScale() { return &m_vScale; }

    // The rotation with its translation row replaced by the position; scale is left out.
    D3DXMATRIX* GetLocalTransform();
    void UpdateLocalTransform();
    // Scale, then rotation, then (with a parent) the parent's world transform, then the
    // node's own translation in world axes: S x R x P x T, or S x R x T at the root.
    void UpdateWorldTransform();
    D3DXMATRIX* GetWorldTransform();

    // Set, read and clear the parent link only; the parent's child list is not touched.
    void SetParent(GameNode* parent) { m_pParent = parent; }
    GameNode* GetParent() const { return m_pParent; }
    void RemoveParent() { m_pParent = nullptr; }

    // Appends the child and links it to this node; returns the new child count.
    int AddChild(GameNode* child);
    // Null for an index outside the list.
    GameNode* GetChild(int index) const;
    // Each removes one list entry and clears that child's parent link; a node or index not
    // in the list changes nothing.
    void RemoveChild(GameNode* child);
    void RemoveChild(int index);
    int GetNumChild() const { return static_cast<int>(m_Children.size()); }

    unsigned int GetType() const { return m_nType; }
    void SetFrustumCulling(int enabled) { m_bFrustumCulling = enabled; }

protected:
    D3DXVECTOR3 m_vPos{0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 m_vScale{1.0f, 1.0f, 1.0f};
    D3DXQUATERNION m_qRotation{0.0f, 0.0f, 0.0f, 1.0f};
    D3DXMATRIX m_matLocal;
    D3DXMATRIX m_matWorld;
    GameNode* m_pParent = nullptr;
    std::vector<GameNode*> m_Children;
    int m_bActive = 1;
    unsigned int m_nType = 1;
    int m_bFrustumCulling = 1;
};
