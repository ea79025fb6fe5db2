// Animated textures: reading "DFAnimateTexture" files into frame sets and playing them.
#include <lumenkit/AnimateTexture.h>

#include <lumenkit/Texture.h>

#include <helvane/DXUtil.h>
#include <helvane/Log.h>
#include <helvane/ResourceFileManager.h>
#include <helvane/XmlText.h>

#include <win32/Files.h>
#include <win32/Text.h>

#include <tinyxml.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <vector>

namespace {

constexpr int kPathChars = 255;
constexpr float kForever = 1e7f;

bool LoadXml(TiXmlDocument& doc, const wchar_t* path)
{
    std::string text;
    return platform::ReadWholeFile(platform::Narrow(path), text, platform::kMaxXmlFileBytes) && ParseXmlText(doc, text);
}

// The text of the element; with several text children the last one counts.
const char* LastText(const TiXmlElement* element)
{
    const char* text = nullptr;
    for (const TiXmlNode* child = element->FirstChild(); child; child = child->NextSibling()) {
        if (child->Type() == TiXmlNode::TINYXML_TEXT)
            text = child->Value();
    }
    return text;
}

struct Frame {
    int handle;
    D3DXMATRIX transform;
};

// The cells of one sheet, row by row, appended while the set has room.
void AddSheetFrames(const TiXmlElement* info, const std::wstring& setName, std::vector<Frame>& frames)
{
    const char* file = info->Attribute("Filename");
    if (!file) {
        DFLog(LOG_WARN, L"AnimateTexture: a TextureInfo of the set %s has no Filename; it adds no frames",
              setName.c_str());
        return;
    }
    int columns = 1, rows = 1;
    if (const char* x = info->Attribute("xGrid")) {
        columns = std::atoi(x);
        const char* y = info->Attribute("yGrid");
        rows = y ? std::atoi(y) : 1;
    }
    if (columns <= 0 || rows <= 0)
        return;
    wchar_t name[kPathChars] = {};
    DXUtil_ConvertAnsiStringToGeneric(name, file, kPathChars);
    const int handle = CTextureManager::GetTextureHandleByTCHAR(name, 1);
    const float du = 1.0f / static_cast<float>(columns), dv = 1.0f / static_cast<float>(rows);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            if (frames.size() >= static_cast<size_t>(stAniTexSet::kMaxFrames)) {
                DFLog(LOG_WARN, L"AnimateTexture: the set %s has more than %d frames; the rest are left out",
                      setName.c_str(), stAniTexSet::kMaxFrames);
                return;
            }
            Frame frame{handle, {}};
            D3DXMatrixScaling(&frame.transform, du, dv, 1.0f);
            frame.transform._31 = static_cast<float>(c) * du;
            frame.transform._32 = static_cast<float>(r) * dv;
            frames.push_back(frame);
        }
    }
}

stAniTexSet* ReadSet(const TiXmlElement* element, const std::wstring& name)
{
    auto* set = new stAniTexSet();
    if (const TiXmlElement* time = element->FirstChildElement("AnimationTime")) {
        const char* text = LastText(time);
        set->fFrameTime = text ? static_cast<float>(std::atof(text)) : 0.0f;
    }
    std::vector<Frame> frames;
    for (const TiXmlElement* info = element->FirstChildElement("TextureInfo"); info;
         info = info->NextSiblingElement("TextureInfo"))
        AddSheetFrames(info, name, frames);
    set->nFrameCount = static_cast<int>(frames.size());
    set->pFrames = frames.empty() ? nullptr : new stAniTexElement[frames.size()];
    for (size_t i = 0; i < frames.size(); ++i) {
        set->pFrames[i].nTextureHandle = frames[i].handle;
        set->pFrames[i].matTexture = frames[i].transform;
    }
    return set;
}

} // namespace

stAniTexElement::stAniTexElement()
{
    D3DXMatrixIdentity(&matTexture);
}

stAniTexElement::~stAniTexElement()
{
    if (nTextureHandle == -1)
        return;
    if (CTextureManager* manager = CTextureManager::GetSingletonPtr())
        manager->DeleteResource(nTextureHandle);
}

AnimateTexture::~AnimateTexture()
{
    Close();
}

