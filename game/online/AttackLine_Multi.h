// The attack lane of an online battle, run on both machines of a match. Every unit and mine
// carries a NetBlockId by which both machines name the same object. The meeting of the two
// front units and a unit passing a mine are only reported as scene messages; the scene resolves
// them through the operations below, which look the objects up by id: the host resolves them
// first, the guest resolves the same events when the host's messages arrive and then takes the
// host's powers.
#pragma once

#include "lane/AttackLine.h"

class AttackLine_Multi : public AttackLine {
public:
    explicit AttackLine_Multi(const LaneContext& context) : AttackLine(context) {}

    // Whether this machine hosts the match: the host detects meetings and reports the powers
    // after a clash. The scene sets it at each entry.
    void SetHost(bool host) { m_bHost = host; }
    bool IsHost() const { return m_bHost; }

    // The opponent's units are searched first, then the own units; null when neither has it.
    static AttackLineBlock* FindBlock(AttackLine& lane, const NetBlockId& id);
    static AttackLineMine* FindBarr(AttackLine& lane, const NetBlockId& id);
    // Takes the unit out of whichever list holds it and deletes it; a unit in neither only logs.
    static void RemoveBlock(AttackLine& lane, AttackLineBlock* unit);
    static void RemoveBarr(AttackLine& lane, AttackLineMine* mine);

    // Resolves a meeting of the own unit `ownId` and the opponent unit `enemyId`.
    static void OnCollisionBlockToBlock(AttackLine_Multi& lane, const NetBlockId& ownId, const NetBlockId& enemyId);
    // Resolves the unit `unitId` passing the mine `mineId`.
    static void OnCollisionBlockToBarr(const NetBlockId& unitId, const NetBlockId& mineId, AttackLine_Multi& lane);
    // Sets a unit's power; 0 removes it at once.
    static void ChangeBlockCount(const NetBlockId& unitId, int power, AttackLine_Multi& lane);

protected:
    void MovePlayerLane(float seconds) override;
    void ResolveClash(float seconds) override;
    void CheckMines(float seconds) override;

private:
    bool m_bHost = false;
};
