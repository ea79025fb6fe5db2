// The menu unlock table (see UnlockInfo.h).
#include "data/UnlockInfo.h"
#include "data/GameDataXml.h"

#include <helvane/Log.h>

#include <array>
#include <cstring>

namespace {

constexpr const char* kGroupNames[UNLOCK_GROUP_COUNT] = {"Puzzle", "Battle", "Push", "IQ",
                                                          "Multi", "BattleGeek", "PushGeek"};

struct UnlockTable {
    std::array<std::vector<std::unique_ptr<UnlockInfo>>, UNLOCK_GROUP_COUNT> groups;
    bool loaded = false;
};

UnlockTable g_table;

bool ValidGroup(int group) { return group >= 0 && group < UNLOCK_GROUP_COUNT; }

std::unique_ptr<UnlockInfo> ReadEntry(const TiXmlElement* element, int group)
{
    const char* btnName = element->Attribute("BtnName");
    const char* unlockPic = element->Attribute("UnlockPic");
    const char* cubePic = element->Attribute("CubePic");
    if (!btnName || !unlockPic || !cubePic)
        return nullptr;
    auto info = std::make_unique<UnlockInfo>();
    info->group = group;
    gamedata::CopyText(info->btnName, sizeof info->btnName, btnName);
    gamedata::CopyText(info->unlockPic, sizeof info->unlockPic, unlockPic);
    gamedata::CopyText(info->cubePic, sizeof info->cubePic, cubePic);
    info->cube = gamedata::IntAttribute(element, "Cube", 100);
    if (info->cube < 0) {
        // A negative price would pay the player for a purchase.
        DFLog(LOG_WARN, L"Unlock menu: %hs has a negative price (%d); it is taken as 0", btnName, info->cube);
        info->cube = 0;
    }
    info->isUnlock = gamedata::IntAttribute(element, "IsUnlock", 0);
    return info;
}

template <typename Match>
UnlockInfo* FindInGroup(int group, Match match)
{
    if (!ValidGroup(group))
        return nullptr;
    for (auto& info : g_table.groups[group])
        if (match(*info))
            return info.get();
    return nullptr;
}

} // namespace

int LoadUnlockMenu()
{
    if (g_table.loaded)
        return 0;
    TiXmlDocument doc;
    if (!gamedata::LoadXmlFile(kUnlockMenuFile, doc)) {
        DFLog(L"Data/PlayData/QuiblyUnlockMenu.xml Config 파일이 없습니다.");
        return 0;
    }
    const TiXmlElement* root = doc.FirstChildElement("UnlockMenu");
    if (!root) {
        DFLog(L"Data/PlayData/QuiblyUnlockMenu.xml XML Node에 UnlockMenu Node가 없습니다.");
        return 0;
    }
    for (int group = 0; group < UNLOCK_GROUP_COUNT; ++group) {
        const TiXmlElement* element = root->FirstChildElement(kGroupNames[group]);
        for (const TiXmlElement* entry = element ? element->FirstChildElement("UnlockInfo") : nullptr; entry;
             entry = entry->NextSiblingElement("UnlockInfo"))
            if (auto info = ReadEntry(entry, group))
                g_table.groups[group].push_back(std::move(info));
    }
    g_table.loaded = true;
    return 1;
}

void SaveUnlockMenu()
{
    TiXmlDocument doc;
    TiXmlElement* root = doc.LinkEndChild(new TiXmlElement("UnlockMenu"))->ToElement();
    for (int group = 0; group < UNLOCK_GROUP_COUNT; ++group) {
        TiXmlElement* element = root->LinkEndChild(new TiXmlElement(kGroupNames[group]))->ToElement();
        for (const auto& info : g_table.groups[group]) {
            TiXmlElement* entry = element->LinkEndChild(new TiXmlElement("UnlockInfo"))->ToElement();
            entry->SetAttribute("IsUnlock", info->isUnlock);
            entry->SetAttribute("BtnName", info->btnName);
            entry->SetAttribute("UnlockPic", info->unlockPic);
            entry->SetAttribute("Cube", info->cube);
            entry->SetAttribute("CubePic", info->cubePic);
        }
    }
    gamedata::SaveXmlFile(kUnlockMenuFile, doc);
}

UnlockInfo* GetUnlockInfo(int group, int position)
{
    if (!ValidGroup(group) || position < 0 || static_cast<size_t>(position) >= g_table.groups[group].size())
        return nullptr;
    return g_table.groups[group][position].get();
}

UnlockInfo* FindUnlockInfoByButton(int group, const char* btnName)
{
    return FindInGroup(group, [&](const UnlockInfo& info) { return btnName && std::strcmp(info.btnName, btnName) == 0; });
}

UnlockInfo* FindUnlockInfoByPic(int group, const char* unlockPic)
{
    return FindInGroup(group,
                       [&](const UnlockInfo& info) { return unlockPic && std::strcmp(info.unlockPic, unlockPic) == 0; });
}

void ClearUnlockMenu()
{
    for (auto& group : g_table.groups)
        group.clear();
    g_table.loaded = false;
}