int AnimateTexture::Load(const wchar_t* path)
{
    if (!path)
        return 0;
    TiXmlDocument doc;
    if (!LoadXml(doc, path)) {
        const wchar_t* found = CResourceFileManager::GetSingleton().GetFullPathNameW(path, kResourceData);
        if (!found) {
            DFLog(L"Cannot Find TextureFile %s", path);
            Close();
            return 0;
        }
        if (!LoadXml(doc, found)) {
            DFLog(L"Cannot Load TextureFileName %s", found);
            Close();
            return 0;
        }
    }
    const TiXmlElement* root = doc.FirstChildElement("DFAnimateTexture");
    if (!root) {
        DFLog(L"%s 루트에서 DFAnimateTexture 노드를 찾을수 없습니다.", path);
        Close();
        return 0;
    }
    for (const TiXmlElement* element = root->FirstChildElement("TexAniSet"); element;
         element = element->NextSiblingElement("TexAniSet")) {
        const char* name = element->Attribute("name");
        if (!name) {
            DFLog(LOG_WARN, L"AnimateTexture: a TexAniSet of %s has no name; it is left out", path);
            continue;
        }
        wchar_t wide[kPathChars] = {};
        DXUtil_ConvertAnsiStringToGeneric(wide, name, kPathChars);
        AddSet(wide, ReadSet(element, wide));
    }
    auto found = m_Sets.find(L"default");
    if (found != m_Sets.end()) {
        m_pDefaultSet = found->second;
        m_pCurrentSet = m_pDefaultSet;
    } else if (!m_Sets.empty()) {
        m_pCurrentSet = m_pDefaultSet;
    }
    m_nTextureCursor = 0;
    m_fElapsedTime = 0.0f;
    return 1;
}

void AnimateTexture::AddSet(const std::wstring& name, stAniTexSet* set)
{
    stAniTexSet*& slot = m_Sets[name];
    if (slot) {
        // The new set takes the old one's place everywhere the old one was in use.
        if (m_pCurrentSet == slot) {
            m_pCurrentSet = set;
            m_nTextureCursor = 0;
            m_fElapsedTime = 0.0f;
        }
        if (m_pDefaultSet == slot)
            m_pDefaultSet = set;
        delete slot;
    }
    slot = set;
}

void AnimateTexture::Close()
{
    for (auto& [name, set] : m_Sets)
        delete set;
    m_Sets.clear();
    m_fHoldTime = 0.0f;
    m_pCurrentSet = nullptr;
    m_pDefaultSet = nullptr;
    m_strSetName.clear();
}

void AnimateTexture::SetAnimationTextureSet(const wchar_t* name, float time)
{
    m_fHoldTime = time > 0.0f ? time : kForever;
    auto found = name ? m_Sets.find(name) : m_Sets.end();
    if (found == m_Sets.end()) {
        DFLog(L"존재하지 않는 텍스쳐 셋 %s를 참조하려 했습니다.", name ? name : L"");
        return;
    }
    m_pCurrentSet = found->second;
    m_fElapsedTime = 0.0f;
    m_nTextureCursor = 0;
    m_strSetName.assign(name, std::min(std::wcslen(name), kNameChars - 1));
}

void AnimateTexture::Update(float dt)
{
    if (!m_pCurrentSet)
        return;
    if (m_fHoldTime > 0.0f) {
        m_fHoldTime -= dt;
        if (m_fHoldTime <= 0.0f)
            SetAnimationTextureSet(L"default", -1.0f);
    }
    m_fElapsedTime += dt;
    const float frameTime = m_pCurrentSet->fFrameTime;
    if (frameTime > 0.0f && frameTime < m_fElapsedTime && m_pCurrentSet->nFrameCount > 0) {
        m_nTextureCursor = (m_nTextureCursor + 1) % m_pCurrentSet->nFrameCount;
        m_fElapsedTime -= frameTime;
    }
}

stAniTexElement* AnimateTexture::GetTextureInfo()
{
    if (!m_pCurrentSet || m_nTextureCursor >= m_pCurrentSet->nFrameCount)
        return nullptr;
    return &m_pCurrentSet->pFrames[m_nTextureCursor];
}

void AnimateTexture::SetTextureCursor(unsigned int cursor)
{
    if (!m_pCurrentSet)
        return;
    if (cursor < static_cast<unsigned int>(m_pCurrentSet->nFrameCount))
        m_nTextureCursor = static_cast<int>(cursor);
    else
        DFLog(LOG_WARN, L"텍스쳐 커서 값이 리스트 사이즈 보다 큽니다.");
}

const stAniTexSet* AnimateTexture::GetSet(const wchar_t* name) const
{
    auto found = m_Sets.find(name ? name : L"");
    return found == m_Sets.end() ? nullptr : found->second;
}
