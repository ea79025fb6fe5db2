// The main menu's movie pop-ups: four paged tutorials, where each page loops one short movie
// with its sound track until the player turns the page, and the battle video pop-up, which
// shows one of four battle movies chosen with its buttons.
//
// A pop-up opens every movie and sound of its pages at once, so a page turn touches no file;
// only the shown movie is advanced. Movie and sound restart together each time the movie ends.
// A movie that cannot be opened, or that ends before it showed a picture, is dropped with a log
// line: its page shows without it and its sound and buttons work as usual.
//
// The general tutorial is forced on a player who has not seen it yet: its close button and the
// closing keys wait until the last page has been reached, which marks the tutorial seen.
#pragma once

#include "menus/PopUp.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class MovieTexture;
class Sound;

inline constexpr int32_t MSG_MOVIE_TUTORIAL_CLOSED = 2054;
inline constexpr int32_t MSG_VIDEO_CLOSED = 2055;

// What the movie pop-ups reach beyond their windows: movies opened on the game's device, their
// sound tracks in the sound server, and the sprite drawing of the frame renderer. Tests install
// their own with SetMovieServices.
class MoviePopUpServices {
public:
    virtual ~MoviePopUpServices() = default;
    // A new movie opened from the file, or null (logged) when it cannot be played.
    virtual MovieTexture* OpenMovie(const std::string& path);
    // The sound track's id in the sound server, or -1.
    virtual int LoadSound(const std::string& path);
    // Plays the loaded sound of an id once / stops and rewinds it; nothing for any other id.
    virtual void PlaySound(int id);
    virtual void ResetSound(int id);
    virtual void UnloadSound(int id);
    // Back to the first frame: the file is sought to its start and the decoder's held-back
    // pictures are dropped, so the next picture shown is the movie's first.
    virtual void SeekToStart(MovieTexture& movie);
    // Draws the movie's texture at its own size with its top-left corner at (x, y).
    virtual void Draw(MovieTexture& movie, float x, float y, uint8_t alpha);
};

// Null restores the game's own.
void SetMovieServices(MoviePopUpServices* services);
MoviePopUpServices& MovieServices();

// The 8-bit alpha of a window's effective alpha: 255 from 1 up, 0 from 0 down, else rounded.
uint8_t MovieAlpha(float alpha);

// One movie with its sound, owned from the pop-up's opening to its closing.
struct MovieSlot {
    MovieTexture* movie = nullptr;
    int32_t soundId = -1;
    // Seconds the movie has run since it (re)started; a movie that ends before its first picture
    // was due holds no picture and is dropped instead of restarting every frame.
    float playedSeconds = 0.0f;

    void Load(const std::string& moviePath, const std::string& soundPath);
    // Closes and deletes the movie; the sound stays loaded.
    void DropMovie();
    // Closes the movie and unloads the sound.
    void Free();
    // Advances the movie; at its end, movie and sound start again together.
    void Run(float seconds);
    void Rewind();
    void PlaySound();
    void StopSound();
    void Draw(kv::KVWnd* picture, kv::EventArgs& args);
};

// The paged tutorials' common behaviour; each kind gives its layout, pages and movie names.
class VanteoPopUp_MovieTutorial : public VanteoPopUp {
public:
    ~VanteoPopUp_MovieTutorial() override;

    // Destroys the window and frees every movie and sound, without a message.
    void Close() override;
    int Open() override;
    void Update(float seconds) override;
    void BindEvents() override;

    void OnNext(kv::EventArgs& args);
    void OnClose(kv::EventArgs& args);
    void OnDrawMovie(kv::EventArgs& args);

    int GetPageCount() const { return m_nPages; }
    const MovieSlot& GetSlot(int page) const { return m_Slots[static_cast<size_t>(page - 1)]; }

    // 1..N while open, 0 while closed.
    int32_t m_nCurrentPage = 0;

protected:
    VanteoPopUp_MovieTutorial(const char* layout, int pages, const char* movieBase, int firstNumber);
    // True while the closing keys act and the close button is left as the layout has it.
    virtual bool IsFree() const { return true; }
    // The last page has been reached.
    virtual void OnLastPage();
    // Enables the close button from its normal state.
    void EnableClose();

private:
    void ShowPage();
    void FreeSlots();

    const char* m_pLayout;
    int m_nPages;
    const char* m_pMovieBase;
    int m_nFirstNumber;
    std::vector<MovieSlot> m_Slots;
};

// The general tutorial of 15 pages.
class VanteoPopUp_Quibly : public VanteoPopUp_MovieTutorial {
public:
    static constexpr const char* kLayout = "data/quibly.xml";
    static constexpr int kPages = 15;
    VanteoPopUp_Quibly() : VanteoPopUp_MovieTutorial(kLayout, kPages, "data/movie/Movie", 1) {}
    int Open() override;

protected:
    bool IsFree() const override;
    void OnLastPage() override;
};

// The how-to tutorials of the logic-puzzle, push and puzzle sub-menus.
class VanteoPopUp_HowTo_IQ : public VanteoPopUp_MovieTutorial {
public:
    VanteoPopUp_HowTo_IQ() : VanteoPopUp_MovieTutorial("data/howto_iq.xml", 4, "data/movie/MovieIQ", 0) {}
};

class VanteoPopUp_HowTo_Push : public VanteoPopUp_MovieTutorial {
public:
    VanteoPopUp_HowTo_Push() : VanteoPopUp_MovieTutorial("data/howto_push.xml", 4, "data/movie/MoviePushing", 0) {}
};

class VanteoPopUp_HowTo_Puzzle : public VanteoPopUp_MovieTutorial {
public:
    VanteoPopUp_HowTo_Puzzle() : VanteoPopUp_MovieTutorial("data/quibly.xml", 12, "data/movie/Movie", 1) {}
};

// The four battle movies, one shown at a time.
class VanteoPopUp_Video : public VanteoPopUp {
public:
    static constexpr const char* kLayout = "data/video.xml";
    static constexpr int kVideos = 4;

    ~VanteoPopUp_Video() override;

    // Destroys the window and frees every movie and sound, without a message.
    void Close() override;
    int Open() override;
    void Update(float seconds) override;
    void BindEvents() override;
    // Loads the four movies and shows the first; the owner calls it after an Open that returned 1.
    void LoadMovies();

    template <int N>
    void OnSelectVideo(kv::EventArgs&)
    {
        SelectVideo(N);
    }
    void OnClose(kv::EventArgs& args);
    void OnDrawVideo(kv::EventArgs& args);

    const MovieSlot& GetSlot(int index) const { return m_Slots[static_cast<size_t>(index)]; }

    // 0..3, or -1 when none is shown.
    int32_t m_nCurrentVideo = -1;

private:
    void SelectVideo(int n);
    // The chosen video's sound plays and its button is disabled; the others are enabled.
    void SetButtons(bool rewindOthers);
    void FreeSlots();

    std::array<MovieSlot, kVideos> m_Slots{};
};
