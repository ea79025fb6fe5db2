#include "online/VanteoNetBaseScene.h"

#include "menus/PopUp.h"
#include "online/NetGameMessages.h"
#include "online/NetGlobals.h"
#include "online/SteamClient.h"

#include <helvane/Log.h>

namespace {

// Local messages of online play.
constexpr int32_t kPushFieldChanged = 2102;
constexpr int32_t kPlayerConnected = 2113;
constexpr int32_t kPlayerRemoved = 2114;
constexpr int32_t kDisconnect = 2116;

} // namespace

VanteoNetBaseScene::VanteoNetBaseScene()
{
    SetName("VanteoNetBaseScene");
}

VanteoNetBaseScene::~VanteoNetBaseScene()
{
    VanteoBaseScene::Leave();
}

bool VanteoNetBaseScene::IsHost()
{
    return g_pSteamServer != nullptr;
}

void VanteoNetBaseScene::BindNetMessage(int32_t id, int (VanteoBaseScene::*operation)(const void*, int))
{
    AddHandlerEntry(id, nullptr, [this, id, operation](const void* data, int length) {
        // Records come from the other machine: one shorter than its id's fields is refused.
        if (!data || length < netmsg::RecordLength(id)) {
            DFLog(LOG_WARN, L"%hs: game message %d refused, %d bytes", GetName(), id, length);
            return 1;
        }
        return (this->*operation)(data, length);
    });
}

void VanteoNetBaseScene::RegisterMessageHandlers()
{
    VanteoBaseScene::RegisterMessageHandlers();
    using B = VanteoBaseScene;
    using S = VanteoNetBaseScene;
    auto op = [](auto member) { return static_cast<int (B::*)(const void*, int)>(member); };
    BindNetMessage(netmsg::kPushState, &B::OnNetSlot2);
    BindMessage(kPushFieldChanged, &B::OnNetSlot3);
    BindMessage(MSG_PUSH_BLOCK_DROP, &B::OnPushBlockDrop);
    BindMessage(MSG_POPUP_OK, op(&S::OnPopUpOk));
    for (int32_t id : {2110, 2111, 2112})
        BindMessage(id, op(&S::OnNetUnused));
    BindMessage(kPlayerRemoved, op(&S::OnNetPlayerRemoved));
    BindMessage(2115, op(&S::OnNetUnused));
    BindMessage(kDisconnect, op(&S::OnNetDisconnect));
    BindMessage(kPlayerConnected, op(&S::OnNetPlayerConnected));
    BindNetMessage(netmsg::kSpeedUp, op(&S::OnNetSpeedUp));
    BindMessage(2118, op(&S::OnNetUnused));
    BindNetMessage(netmsg::kItemDrop, op(&S::OnNetItemDrop));
    BindNetMessage(netmsg::kItemGet, op(&S::OnNetItemGet));
    BindNetMessage(netmsg::kBoardLayout, op(&S::OnNetBoardLayout));
    BindNetMessage(netmsg::kRotate, op(&S::OnNetRotate));
    BindNetMessage(netmsg::kBulletGain, op(&S::OnNetBulletGain));
    BindNetMessage(netmsg::kFireRequest, op(&S::OnNetFireRequest));
    BindMessage(2128, op(&S::OnNetUnused));
    BindNetMessage(netmsg::kAttackCreated, op(&S::OnNetAttackCreated));
    BindNetMessage(netmsg::kLaneUnitsMet, op(&S::OnNetLaneUnitsMet));
    BindNetMessage(netmsg::kLaneUnitHitMine, op(&S::OnNetLaneUnitHitMine));
    for (int32_t id : {2132, 2133})
        BindMessage(id, op(&S::OnNetUnused));
    BindNetMessage(netmsg::kBigStone, op(&S::OnNetBigStone));
    BindMessage(2135, op(&S::OnNetUnused));
    BindNetMessage(netmsg::kPushPoints, op(&S::OnNetPushPoints));
    BindNetMessage(netmsg::kLaneUnitPower, op(&S::OnNetLaneUnitPower));
    for (int32_t id : {2138, 2139})
        BindMessage(id, op(&S::OnNetUnused));
    BindNetMessage(netmsg::kPushBlockDrop, op(&S::OnNetPushBlockDrop));
}

bool VanteoNetBaseScene::SendGameMessage(int32_t id, const PayloadWriter& fields)
{
    if (!g_pSteamClient)
        return false;
    const std::vector<uint8_t> record = netmsg::Build(id, g_pSteamClient->m_steamIDLocalUser.ConvertToUint64(), fields);
    return g_pSteamClient->QueueGameMessage(record.data(), static_cast<int32_t>(record.size()));
}
