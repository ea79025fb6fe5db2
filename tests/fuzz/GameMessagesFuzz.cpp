// Fuzzes the base game scene's message table with the messages a board, a replay file or the
// other player may send: any id, any length and any bytes must be refused or handled without
// reading past the message.
#include "data/Records.h"
#include "modes/VanteoBaseScene.h"
#include "engine/SceneMessage.h"

#include <cstring>
#include <vector>

namespace {

class FuzzScene : public VanteoBaseScene {
public:
    int GoToMenu() override { return 1; }
};

// The ids the table binds, and a few it does not.
constexpr int32_t kIds[] = {MSG_POPUP_YES,     MSG_POPUP_NO,       MSG_PAUSE_RESUME,      MSG_PAUSE_RETRY,
                            MSG_PAUSE_QUIT,    MSG_GO_TO_MENU,     MSG_CHANGE_SCENE,      MSG_RESTART,
                            MSG_GAME_WIN,      MSG_GAME_LOSE,      MSG_PLAY_TIME_STEP,    MSG_GHOST_TEXT,
                            MSG_GHOST_SOUND,   MSG_BIG_STONE,      MSG_BIG_STAR,          MSG_GROUP_CLEARED,
                            MSG_PLAYER_TOWER_HIT, MSG_ENEMY_ATTACK, MSG_BULLET_OVERFLOW,  MSG_GHOST_COMMAND,
                            MSG_BLOCK_CLICKED, MSG_COMBO_BREAK,    MSG_COMBO,             MSG_BOARD_LAYOUT,
                            MSG_BULLET_GAIN,   MSG_ROTATE,         MSG_MAGIC_TURN,        MSG_CHAIN,
                            MSG_DOUBLE_CHANCE, MSG_LANE_UNIT_POWER, MSG_ITEM_GET,         MSG_PUSH_BLOCK_DROP,
                            0,                 2100,               -1};

} // namespace

// Input: one byte picks the id, the rest is the payload. The message is handed over exactly as
// the scene queue does: in a record of 1024 bytes whose length counts only the filled bytes,
// so a read past the length would read the poison byte and any read past the record would be
// caught by the address sanitizer in the copy below, which is exactly as long as the message.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzScene* scene = [] {
        PlayRecord.document.Clear();
        auto* s = new FuzzScene();
        s->Enter(0, 0);
        return s;
    }();
    if (size < 1)
        return 0;
    int32_t id = kIds[data[0] % (sizeof kIds / sizeof kIds[0])];
    size_t payload = size - 1;
    if (payload > kSceneMessageDataBytes - 4)
        payload = kSceneMessageDataBytes - 4;
    std::vector<uint8_t> message(4 + payload);
    std::memcpy(message.data(), &id, 4);
    std::memcpy(message.data() + 4, data + 1, payload);
    scene->m_nState = kGameStatePlaying;
    scene->Dispatch(id, message.data(), static_cast<int>(message.size()));
    return 0;
}
