// Digit displays and the bonus text.
#include "engine/DigitDisplay.h"

#include "engine/FontManager.h"
#include "engine/SkinTable.h"
#include "engine/SoundTable.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int kFirstNumberStyleEntry = 27;
constexpr float kBaseSpeed = 10.0f;
constexpr int kSmallCountKey = 108;
constexpr int kMediumCountKey = 109;
constexpr int kLargeCountKey = 110;

void PlayFromSoundTable(int key)
{
    SoundTable.PlaySoundByKey(key, false, -1.0f);
}

DigitSoundPlayer g_soundPlayer = PlayFromSoundTable;

// The counting sound for a change of d: large, medium or small.
int CountingSound(int d, const int keys[3])
{
    if (d > 20000)
        return keys[2];
    if (d > 1000)
        return keys[1];
    return keys[0];
}

// 10, times the factor once for every decimal digit of the remaining difference.
float CountingSpeed(int difference, float factor)
{
    float speed = kBaseSpeed;
    for (int d = std::abs(difference); d > 0; d /= 10)
        speed *= factor;
    return speed;
}

std::string StyleFile(int style)
{
    const char* file = SkinTable.GetSkinString(kFirstNumberStyleEntry + style);
    return file ? file : "";
}

// Makes `count` players of the style's file, each showing "0".
AnimationPlayer* MakeDigits(int count, int style)
{
    auto* digits = new AnimationPlayer[count];
    std::string file = StyleFile(style);
    for (int i = 0; i < count; ++i) {
        digits[i].Load(file);
        digits[i].Play("0");
    }
    return digits;
}

// The shared digit update: shows trunc(shown) on the digits when it changed.
void ShowValue(AnimationPlayer* digits, int count, bool leadingZeros, float shown, int& lastValue, int& shownCount,
               float seconds)
{
    if (!digits || count <= 0)
        return;
    int value = static_cast<int>(shown);
    if (value == lastValue)
        return;
    lastValue = value;
    shownCount = 0;
    int limit = 1;
    for (int i = 0; i < count; ++i)
        limit *= 10;
    auto show = [&](AnimationPlayer& digit, const std::string& scene, bool visible) {
        digit.Play(scene);
        digit.Update(seconds);
        digit.m_bVisible = visible;
        if (visible)
            ++shownCount;
    };
    if (value > limit - 1) {
        for (int i = 0; i < count; ++i)
            show(digits[i], "9", true);
        return;
    }
    if (value == 0) {
        for (int i = 0; i < count; ++i)
            show(digits[i], "0", leadingZeros || i == count - 1);
        return;
    }
    int place = limit / 10;
    for (int i = 0; i < count; ++i, place /= 10) {
        if (value >= place)
            show(digits[i], std::to_string(value % (10 * place) / place), true);
        else if (leadingZeros)
            show(digits[i], "0", true);
        else {
            digits[i].Update(seconds);
            digits[i].m_bVisible = false;
        }
    }
}

float g_bonusCountdown = 0.0f;

// Sets the value a display counts towards (never below 0) and returns how far the shown value
// has yet to count: 0 when the target is unchanged or a display that does not count shows it at
// once.
int Retarget(int target, int& current, float& shown, bool counting)
{
    if (target == current)
        return 0;
    current = std::max(target, 0);
    if (!counting) {
        shown = static_cast<float>(current);
        return 0;
    }
    return current - static_cast<int>(shown);
}

} // namespace

void SetDigitSoundPlayer(DigitSoundPlayer player)
{
    g_soundPlayer = player ? player : PlayFromSoundTable;
}

// ---- DigitDisplay -----------------------------------------------------------------------------

DigitDisplay::~DigitDisplay()
{
    delete[] m_pDigits;
}

void DigitDisplay::Create(int count, int style, int left, int top, int right, int bottom, int alignment)
{
    delete[] m_pDigits;
    m_pDigits = nullptr;
    m_nDigitCount = std::clamp(count, 0, kMaxDigits);
    m_nStyle = style;
    m_nLeft = left;
    m_nTop = top;
    m_nRight = right;
    m_nBottom = bottom;
    m_nAlignment = alignment;
    m_nLastValue = -1;
    if (m_nDigitCount > 0)
        m_pDigits = MakeDigits(m_nDigitCount, style);
}

void DigitDisplay::SetValue(int target)
{
    int d = Retarget(target, m_nTarget, m_fShownValue, m_bCounting != 0);
    static const int kKeys[3] = {kSmallCountKey, kMediumCountKey, kLargeCountKey};
    if (d != 0 && SoundTable.m_effectsEnabled)
        g_soundPlayer(CountingSound(d, kKeys));
}

void DigitDisplay::Update(float seconds)
{
    if (m_bCounting) {
        int shown = static_cast<int>(m_fShownValue);
        if (shown != m_nTarget) {
            float step = seconds * CountingSpeed(m_nTarget - shown, 5.0f);
            float next = m_fShownValue + (m_nTarget > shown ? step : -step);
            // A step longer than one digit would carry the value past its target and back for
            // ever at low frame rates: it stops at the target instead.
            if (m_nTarget > shown ? static_cast<int>(next) > m_nTarget : static_cast<int>(next) < m_nTarget)
                next = static_cast<float>(m_nTarget);
            m_fShownValue = next;
        }
    }
    ShowValue(m_pDigits, m_nDigitCount, m_bLeadingZeros, m_fShownValue, m_nLastValue, m_nShownCount, seconds);
}

