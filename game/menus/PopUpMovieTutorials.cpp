#include "menus/PopUpMovieTutorials.h"

#include "data/Options.h"
#include "engine/MovieTexture.h"
#include "engine/Sound.h"
#include "engine/SoundServer.h"
#include "menus/PopUpButtons.h"
#include "kv/KVWnd.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <helvane/Log.h>
#include <lumenkit/Direct3DDevice.h>
#include <lumenkit/Renderer.h>
#include <win32/Text.h>

#include <cwchar>

namespace {

class GameMovieServices final : public MoviePopUpServices {};

MoviePopUpServices* g_services = nullptr;

// The seconds of one frame of an open movie.
float FrameSeconds(const MovieTexture& movie)
{
    return static_cast<float>(movie.m_nPeriodMs) / 1000.0f;
}

std::wstring Numbered(const wchar_t* format, int n)
{
    wchar_t text[64];
    std::swprintf(text, 64, format, n);
    return text;
}

} // namespace

// The game's services.

MovieTexture* MoviePopUpServices::OpenMovie(const std::string& path)
{
    auto* movie = new MovieTexture();
    if (movie->Open(CDirect3DDevice::GetSingleton().m_pd3dDevice, path.c_str()) == 1)
        return movie;
    movie->Close();
    delete movie;
    return nullptr;
}

int MoviePopUpServices::LoadSound(const std::string& path)
{
    return DXSoundServer::GetSingleton().LoadSound(platform::Widen(path).c_str(), kSoundControlVolume, true);
}

void MoviePopUpServices::PlaySound(int id)
{
    DXSoundServer::GetSingleton().Play(id);
}

void MoviePopUpServices::ResetSound(int id)
{
    DXSoundServer::GetSingleton().Stop(id);
}

void MoviePopUpServices::UnloadSound(int id)
{
    DXSoundServer::GetSingleton().UnloadSound(id);
}

void MoviePopUpServices::SeekToStart(MovieTexture& movie)
{
    if (!movie.m_pFormat)
        return;
    av_seek_frame(movie.m_pFormat, movie.m_nVideoStream, 0, AVSEEK_FLAG_BACKWARD);
    // Pictures the decoder still holds belong to the old position.
    if (movie.m_pCodecContext)
        avcodec_flush_buffers(movie.m_pCodecContext);
}

void MoviePopUpServices::Draw(MovieTexture& movie, float x, float y, uint8_t alpha)
{
    if (!g_pRenderer || !movie.m_pTexture)
        return;
    D3DXVECTOR3 position(x, y, 0.0f);
    g_pRenderer->DrawSprite(movie.m_pTexture, nullptr, nullptr, &position, D3DCOLOR_ARGB(alpha, 255, 255, 255), nullptr);
}

void SetMovieServices(MoviePopUpServices* services)
{
    g_services = services;
}

MoviePopUpServices& MovieServices()
{
    static GameMovieServices game;
    return g_services ? *g_services : game;
}

uint8_t MovieAlpha(float alpha)
{
    if (alpha >= 1.0f)
        return 255;
    if (!(alpha > 0.0f))
        return 0;
    return static_cast<uint8_t>(static_cast<int>(alpha * 255.0f + 0.5f));
}

// A movie slot.

void MovieSlot::Load(const std::string& moviePath, const std::string& soundPath)
{
    movie = MovieServices().OpenMovie(moviePath);
    soundId = MovieServices().LoadSound(soundPath);
    playedSeconds = 0.0f;
}

void MovieSlot::DropMovie()
{
    if (!movie)
        return;
    movie->Close();
    delete movie;
    movie = nullptr;
}

void MovieSlot::Free()
{
    DropMovie();
    if (soundId != -1)
        MovieServices().UnloadSound(soundId);
    soundId = -1;
}

void MovieSlot::PlaySound()
{
    MovieServices().PlaySound(soundId);
}

void MovieSlot::StopSound()
{
    MovieServices().ResetSound(soundId);
}

void MovieSlot::Rewind()
{
    if (!movie)
        return;
    MovieServices().SeekToStart(*movie);
    movie->m_bPlaying = 1;
    playedSeconds = 0.0f;
}

void MovieSlot::Run(float seconds)
{
    if (!movie)
        return;
    movie->Update(seconds);
    playedSeconds += seconds;
    if (movie->m_bPlaying)
        return;
    // A movie that ended before its first picture was due holds none: looping it would only
    // restart its sound every frame.
    if (playedSeconds < 1.5f * FrameSeconds(*movie)) {
        DFLog(LOG_WARN, L"a tutorial movie ended before its first picture; its page shows without it");
        DropMovie();
        return;
    }
    StopSound();
    PlaySound();
    Rewind();
}

