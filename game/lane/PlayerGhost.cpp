#include "lane/PlayerGhost.h"

#include "data/GameDataXml.h"
#include "board/GameMessages.h"
#include "engine/FontManager.h"
#include "engine/SkinTable.h"
#include "engine/SoundServer.h"
#include "engine/SoundTable.h"
#include "kv/KVWnd.h"

#include <helvane/Log.h>
#include <helvane/ResourceFileManager.h>
#include <win32/Text.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>

namespace {

constexpr int kSkinEnemyBullet = 55;      // "BattleEnemybullet"
constexpr int kDigitStyleResourceBtn = 1; // "Num_Battle_ResourceBtn"
constexpr int kMaxGhostBullets = 400;
constexpr double kMissingTime = 1000000.0;
// The range the game uses for a replay's counts and powers: a recorded battle holds a few
// hundred. Larger values in a file, and hit points beyond Player_Ghost::kMaxHp, are held at
// these limits as they are read.
constexpr int kMaxGhostValue = 100000;
// The rival's spoken line stands in the open sky between the two towers, under the names and the
// clock of the top bar and above the attack lane, so it covers neither.
constexpr int kMessageTop = 96;
constexpr const char* kPreviewScenes[5] = {"bullet_1", "bullet_2", "bullet_3", "bullet_star", "bullet_stone"};

double TimeOf(const TiXmlElement* rep)
{
    double t = kMissingTime;
    if (!gamedata::QueryRealAttribute(rep, "T", -kMissingTime, kMissingTime, &t))
        t = kMissingTime;
    return t;
}

bool IntKey(const TiXmlElement* rep, const char* format, int i, int* value)
{
    char key[8];
    std::snprintf(key, sizeof key, format, i);
    return gamedata::QueryIntAttribute(rep, key, -kMaxGhostValue, kMaxGhostValue, value);
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// A text of at most 127 bytes, cut at a character boundary, for the 128-byte message fields.
std::string FieldText(const char* text)
{
    std::string s = text ? text : "";
    if (s.size() < kGhostMessageBytes)
        return s;
    size_t cut = kGhostMessageBytes - 1;
    while (cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80)
        --cut;
    return s.substr(0, cut);
}

// A ghost's sound is a plain file name under the data folder: not empty, not absolute, no ".."
// part and no drive or backslash, so a replay file cannot make the game open any other file.
bool IsPlainDataName(const char* name)
{
    if (!name || !*name || name[0] == '/' || std::strchr(name, '\\') || std::strchr(name, ':'))
        return false;
    std::string_view rest(name);
    while (!rest.empty()) {
        const size_t slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        if (part.empty() || part == "..")
            return false;
        if (slash == std::string_view::npos)
            break;
        rest.remove_prefix(slash + 1);
    }
    return std::strlen(name) < kGhostMessageBytes;
}

} // namespace

bool ResetGhostFile(const char* path)
{
    TiXmlDocument doc;
    if (!path || !gamedata::LoadXmlFile(kInitialBattleGhostFile, doc))
        return false;
    return gamedata::SaveXmlFile(path, doc);
}

Player_Ghost::Player_Ghost(IMessageSink& messages) : m_pMessages(&messages) {}

Player_Ghost::~Player_Ghost() = default;

void Player_Ghost::Post(int32_t id, const PayloadWriter& payload)
{
    payload.PostTo(*m_pMessages, id);
}

void Player_Ghost::Attack(int flag, int kind, int power)
{
    Post(MSG_ENEMY_ATTACK, PayloadWriter().I32(flag).I32(kind).I32(power));
}

const TiXmlElement* Player_Ghost::FirstRep() const
{
    const TiXmlElement* root = m_pDocument ? m_pDocument->FirstChildElement("Replay") : nullptr;
    return root ? root->FirstChildElement("Rep") : nullptr;
}

bool Player_Ghost::Load(const char* fileName)
{
    auto doc = std::make_unique<TiXmlDocument>();
    bool loaded = fileName && gamedata::LoadXmlFile(fileName, *doc);
    if (!loaded && fileName) {
        const wchar_t* found = CResourceFileManager::GetSingleton().GetFullPathNameW(platform::Widen(fileName).c_str(), kResourceData);
        loaded = found && gamedata::LoadXmlFile(platform::Narrow(found).c_str(), *doc);
    }
    const TiXmlElement* root = loaded ? doc->FirstChildElement("Replay") : nullptr;
    if (!root) {
        DFLog(LOG_WARN, L"Ghost: %hs refused (%hs)", fileName ? fileName : "(none)",
              loaded ? "no Replay root" : "not readable XML");
        return false;
    }
    m_pDocument = std::move(doc);
    const char* loop = root->Attribute("loop");
    m_bLoop = !loop || Lower(loop) == "true";
    int hp = 1000;
    gamedata::QueryIntAttribute(root, "HP", 0, kMaxHp, &hp);
    m_fRealHp = m_fShownHp = static_cast<float>(hp);
    m_nUserHp = 1000;
    gamedata::QueryIntAttribute(root, "UserHP", 0, kMaxHp, &m_nUserHp);
    for (const TiXmlElement* rep = FirstRep(); rep; rep = rep->NextSiblingElement("Rep")) {
        m_fLength = static_cast<float>(TimeOf(rep));
        const char* sound = rep->Attribute("Sound");
        if (!sound || m_Sounds.count(sound))
            continue;
        if (!IsPlainDataName(sound)) {
            DFLog(LOG_WARN, L"Ghost: sound name refused in %hs", fileName);
            continue;
        }
        int id = -1;
        if (DXSoundServer* server = DXSoundServer::GetSingletonPtr())
            id = server->LoadSound(platform::Widen(std::string("data/") + sound).c_str(), 1, false);
        m_Sounds[sound] = id;
    }
    m_pCurrent = FirstRep();
    ShowNextAttacks();
    return true;
}

void Player_Ghost::Rewind()
{
    m_pCurrent = FirstRep();
    m_dClock = 0;
    m_Message.clear();
    m_fMessageTime = 3.0f;
    m_bStop = 0;
    ShowNextAttacks();
}

void Player_Ghost::PlayDueEvents()
{
    // One wrap at most per call: a replay whose times never pass the loop's restart clock would
    // otherwise go round for ever within one frame.
    bool wrapped = false;
    while (m_pCurrent && m_dClock > TimeOf(m_pCurrent)) {
        const TiXmlElement* rep = m_pCurrent;
        for (int i = 0; i < 5; ++i) {
            int value = 0;
            if (IntKey(rep, "B%d", i, &value)) {
                // Only the three colours have a bullet total; other bullet keys are ignored.
                if (i < kColours) {
                    m_nBullets[i] = gamedata::SaturatingAdd(m_nBullets[i], value);
                    if (m_nBullets[i] > kMaxGhostBullets) {
                        const int excess = m_nBullets[i] - kMaxGhostBullets;
                        m_nBullets[i] = kMaxGhostBullets;
                        Attack(0, i, excess);
                        break;
                    }
                }
            }
            if (IntKey(rep, "S%d", i, &value)) {
                Post(MSG_GHOST_COMMAND, PayloadWriter().I32(i).I32(value));
                break;
            }
            if (IntKey(rep, "SA%d", i, &value)) {
                Attack(1, i, value);
                break;
            }
            if (IntKey(rep, "DA%d", i, &value)) {
                Attack(0, i, value);
                ShowNextAttacks();
                break;
            }
            if (IntKey(rep, "A%d", i, &value)) {
                if (i < kColours)
                    m_nBullets[i] = 0;
                Attack(0, i, value);
                ShowNextAttacks();
                break;
            }
        }
        if (const char* msg = rep->Attribute("Msg")) {
            m_Message = FieldText(msg);
            m_fMessageTime = 3.0f;
            Post(MSG_GHOST_TEXT, PayloadWriter().Text(m_Message, kGhostMessageBytes));
        }
        if (const char* sound = rep->Attribute("Sound"); sound && m_Sounds.count(sound)) {
            const int id = m_Sounds[sound];
            if (DXSoundServer* server = DXSoundServer::GetSingletonPtr(); server && id >= 0 && SoundTable.m_effectsEnabled) {
                server->Stop(id);
                server->Play(id);
            }
            Post(MSG_GHOST_SOUND, PayloadWriter().Text(FieldText(sound), kGhostMessageBytes));
        }
        m_pCurrent = rep->NextSiblingElement("Rep");
        if (!m_pCurrent) {
            if (m_bLoop) {
                m_pCurrent = FirstRep();
                m_dClock = -10.0;
                if (wrapped)
                    return;
                wrapped = true;
            } else {
                Post(MSG_GAME_WIN, PayloadWriter());
                return;
            }
        }
    }
}

void Player_Ghost::ShowNextAttacks()
{
    for (Preview& slot : m_Previews)
        slot.shown = 0;
    const TiXmlElement* first = FirstRep();
    const TiXmlElement* rep = m_pCurrent;
    if (!rep)
        return;
    bool skip = !(m_dClock < TimeOf(rep));
    size_t filled = 0;
    bool foundInPass = false;
    while (filled < m_Previews.size()) {
        int kind = -1, power = 0;
        for (int j = 0; j < 5 && kind < 0; ++j) {
            if (IntKey(rep, "DA%d", j, &power) || IntKey(rep, "A%d", j, &power))
                kind = j;
        }
        if (kind >= 0) {
            foundInPass = true;
            if (skip)
                skip = false;
            else
                m_Previews[filled++] = {kind, power, 1};
        }
        rep = rep->NextSiblingElement("Rep");
        if (!rep) {
            if (!m_bLoop)
                break;
            // A looping replay without any attack would go round for ever: nothing to show.
            if (!foundInPass && filled == 0) {
                for (Preview& slot : m_Previews)
                    slot.shown = 0;
                return;
            }
            foundInPass = false;
            rep = first;
        }
    }
    ShowPreviews();
}

void Player_Ghost::ShowPreviews()
{
    for (size_t n = 0; n < m_Previews.size(); ++n) {
        const Preview& slot = m_Previews[n];
        if (slot.shown)
            m_PreviewPlayers[n].Play(kPreviewScenes[std::clamp(slot.kind, 0, 4)]);
        if (m_PreviewNumbers[n]) {
            m_PreviewNumbers[n]->m_bVisible = slot.shown;
            m_PreviewNumbers[n]->SetValue(slot.power);
        }
    }
    if (m_dClock > 0 && m_pRoot) {
        if (kv::KVWnd* light = m_pRoot->FindWindow(L"Pic_battle_enemy_light")) {
            light->SetVisible(true);
            light->PlayUIScene(L"Pic_battle_enemy_light_Default");
        }
    }
}

void Player_Ghost::Init(kv::KVWnd* root)
{
    Player_CPU::Init(root);
    if (!root)
        return;
    const char* bullet = SkinTable.GetSkinString(kSkinEnemyBullet);
    for (size_t n = 0; n < m_PreviewPlayers.size(); ++n) {
        m_PreviewPlayers[n].Load(bullet ? bullet : "");
        const std::wstring name = L"Pic_num_enemy_bullet_" + std::to_wstring(n + 1);
        m_PreviewNumbers[n].reset();
        if (kv::KVWnd* place = root->FindWindow(name.c_str())) {
            auto display = std::make_unique<DigitDisplay>();
            const kv::KVPoint at = place->GetAbsolutePosition();
            display->Create(3, kDigitStyleResourceBtn, 0, 0, 24, 0, 0);
            display->m_fX = at.x;
            display->m_fY = at.y;
            m_PreviewNumbers[n] = std::move(display);
        }
    }
    m_AttacksHook.Hang<Player_Ghost>(root->FindWindow(L"Pic_battle_enemy"), kv::EventDraw, this,
                                     &Player_Ghost::DrawNextAttacks);
    if (kv::KVWnd* light = root->FindWindow(L"Pic_battle_enemy_light"))
        light->SetVisible(false);
}

void Player_Ghost::Update(float seconds)
{
    m_dClock += seconds;
    if (m_fMessageTime > 0) {
        m_fMessageTime -= seconds;
        if (m_fMessageTime <= 0)
            m_Message.clear();
    }
    if (!m_bStop)
        PlayDueEvents();
    UpdateGauge(seconds);
    for (AnimationPlayer& player : m_PreviewPlayers)
        player.Update(seconds);
    for (auto& number : m_PreviewNumbers)
        if (number)
            number->Update(seconds);
}

void Player_Ghost::UpdateGauge(float seconds)
{
    UpdateDisplay(seconds);
    // A replay that ends counts down instead of taking damage: its hit points read 9999.
    if (!m_bLoop && m_pNumberWindow && m_pHpNumber) {
        m_pHpNumber->SetValue(9999);
        m_pHpNumber->Update(0.0f);
    }
}

void Player_Ghost::Draw()
{
    Player_CPU::Draw();
    if (m_Message.empty())
        return;
    FTFont& fonts = FTFont::GetSingleton();
    const std::wstring text = platform::Widen(m_Message);
    const SIZE size = fonts.MeasureDefault(text.c_str());
    fonts.DrawDefault(512 - size.cx / 2, kMessageTop, 0xFFFF0000, text.c_str());
}

void Player_Ghost::DrawNextAttacks(kv::EventArgs&)
{
    if (!m_pRoot)
        return;
    for (size_t n = 0; n < m_Previews.size(); ++n) {
        const Preview& slot = m_Previews[n];
        if (!slot.shown)
            continue;
        const std::wstring name = L"Pic_battle_enemy_bullet_" + std::to_wstring(n + 1);
        kv::KVWnd* place = m_pRoot->FindWindow(name.c_str());
        if (!place)
            continue;
        float s = slot.kind >= 3 ? 1.0f : static_cast<float>(slot.power) / 100.0f;
        s = std::clamp(s, 0.084f, 1.3f);
        const kv::KVPoint at = place->GetAbsolutePosition();
        D3DXMATRIX m;
        D3DXMatrixScaling(&m, s, s, 1.0f);
        m._41 = at.x;
        m._42 = at.y;
        m_PreviewPlayers[n].Draw(&m, 0xFFFFFFFF, 0.0f, nullptr);
        if (slot.power > 0 && m_PreviewNumbers[n])
            m_PreviewNumbers[n]->Render(nullptr, 0.0f);
    }
}