void DigitDisplay::Render(const D3DXMATRIX* matrix, float rotation)
{
    RenderDigit(matrix, rotation, -1);
}

void DigitDisplay::RenderDigit(const D3DXMATRIX* matrix, float rotation, int digit)
{
    if (!m_bVisible || !m_pDigits || m_nDigitCount <= 0)
        return;
    int w = 0, h = 0;
    m_pDigits[0].GetSize(&w, &h);
    int free = m_nRight - (m_nLeft + w * m_nShownCount + (m_nShownCount - 1) * m_nSpacing);
    float penX = m_fX;
    if (m_nAlignment == 0)
        penX += static_cast<float>(free / 2);
    else if (m_nAlignment == 2)
        penX += static_cast<float>(free);
    const char scene[2] = {static_cast<char>('0' + digit), 0};
    for (int i = 0; i < m_nDigitCount; ++i) {
        if (!m_pDigits[i].m_bVisible)
            continue;
        if (digit < 0 || m_pDigits[i].m_strScene == scene) {
            D3DXMATRIX world;
            D3DXMatrixTranslation(&world, penX, m_fY, m_fZ);
            if (matrix)
                D3DXMatrixMultiply(&world, &world, matrix);
            m_pDigits[i].Draw(&world, m_dwColour, rotation, nullptr);
        }
        penX += static_cast<float>(w + m_nSpacing);
    }
}

// ---- PlacedDigitDisplay -----------------------------------------------------------------------

PlacedDigitDisplay::~PlacedDigitDisplay()
{
    delete[] m_pDigits;
    delete[] m_pOffsets;
}

void PlacedDigitDisplay::Create(int count, int style, const Position* positions)
{
    delete[] m_pDigits;
    delete[] m_pOffsets;
    m_pDigits = nullptr;
    m_pOffsets = nullptr;
    m_nDigitCount = positions ? std::clamp(count, 0, DigitDisplay::kMaxDigits) : 0;
    m_nStyle = style;
    m_nLastValue = -1;
    if (m_nDigitCount <= 0)
        return;
    m_pDigits = MakeDigits(m_nDigitCount, style);
    m_pOffsets = new Offset[m_nDigitCount];
    for (int i = 0; i < m_nDigitCount; ++i)
        m_pOffsets[i] = Offset{positions[i].x - positions[0].x, positions[i].y - positions[0].y};
}

void PlacedDigitDisplay::SetValue(int target)
{
    int d = Retarget(target, m_nTarget, m_fShownValue, m_bCounting != 0);
    if (d > 0)
        g_soundPlayer(CountingSound(d, m_nSoundKeys));
}

void PlacedDigitDisplay::Update(float seconds)
{
    if (m_bCounting) {
        int shown = static_cast<int>(m_fShownValue);
        if (shown != m_nTarget) {
            float step = seconds * CountingSpeed(m_nTarget - shown, m_fCountingFactor);
            bool up = m_nTarget > shown;
            m_fShownValue += up ? step : -step;
            int now = static_cast<int>(m_fShownValue);
            if (up ? now >= m_nTarget : now <= m_nTarget)
                m_fShownValue = static_cast<float>(m_nTarget);
        }
    }
    ShowValue(m_pDigits, m_nDigitCount, m_bLeadingZeros, m_fShownValue, m_nLastValue, m_nShownCount, seconds);
}

void PlacedDigitDisplay::Render()
{
    if (!m_bVisible || !m_pDigits)
        return;
    for (int i = 0; i < m_nDigitCount; ++i) {
        if (!m_pDigits[i].m_bVisible)
            continue;
        D3DXMATRIX world;
        D3DXMatrixTranslation(&world, m_fX + m_pOffsets[i].dx, m_fY + m_pOffsets[i].dy, m_fZ);
        m_pDigits[i].Draw(&world, m_dwColour, 0.0f, nullptr);
    }
}

// ---- bonus text -------------------------------------------------------------------------------

void ShowBonusMessage()
{
    g_bonusCountdown = 3.0f;
}

void UpdateBonusMessage(float seconds)
{
    if (g_bonusCountdown > 0.0f)
        g_bonusCountdown -= seconds;
}

float GetBonusMessageCountdown()
{
    return g_bonusCountdown;
}

void DrawBonusMessage()
{
    if (g_bonusCountdown <= 0.0f)
        return;
    static const wchar_t* const kText = L"Unlock Achievements Bonus +100 Cube";
    FTFont& fonts = FTFont::GetSingleton();
    SIZE size = fonts.MeasureDefault(kText);
    int x = (1024 - size.cx) / 2;
    fonts.DrawDefault(x, 668, 0xFF000000, kText);
    fonts.DrawDefault(x - 2, 666, 0xFFFFFFFF, kText);
}