void MovieSlot::Draw(kv::KVWnd* picture, kv::EventArgs& args)
{
    // The picture's own image is never drawn: the movie takes its place.
    args.handled = true;
    if (!picture || !movie)
        return;
    kv::KVPoint at = picture->GetAbsolutePosition();
    MovieServices().Draw(*movie, at.x, at.y, MovieAlpha(picture->GetEffectiveAlpha()));
}

// The paged tutorials.

VanteoPopUp_MovieTutorial::VanteoPopUp_MovieTutorial(const char* layout, int pages, const char* movieBase,
                                                     int firstNumber)
    : m_pLayout(layout), m_nPages(pages), m_pMovieBase(movieBase), m_nFirstNumber(firstNumber),
      m_Slots(static_cast<size_t>(pages))
{
}

VanteoPopUp_MovieTutorial::~VanteoPopUp_MovieTutorial()
{
    // The sounds and the window belong to the sound server and the window system.
    for (MovieSlot& slot : m_Slots)
        slot.DropMovie();
}

int VanteoPopUp_MovieTutorial::Open()
{
    if (!OpenLayout(m_pLayout, nullptr))
        return 0;
    m_nCurrentPage = 1;
    ShowPage();
    for (int page = 1; page <= m_nPages; ++page) {
        const int number = page - 1 + m_nFirstNumber;
        const std::string base = m_pMovieBase + std::to_string(number);
        m_Slots[static_cast<size_t>(page - 1)].Load(base + ".avi", base + ".ogg");
    }
    m_Slots[0].PlaySound();
    return 1;
}

void VanteoPopUp_MovieTutorial::BindEvents()
{
    Bind(L"Anibtn_tutorial_next", &VanteoPopUp_MovieTutorial::OnNext);
    Bind(L"Anibtn_tutorial_close", &VanteoPopUp_MovieTutorial::OnClose);
    Bind(L"Picture_tutorial_video", &VanteoPopUp_MovieTutorial::OnDrawMovie, kv::EventDraw);
}

void VanteoPopUp_MovieTutorial::ShowPage()
{
    PlayScene(Numbered(L"quibly_%d", m_nCurrentPage));
    SetLabel(L"Label_tutorial_page", std::to_wstring(m_nCurrentPage));
}

void VanteoPopUp_MovieTutorial::OnNext(kv::EventArgs&)
{
    // The page never passes the last one, whatever reaches this handler.
    if (!IsOpen() || m_nCurrentPage < 1 || m_nCurrentPage >= m_nPages)
        return;
    m_Slots[static_cast<size_t>(m_nCurrentPage - 1)].StopSound();
    ++m_nCurrentPage;
    ShowPage();
    m_Slots[static_cast<size_t>(m_nCurrentPage - 1)].PlaySound();
    if (m_nCurrentPage == m_nPages) {
        DisableButton(Find(L"Anibtn_tutorial_next"));
        OnLastPage();
    }
}

void VanteoPopUp_MovieTutorial::OnLastPage()
{
    EnableClose();
    SaveGameConfig();
}

void VanteoPopUp_MovieTutorial::EnableClose()
{
    ResetAndEnableButton(Find(L"Anibtn_tutorial_close"));
}

void VanteoPopUp_MovieTutorial::OnClose(kv::EventArgs&)
{
    ButtonStep(L"quibly_out");
}

void VanteoPopUp_MovieTutorial::OnDrawMovie(kv::EventArgs& args)
{
    args.handled = true;
    if (m_nCurrentPage < 1 || m_nCurrentPage > m_nPages)
        return;
    m_Slots[static_cast<size_t>(m_nCurrentPage - 1)].Draw(Find(L"Picture_tutorial_video"), args);
}

void VanteoPopUp_MovieTutorial::FreeSlots()
{
    for (MovieSlot& slot : m_Slots)
        slot.Free();
}

void VanteoPopUp_MovieTutorial::Close()
{
    DestroyWindow();
    FreeSlots();
    m_nCurrentPage = 0;
}

void VanteoPopUp_MovieTutorial::Update(float seconds)
{
    if (ClosingDone()) {
        Close();
        Post(MSG_MOVIE_TUTORIAL_CLOSED);
    }
    if (m_nCurrentPage > 0)
        m_Slots[static_cast<size_t>(m_nCurrentPage - 1)].Run(seconds);
    if (IsOpen() && IsFree() &&
        (KeyPressed(kPopUpKeyBackspace) || KeyPressed(kPopUpKeyEscape) || KeyPressed(kPopUpKeyEnter))) {
        kv::EventArgs args;
        OnClose(args);
    }
}

