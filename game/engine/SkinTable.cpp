// The skin table (see SkinTable.h).
#include "engine/SkinTable.h"
#include <helvane/XmlText.h>

#include <helvane/Log.h>
#include <helvane/ResourceFileManager.h>
#include <win32/Files.h>
#include <win32/Text.h>

CSkinTable SkinTable;

namespace {

constexpr std::array<const char*, CSkinTable::kKeyCount> kSkinKeys = {
    "MouseCursor_Normal", "MouseCursor_SNormal", "MouseCursor_Block", "MouseCursor_Button",
    "MouseCursor_Warning", "MouseCursor_Effect", "LayoutCombo", "LayoutGalaxyMarket", "LayoutPointChallenge",
    "LayoutBattleCom", "LayoutBattleUser", "LayoutBattlePVP", "LayoutPush", "LayoutPause", "LayoutPuzzle4",
    "LayoutPuzzle6", "LayoutPuzzle8", "LayoutPuzzle10", "LayoutPuzzle12", "LayoutPuzzle14", "LayoutIQPuzzle",
    "LayoutIQPuzzleEditor", "LayoutPuzzleBack", "LayoutStageComboBack", "LayoutStagePointBack",
    "HP_Tower_User", "HP_Tower_Enemy", "Num_Battle_AttackLine", "Num_Battle_ResourceBtn",
    "Num_Common_ComboRate", "Num_Common_Point_Time", "Num_Battle_HP", "Num_Common_ComboCount",
    "Num_Common_BlockClear_Effect", "Num_Common_BlockClear_Effect_Large",
    "Num_Common_BlockClear_Effect_White", "Num_Common_BlockClear_Effect_Large_White",
    "Num_ComboChal_CurCombo", "Num_ComboChal_BestComboOn", "Num_ComboChal_BestComboOff",
    "Num_StageChal_Time", "Num_StageChal_CountDown", "Num_StageChal_Goal", "Num_StageChal_Current",
    "Num_IQ_CurTime", "Num_IQ_BestTimeOn", "Num_IQ_BestTimeOff", "Num_StageChal_StartInfo",
    "Num_Common_Combo_Effect", "Num_StageChal_BestRecord", "Num_StageChal_CurStage", "Num_PointChal_Score",
    "Num_PointChal_Time", "Num_PointChal_CountdownTime", "Num_Point_Rank", "BattleEnemybullet",
    "BattleEnemybulletDummy", "Result_Win", "Result_Lose", "Result_Clear", "Result_Fail", "Block1S",
    "Block2S", "Block3S", "BlockStarS", "BlockStoneS", "BlockBufferS", "BlockRockS", "BlockClearBouns",
    "BlockMagicTurn", "BlockEffectHero", "BlockEffectHero_Enemy", "PlayerEffectCrazy", "BlockEffectCrazy",
    "BlockEffectCrazy_Enemy", "BlockEffectMsg", "Block1L", "Block2L", "Block3L", "BlockStarL", "BlockStoneL",
    "BlockBufferL", "BlockRockL", "BlockNumColor", "BlockPoint1", "BlockPoint2", "BlockPoint3",
    "BlockPoint1R", "BlockPoint2R", "BlockPoint3R", "BlockPointNum", "BlockPointColor", "Effect_Combo",
    "Effect_SCombo", "Effect_Combo_Break", "Effect_SpeedUp", "Effect_ReadyGo", "Effect_StageReadyGo",
    "Effect_StarOver", "Effect_Combolife", "BlockPin", "BlockErase", "BlockHandRight1", "BlockHandRight2",
    "BlockHandRight3", "BlockHandBottom1", "BlockHandBottom2", "BlockHandBottom3", "AttackBlock_User_1",
    "AttackBlock_User_2", "AttackBlock_User_3", "AttackBlock_User_Star", "AttackBlock_Enemy_1",
    "AttackBlock_Enemy_2", "AttackBlock_Enemy_3", "AttackBlock_Enemy_Star", "AttackBlock_User_BlockCount",
    "AttackBlock_Enemy_BlockCount", "VanteoEffect", "AttackEffect_User", "AttackEffect_Enemy", "PointSign",
    "PointChal_BounsTime", "Item_hpPlus", "Item_hpMinus", "Item_sizeX2", "Item_sizeX4", "Item_hero",
    "Item_Stun", "AttackLine_Mine_User", "AttackLine_Mine_Enemy"};

// The skin element for `index`, or the first one when there is no such skin (index set to 0).
const TiXmlElement* FindSkin(const TiXmlDocument& doc, int& index)
{
    const TiXmlElement* first = doc.FirstChildElement("VanteoSkin");
    int position = 0;
    for (const TiXmlElement* skin = first; skin; skin = skin->NextSiblingElement("VanteoSkin"), ++position)
        if (position == index)
            return skin;
    index = 0;
    return first;
}

} // namespace

const std::array<const char*, CSkinTable::kKeyCount>& CSkinTable::KeyNames() { return kSkinKeys; }

int CSkinTable::LoadSkin(int index)
{
    std::lock_guard guard(m_lock);
    if (index == m_currentSkin)
        return 0;
    const wchar_t* found = CResourceFileManager::GetSingleton().GetFullPathNameW(platform::Widen(kSkinFile), kResourceData);
    if (!found)
        return 0;
    std::string text;
    if (!platform::ReadWholeFile(platform::Narrow(found), text, platform::kMaxXmlFileBytes))
        return 0;
    // Parse and pick the skin before anything is cleared, so a bad file leaves the names as they were.
    TiXmlDocument doc;
    ParseXmlText(doc, text);
    if (doc.Error())
        return 0;
    int chosen = index;
    const TiXmlElement* skin = FindSkin(doc, chosen);
    const TiXmlElement* common = skin ? skin->FirstChildElement("Common") : nullptr;
    if (!common) {
        DFLog(L"%s has no usable skin %d", platform::Widen(kSkinFile).c_str(), index);
        return 0;
    }
    for (int i = 0; i < kKeyCount; ++i) {
        const char* value = common->Attribute(kSkinKeys[i]);
        m_strings[i] = value ? value : "";
    }
    m_document = doc;
    m_currentSkin = chosen;
    return 1;
}

const char* CSkinTable::GetSkinString(int index) const
{
    if (index < 0 || index >= kKeyCount) {
        DFLog(L"참조할수 없는 인덱스 입니다. %d", index);
        return nullptr;
    }
    std::lock_guard guard(m_lock);
    return m_strings[index].c_str();
}
