#include "engine/Scene.h"

#include "engine/RenderBackend.h"

void CScene::Restart()
{
    Leave();
    Enter(m_nRestartA, m_nRestartB);
}

int CScene::CanRender()
{
    return GetRenderBackend().IsWindowClosing() ? 0 : 1;
}
