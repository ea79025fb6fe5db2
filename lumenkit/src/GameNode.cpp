// The scene-graph node: child list, local and world transforms.
#include <lumenkit/GameNode.h>

#include <algorithm>

GameNode::GameNode()
{
    D3DXMatrixIdentity(&m_matLocal);
    D3DXMatrixIdentity(&m_matWorld);
}

GameNode::~GameNode() = default;

void GameNode::Update(float dt)
{
    for (GameNode* child : m_Children)
        child->Update(dt);
}

void GameNode::Render(const wchar_t* arg)
{
    for (GameNode* child : m_Children)
        child->Render(arg);
}

void GameNode::SetLocalPos(D3DXVECTOR3* pos) { m_vPos = *pos; }
void GameNode::MoveLocalPos(D3DXVECTOR3* delta) { m_vPos += *delta; }
void GameNode::SetRotation(D3DXQUATERNION* rotation) { m_qRotation = *rotation; }
const D3DXQUATERNION* GameNode::GetRotation() { return &m_qRotation; }
void GameNode::SetLocalScale(D3DXVECTOR3* scale) { m_vScale = *scale; }
int GameNode::IsActivate() { return m_bActive; }
void GameNode::Activate() { m_bActive = 1; }
void GameNode::Deactivate() { m_bActive = 0; }

void GameNode::UpdateLocalTransform()
{
    D3DXMatrixRotationQuaternion(&m_matLocal, &m_qRotation);
    m_matLocal._41 = m_vPos.x;
    m_matLocal._42 = m_vPos.y;
    m_matLocal._43 = m_vPos.z;
}

D3DXMATRIX* GameNode::GetLocalTransform()
{
    UpdateLocalTransform();
    return &m_matLocal;
}

void GameNode::UpdateWorldTransform()
{
    UpdateLocalTransform();
    D3DXMATRIX scale, rotation, translation;
    D3DXMatrixScaling(&scale, m_vScale.x, m_vScale.y, m_vScale.z);
    D3DXMatrixRotationQuaternion(&rotation, &m_qRotation);
    D3DXMatrixTranslation(&translation, m_vPos.x, m_vPos.y, m_vPos.z);
    if (m_pParent) {
        m_pParent->UpdateWorldTransform();
        m_matWorld = scale * rotation * m_pParent->m_matWorld * translation;
    } else {
        m_matWorld = scale * rotation * translation;
    }
}

D3DXMATRIX* GameNode::GetWorldTransform()
{
    UpdateWorldTransform();
    return &m_matWorld;
}

int GameNode::AddChild(GameNode* child)
{
    m_Children.push_back(child);
    child->m_pParent = this;
    return GetNumChild();
}

GameNode* GameNode::GetChild(int index) const
{
    if (index < 0 || index >= GetNumChild())
        return nullptr;
    return m_Children[index];
}

void GameNode::RemoveChild(GameNode* child)
{
    auto it = std::find(m_Children.begin(), m_Children.end(), child);
    if (it == m_Children.end())
        return;
    (*it)->m_pParent = nullptr;
    m_Children.erase(it);
}

void GameNode::RemoveChild(int index)
{
    if (index < 0 || index >= GetNumChild())
        return;
    m_Children[index]->m_pParent = nullptr;
    m_Children.erase(m_Children.begin() + index);
}
