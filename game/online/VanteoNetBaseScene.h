// The common base of the two online match scenes (battle and push). It extends the message table
// of the mode scenes with the game messages that the two machines exchange (ids 2100 to 2140)
// and the local messages of online play, each bound to one operation the match scenes override;
// every operation here does nothing. A record from the other machine reaches its operation only
// when it is long enough for its id's fields; its fields are read at fixed offsets from the id
// word (4: the sender's platform id, 12: the fields).
#pragma once

#include "board/VanteoBaseScene.h"

class PayloadWriter;

class VanteoNetBaseScene : public VanteoBaseScene {
public:
    VanteoNetBaseScene();
    ~VanteoNetBaseScene() override;

    // The mode scenes' table, then the online ids.
    void RegisterMessageHandlers() override;

    // Whether this machine hosts the match: it runs the game server.
    static bool IsHost();

    // Local messages of online play.
    virtual int OnPopUpOk(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnNetPlayerRemoved(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnNetDisconnect(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnNetPlayerConnected(const void* data, int length) { return DefaultHandler(data, length); }
    // Game messages from the other machine.
    virtual int OnNetSpeedUp(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnNetItemDrop(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnNetItemGet(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnNetBoardLayout(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnNetRotate(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnNetBulletGain(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnNetFireRequest(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnNetAttackCreated(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnNetLaneUnitsMet(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnNetLaneUnitHitMine(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnNetBigStone(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnNetPushPoints(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnNetLaneUnitPower(const void* data, int length) { return DefaultHandler(data, length); }
    virtual int OnNetPushBlockDrop(const void* data, int length) { return DefaultHandler(data, length); }
    // The ids of the table that nobody sends.
    virtual int OnNetUnused(const void* data, int length) { return DefaultHandler(data, length); }

protected:
    // Binds a game message: the record must hold its id's whole length.
    void BindNetMessage(int32_t id, int (VanteoBaseScene::*operation)(const void*, int));
    // Queues a game message for the next flush of the platform client, with the local player's
    // platform id as the sender; false without a client or when the client refuses it.
    virtual bool SendGameMessage(int32_t id, const PayloadWriter& fields);
};