int VanteoPopUp_Quibly::Open()
{
    if (!VanteoPopUp_MovieTutorial::Open())
        return 0;
    if (!IsFree())
        DisableButton(Find(L"Anibtn_tutorial_close"));
    return 1;
}

bool VanteoPopUp_Quibly::IsFree() const
{
    return GameConfig.showTutorial != 0;
}

void VanteoPopUp_Quibly::OnLastPage()
{
    if (IsFree())
        return;
    EnableClose();
    GameConfig.showTutorial = 1;
    SaveGameConfig();
}

// The battle videos.

VanteoPopUp_Video::~VanteoPopUp_Video()
{
    for (MovieSlot& slot : m_Slots)
        slot.DropMovie();
}

int VanteoPopUp_Video::Open()
{
    return OpenLayout(kLayout, L"video_in");
}

void VanteoPopUp_Video::BindEvents()
{
    Bind(L"Anibtn_popup_ok", &VanteoPopUp_Video::OnClose);
    Bind(L"Anibtn_popup_videoselect_1", &VanteoPopUp_Video::OnSelectVideo<1>);
    Bind(L"Anibtn_popup_videoselect_2", &VanteoPopUp_Video::OnSelectVideo<2>);
    Bind(L"Anibtn_popup_videoselect_3", &VanteoPopUp_Video::OnSelectVideo<3>);
    Bind(L"Anibtn_popup_videoselect_4", &VanteoPopUp_Video::OnSelectVideo<4>);
    Bind(L"Picture_popup_video", &VanteoPopUp_Video::OnDrawVideo, kv::EventDraw);
}

void VanteoPopUp_Video::LoadMovies()
{
    if (!IsOpen())
        return;
    FreeSlots();
    for (int i = 0; i < kVideos; ++i) {
        const std::string base = "data/movie/MovieBattle" + std::to_string(i);
        m_Slots[static_cast<size_t>(i)].Load(base + ".avi", base + ".ogg");
    }
    m_nCurrentVideo = 0;
    SetButtons(true);
}

void VanteoPopUp_Video::SetButtons(bool rewindOthers)
{
    for (int k = 1; k <= kVideos; ++k) {
        kv::KVWnd* button = Find(Numbered(L"Anibtn_popup_videoselect_%d", k).c_str());
        MovieSlot& slot = m_Slots[static_cast<size_t>(k - 1)];
        if (k - 1 == m_nCurrentVideo) {
            slot.PlaySound();
            DisableButton(button);
        } else {
            if (rewindOthers)
                slot.Rewind();
            ResetAndEnableButton(button);
        }
    }
}

void VanteoPopUp_Video::SelectVideo(int n)
{
    if (!IsOpen() || n < 1 || n > kVideos)
        return;
    if (m_nCurrentVideo >= 0) {
        MovieSlot& shown = m_Slots[static_cast<size_t>(m_nCurrentVideo)];
        shown.Rewind();
        shown.StopSound();
    }
    m_nCurrentVideo = n - 1;
    SetButtons(false);
}

void VanteoPopUp_Video::OnClose(kv::EventArgs&)
{
    ButtonStep(L"video_out");
}

void VanteoPopUp_Video::OnDrawVideo(kv::EventArgs& args)
{
    args.handled = true;
    if (m_nCurrentVideo < 0)
        return;
    m_Slots[static_cast<size_t>(m_nCurrentVideo)].Draw(Find(L"Picture_popup_video"), args);
}

void VanteoPopUp_Video::FreeSlots()
{
    for (MovieSlot& slot : m_Slots)
        slot.Free();
}

void VanteoPopUp_Video::Close()
{
    DestroyWindow();
    FreeSlots();
    m_nCurrentVideo = -1;
}

void VanteoPopUp_Video::Update(float seconds)
{
    if (ClosingDone()) {
        Close();
        Post(MSG_VIDEO_CLOSED);
    }
    if (m_nCurrentVideo >= 0)
        m_Slots[static_cast<size_t>(m_nCurrentVideo)].Run(seconds);
    if (IsOpen() && (KeyPressed(kPopUpKeyBackspace) || KeyPressed(kPopUpKeyEscape) || KeyPressed(kPopUpKeyEnter))) {
        kv::EventArgs args;
        OnClose(args);
    }
}
