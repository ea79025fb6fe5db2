// The background texture loader thread and its queue.
#include <lumenkit/TextureLoader.h>

#include <lumenkit/Texture.h>

#include <algorithm>
#include <chrono>
#include <cwchar>

int g_bLoaderStartLoad = 1;

TextureLoader::TextureLoader()
{
    m_Thread = std::thread([this] { Run(); });
}

TextureLoader::~TextureLoader()
{
    m_bStop = 1;
    if (m_Thread.joinable())
        m_Thread.join();
    std::lock_guard guard(m_Lock);
    m_LoadList.clear();
}

void TextureLoader::AddLoadTexture(CTexture* texture, const wchar_t* path)
{
    if (!path)
        return;
    stLoadTextureInfo info{texture, {}};
    std::wcsncpy(info.strPath, path, stLoadTextureInfo::kPathChars - 1);
    std::lock_guard guard(m_Lock);
    m_LoadList.push_back(info);
}

void TextureLoader::RemoveLoadTexture(CTexture* texture)
{
    std::lock_guard guard(m_Lock);
    auto it = std::find_if(m_LoadList.begin(), m_LoadList.end(),
                           [texture](const stLoadTextureInfo& info) { return info.pTexture == texture; });
    if (it != m_LoadList.end())
        m_LoadList.erase(it);
}

int TextureLoader::GetLoadTextureListSize()
{
    std::lock_guard guard(m_Lock);
    return static_cast<int>(m_LoadList.size());
}

void TextureLoader::Run()
{
    while (!m_bStop) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (g_bLoaderStartLoad)
            LoadFirst();
    }
}

void TextureLoader::LoadFirst()
{
    std::lock_guard guard(m_Lock);
    if (m_LoadList.empty())
        return;
    const stLoadTextureInfo& info = m_LoadList.front();
    if (info.pTexture)
        info.pTexture->CreateTextureFromFile(info.strPath);
    m_LoadList.pop_front();
}
