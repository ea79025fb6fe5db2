// The UI framework's platform interface for the game, over the sound server and the fonts.
#include "engine/KVSVInterface.h"

#include "engine/FontManager.h"
#include "engine/SoundServer.h"

#include <helvane/Log.h>

namespace {

constexpr int kDefaultFace = 0;

} // namespace

std::map<std::wstring, int> KVSVInterface::s_FaceTable;

void KVSVInterface::Init(HWND window)
{
    m_hWnd = window;
    s_FaceTable = {
        {L"켈모르_시사체", 0}, {L"KelmorSoft_logo", 1}, {L"KelmorSoft", 2}, {L"나눔고딕", 3}, {L"나눔고딕 ExtraBold", 4},
    };
}

int KVSVInterface::FaceNumber(const std::wstring& faceName)
{
    auto found = s_FaceTable.find(faceName);
    return found == s_FaceTable.end() ? -1 : found->second;
}

KVSVInterface::FaceFont KVSVInterface::FontOf(int faceNumber)
{
    switch (faceNumber) {
    case 1: return {L"MainUI40", 0};
    case 3: return {L"MainUIFix", 14};
    case 4: return {L"MainUI", 9};
    default: return {L"MainUI", 14};
    }
}

void KVSVInterface::PlaySound(const std::wstring& name)
{
    // Layouts write "0" where a button has no sound.
    if (name.empty() || name == L"0")
        return;
    // The sound is played under the server's list lock: a sound-set switch on the scene loader
    // thread may unload it the moment the lock is let go.
    DXSoundServer& server = DXSoundServer::GetSingleton();
    if (!server.Play(server.LoadSound(name.c_str(), 1, true)))
        DFLog(L"%s UI 사운드 파일이 없습니다.", name.c_str());
}

void KVSVInterface::DrawText(const kv::KVTextStyle& style, int32_t x, int32_t y, const std::wstring& text)
{
    FTFont& fonts = FTFont::GetSingleton();
    const int passes = style.style == kv::KVTextStyle::kBold ? 2 : 1;
    const int face = FaceNumber(style.faceName);
    for (int pass = 0; pass < passes; ++pass) {
        if (face == kDefaultFace) {
            fonts.DrawDefault(x + pass, y, style.colour, text.c_str());
        } else {
            FaceFont font = FontOf(face);
            fonts.DrawText(font.face, font.size, x + pass, y, style.colour, 0, 0, text.c_str());
        }
    }
}

kv::KVSize KVSVInterface::MeasureText(const std::wstring& faceName, const std::wstring& text)
{
    FTFont& fonts = FTFont::GetSingleton();
    const int face = FaceNumber(faceName);
    SIZE size;
    if (face == kDefaultFace) {
        size = fonts.MeasureDefault(text.c_str());
    } else {
        FaceFont font = FontOf(face);
        size = fonts.MeasureText(font.face, font.size, text.c_str());
    }
    return kv::KVSize{size.cx, size.cy};
}

std::wstring KVSVInterface::GetDataPath(bool forWriting)
{
    return forWriting ? std::wstring() : std::wstring(L"data/");
}

kv::KVSize KVSVInterface::GetScreenSize()
{
    return kv::KVSize{1024, 768};
}
