// The first scene of every run: the maker's logo movie with its sound, skipped by a key press or
// a mouse button release, then the main menu (entered with -1, 0, which starts its title).
#pragma once

#include "engine/Scene.h"

class MovieTexture;

inline constexpr const char* kInitMenuSceneName = "VanteoInitMenuScene";
inline constexpr const char* kLogoMovieFile = "Data/Movie/KelmorCI.avi";
inline constexpr const wchar_t* kLogoSoundFile = L"KelmorCI.ogg";

class VanteoInitMenuScene : public CScene {
public:
    VanteoInitMenuScene();
    ~VanteoInitMenuScene() override;

    // Opens the movie and plays the logo sound; a scene change asked for by message is ignored
    // while the logo shows.
    int Enter(int a, int b) override;
    // Frees the movie; the logo sound stays loaded.
    void Leave() override;
    // A button release or a key press skips to the main menu, and so does the movie's end.
    int Update(float seconds) override;
    int Render() override;
    // A key press asks for the skip; keys and the mouse go on to the window system.
    int MsgProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    int m_nLogoSound = -1;
    MovieTexture* m_pMovie = nullptr;
    int m_bSkipRequest = 0;

private:
    int IgnoreMessage(const void*, int) { return 1; }
    void CloseMovie();
    void GoToMainMenu();
};
