// The battle's recorded opponent. A ghost is a replay file (".gst", XML): a root "Replay" with
// "loop", "HP" and "UserHP", and timed "Rep" records of what a player did (bullets gained, units
// fired, commands, special attacks, a message, a sound). Player_Ghost plays one back on the
// opponent's side: at each record's time it posts the messages the battle turns into lane units,
// shows the opponent's next six attacks, its hit points and a short message, and ends or loops.
#pragma once

#include "board/GameSeams.h"
#include "lane/Player.h"
#include "engine/AnimationPlayer.h"
#include "engine/DigitDisplay.h"

#include <tinyxml.h>

#include <array>
#include <map>
#include <memory>
#include <string>

inline constexpr const char* kOwnBattleGhostFile = "data/PlayData/BattleYour.gst";
inline constexpr const char* kInitialBattleGhostFile = "Data/PlayData/BattleYour_Init.gst";
inline constexpr int kGhostPreviewSlots = 6;
inline constexpr int kGhostMessageBytes = 128;

// Copies the shipped self-play ghost to `path`; false when it cannot be read or written.
bool ResetGhostFile(const char* path);

class Player_Ghost : public Player_CPU {
public:
    struct Preview {
        int kind = 0;
        int power = 0;
        int shown = 0;
    };

    // `messages` receives the messages of the replayed opponent.
    explicit Player_Ghost(IMessageSink& messages);
    ~Player_Ghost() override;

    void Init(kv::KVWnd* root) override;
    void Update(float seconds) override;
    void Draw() override;
    // Back to the first record with the clock at 0, the message cleared and the stop flag off.
    virtual void Rewind();
    // Reads a replay (the path, else the name in the data folder index); false when neither
    // loads or the document has no "Replay" root.
    virtual bool Load(const char* fileName);
    // Runs every record whose time has passed.
    virtual void PlayDueEvents();
    virtual void UpdateGauge(float seconds);
    // Fills the six preview slots with the next attacks.
    virtual void ShowNextAttacks();
    void DrawNextAttacks(kv::EventArgs& args);

    const Preview& PreviewSlot(int n) const { return m_Previews[static_cast<size_t>(n)]; }

    // The most hit points a ghost or its player may have, from the file or gained in play.
    static constexpr int kMaxHp = 1000000;

    std::unique_ptr<TiXmlDocument> m_pDocument;
    const TiXmlElement* m_pCurrent = nullptr;
    double m_dClock = 0;
    int m_bLoop = 1;
    std::string m_Message;
    float m_fMessageTime = 3.0f;
    float m_fLength = 1000000.0f;
    int m_nUserHp = 1000;
    std::map<std::string, int> m_Sounds;

private:
    const TiXmlElement* FirstRep() const;
    void Post(int32_t id, const PayloadWriter& payload);
    void Attack(int flag, int kind, int power);
    void ShowPreviews();

    IMessageSink* m_pMessages;
    std::array<Preview, kGhostPreviewSlots> m_Previews{};
    std::array<AnimationPlayer, kGhostPreviewSlots> m_PreviewPlayers;
    std::array<std::unique_ptr<DigitDisplay>, kGhostPreviewSlots> m_PreviewNumbers;
    WindowHook m_AttacksHook;
};
