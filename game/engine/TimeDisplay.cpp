// The two-number time display of the game scenes.
#include "engine/TimeDisplay.h"

#include "engine/SkinTable.h"

#include "kv/KVLabel.h"
#include "kv/KVWnd.h"

#include <helvane/Log.h>

#include <string>

namespace {

constexpr int kFirstNumberStyleEntry = 27;
const wchar_t* const kDigitWindowNames[4] = {L"Pic_num_time_1", L"Pic_num_time_2", L"Pic_num_time_3",
                                             L"Pic_num_time_4"};

} // namespace

void TimeNumberPair::Bind(kv::KVWnd* window, int numberRow)
{
    m_pWindow = window;
    for (int i = 0; i < 4; ++i)
        m_pDigitWindows[i] = window ? window->FindWindow(kDigitWindowNames[i]) : nullptr;

    std::string file;
    int entry = kFirstNumberStyleEntry + numberRow;
    if (entry < 0 || entry >= CSkinTable::kKeyCount) {
        DFLog(L"참조할수 없는 인덱스 입니다. %d", entry);
    } else if (const char* name = SkinTable.GetSkinString(entry)) {
        file = name;
    }
    // The digits take the colour of the first digit window when it is a label; another kind of
    // window has no text colour, and the digits keep their grey.
    if (auto* label = dynamic_cast<kv::KVLabel*>(m_pDigitWindows[0]))
        m_dwColour = label->colour;
    for (int i = 0; i < 4; ++i)
        if (m_pDigitWindows[i])
            m_Players[i].Load(file);
}

void TimeNumberPair::Update(float seconds)
{
    const int numbers[2] = {m_nFirst, m_nSecond};
    for (int n = 0; n < 2; ++n) {
        const int digits[2] = {numbers[n] % 100 / 10, numbers[n] % 10};
        for (int d = 0; d < 2; ++d) {
            int slot = n * 2 + d;
            if (!m_pDigitWindows[slot])
                continue;
            m_Players[slot].Play(std::to_string(digits[d]));
            m_Players[slot].Update(seconds);
        }
    }
}

void TimeNumberPair::Draw()
{
    // First tens, second tens, first ones, second ones.
    static const int kOrder[4] = {0, 2, 1, 3};
    for (int slot : kOrder) {
        kv::KVWnd* window = m_pDigitWindows[slot];
        if (!window || !window->IsShownRecursive())
            continue;
        kv::KVPoint at = window->GetAbsolutePosition();
        D3DXMATRIX world;
        D3DXMatrixTranslation(&world, at.x, at.y, 0.0f);
        m_Players[slot].Draw(&world, m_dwColour, 0.0f, nullptr);
    }
}
