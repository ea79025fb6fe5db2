// A button that shows an animation for each state instead of a still image. Its director holds
// the scenes "NORMAL", "DOWN", "OVER" and "DISABLE", plus the optional transient scenes "ENTER"
// and "LEAVE" that play once as the pointer enters or leaves and then give way to the state's.
#pragma once

#include "kv/KVButton.h"

#include <cstdint>
#include <string>

namespace kv {

class KVDirector;
class KVAnimation;

class KVAnimButton : public KVButton {
public:
    enum Transient : int32_t { kNoTransient = 0, kEntering = 4, kLeaving = 5 };

    ~KVAnimButton() override;

    std::wstring GetClassName() const override { return L"KVAnimButton"; }
    std::wstring GetTypeName() const override { return L"AnimButton"; }
    void ApplyBase(WndBaseStruct* description, KVWnd* parent) override;
    void LoadAssets() override;
    void ResetDefaults() override;
    void ReleaseAssets() override;
    void OnEnabledChanged(bool enabled) override;
    void LButtonDown(MouseEventArgs& args) override;
    void LButtonUp(MouseEventArgs& args) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void Update(UpdateEventArgs& args) override;
    void OnDraw() override;
    void ApplyState() override;

    // Replaces the director with one that holds the scenes of one file.
    virtual void LoadAnimation(const std::wstring& file);
    virtual void ReleaseDirector();
    // Takes ownership of the director; 0 for null, 1 otherwise.
    virtual int32_t SetDirector(KVDirector* director);
    // Appends a file's scenes to the director, each renamed to the scene name when one is given.
    virtual void LoadAnimationFile(const std::wstring& file, const std::wstring& sceneName);

    // The scene name of a state: 0 "NORMAL", 1 "DOWN", 2 "OVER", 3 "DISABLE", 4 "ENTER",
    // 5 "LEAVE"; empty for any other number.
    static std::wstring StateName(int32_t stateNumber);

    KVDirector* GetAnimDirector() const { return m_director; }
    int32_t GetTransient() const { return m_transient; }

protected:
    // Restarts the scene of a state; a state without a scene leaves the current scene alone.
    void PlayStateScene(int32_t stateNumber);
    // The director's scene of a state, or null.
    KVAnimation* FindStateScene(int32_t stateNumber) const;
    // Makes the scene current and restarts it.
    void Restart(KVAnimation* scene);
    void PlaceScenes();

    // Owned; separate from the window's UI-animation director.
    KVDirector* m_director = nullptr;
    int32_t m_transient = kNoTransient;
    std::wstring m_enterFile;
    std::wstring m_leaveFile;
    bool m_group = false;

private:
    bool IsEnabledUpTheChain() const;
};

} // namespace kv
