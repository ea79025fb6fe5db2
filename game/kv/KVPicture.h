// A picture: one still image, or an animation file played by a director of its own at the
// picture's place. Game code restarts the animation's scenes by name.
#pragma once

#include "kv/KVWnd.h"

#include <string>

namespace kv {

class KVDirector;

class KVPicture : public KVWnd {
public:
    ~KVPicture() override;

    std::wstring GetClassName() const override { return L"KVPicture"; }
    std::wstring GetTypeName() const override { return L"Picture"; }
    void ApplyBase(WndBaseStruct* description, KVWnd* parent) override;
    void ReadXml(KVXmlCursor* cursor) override;
    void Destroy() override;
    void LoadAssets() override;
    void ResetDefaults() override;
    void OnResize(int32_t flags) override;
    void Update(UpdateEventArgs& args) override;
    void OnDraw() override;

    // Restarts the named scene (stopped first), or with an empty name starts the first scene.
    void PlayScene(const std::wstring& name);
    bool IsScenePlaying() const;

    KVDirector* GetPictureDirector() const { return m_pictureDirector; }
    bool IsStatic() const { return m_static; }

private:
    void PlaceScenes();

    // Separate from the window's UI-animation director.
    KVDirector* m_pictureDirector = nullptr;
    std::wstring m_path;
    bool m_static = false;
};

} // namespace kv
