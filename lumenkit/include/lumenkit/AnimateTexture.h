// Frame animations cut from texture sheets. A "DFAnimateTexture" file defines named frame
// sets; each set lists sheets cut into a grid of equal cells and a time per frame. One set is
// current; Update advances its frame, and a set played for a limited time falls back to the
// set named "default".
#pragma once

#include <d3d9/D3DXMath.h>

#include <map>
#include <string>

// One frame: a texture handle and the texture-coordinate transform that addresses its cell.
struct stAniTexElement {
    stAniTexElement();
    stAniTexElement(const stAniTexElement&) = delete;
    stAniTexElement& operator=(const stAniTexElement&) = delete;
    // Unloads the frame's texture through the texture manager.
    ~stAniTexElement();

    int nTextureHandle = -1;
    D3DXMATRIX matTexture;
};

// One frame set.
struct stAniTexSet {
    static constexpr int kMaxFrames = 256;

    stAniTexSet() = default;
    stAniTexSet(const stAniTexSet&) = delete;
    stAniTexSet& operator=(const stAniTexSet&) = delete;
    ~stAniTexSet() { delete[] pFrames; }

    float fFrameTime = 0.0f;
    int nFrameCount = 0;
    stAniTexElement* pFrames = nullptr;
};

class AnimateTexture {
public:
    static constexpr size_t kNameChars = 64;

    AnimateTexture() = default;
    // The object owns its sets: it is never copied.
    AnimateTexture(const AnimateTexture&) = delete;
    AnimateTexture& operator=(const AnimateTexture&) = delete;
    ~AnimateTexture();

    // Reads the file and adds its sets; 1 on success, 0 (and the object emptied) on failure.
    int Load(const wchar_t* path);
    void Close();
    void LoadError() { Close(); }
    // Plays the named set for `time` seconds (forever when not positive) before "default".
    void SetAnimationTextureSet(const wchar_t* name, float time);
    void Update(float dt);
    // The current frame, or null without a current set.
    stAniTexElement* GetTextureInfo();
    void SetTextureCursor(unsigned int cursor);
    const wchar_t* GetAnimationTextureSetName() const { return m_strSetName.c_str(); }

    int GetSetCount() const { return static_cast<int>(m_Sets.size()); }
    const stAniTexSet* GetSet(const wchar_t* name) const;
    const stAniTexSet* GetCurrentSet() const { return m_pCurrentSet; }
    int GetTextureCursor() const { return m_nTextureCursor; }
    float GetHoldTime() const { return m_fHoldTime; }

private:
    void AddSet(const std::wstring& name, stAniTexSet* set);

    float m_fElapsedTime = 0.0f;
    float m_fHoldTime = -100.0f;
    std::map<std::wstring, stAniTexSet*> m_Sets;
    stAniTexSet* m_pCurrentSet = nullptr;
    stAniTexSet* m_pDefaultSet = nullptr;
    int m_nTextureCursor = 0;
    std::wstring m_strSetName;
};
