// The record counters and the local rankings (see Records.h).
#include "data/Records.h"
#include "data/GameDataXml.h"

#include <helvane/DXUtil.h>
#include <helvane/Log.h>
#include <win32/Files.h>
#include <win32/Text.h>

#include <algorithm>
#include <cstring>
#include <string>

PlayRecordState PlayRecord;

namespace {

constexpr const char* kBoardNames[RANK_BOARD_COUNT] = {"Puzzle", "Combo",      "Stage",  "Point",
                                                        "Stage_Easy", "Stage_Hard", "Battle", "Push"};

std::array<std::vector<std::unique_ptr<RankingTable>>, RANK_BOARD_COUNT> g_boards;

std::unique_ptr<TiXmlElement> NewCounterElement(const char* elementName)
{
    auto element = std::make_unique<TiXmlElement>(elementName);
    for (const char* counter : kRecordCounters)
        element->SetAttribute(counter, 0);
    return element;
}

TiXmlElement* AddPlayerElement()
{
    TiXmlElement* root = PlayRecord.document.FirstChildElement("Record");
    if (!root)
        root = PlayRecord.document.LinkEndChild(new TiXmlElement("Record"))->ToElement();
    auto player = std::make_unique<TiXmlElement>("Player");
    player->SetAttribute("name", kLocalPlayerName);
    for (const char* counter : kRecordCounters)
        player->SetAttribute(counter, 0);
    return root->LinkEndChild(player.release())->ToElement();
}

TiXmlElement* FindPlayerElement()
{
    TiXmlElement* root = PlayRecord.document.FirstChildElement("Record");
    for (TiXmlElement* player = root ? root->FirstChildElement("Player") : nullptr; player;
         player = player->NextSiblingElement("Player")) {
        const char* name = player->Attribute("name");
        if (name && std::strcmp(name, kLocalPlayerName) == 0)
            return player;
    }
    return nullptr;
}

// A record file that was read but does not parse is kept aside before it is replaced, so the
// player's counters are not lost for good; the log says so only when the copy was made.
void KeepDamagedRecord(const std::string& bytes)
{
    std::string aside = std::string(kRecordFile) + ".bad";
    if (platform::SaveFileAtomically(aside, bytes))
        DFLog(L"%s is damaged; a copy is kept as %s", platform::Widen(kRecordFile).c_str(), platform::Widen(aside).c_str());
    else
        DFLog(L"%s is damaged and no copy of it could be kept", platform::Widen(kRecordFile).c_str());
}

bool RanksBefore(const RankEntry& a, const RankEntry& b)
{
    if (a.score != b.score)
        return a.score > b.score;
    if (a.time != b.time)
        return a.time < b.time;
    return std::strcmp(a.name, kLocalPlayerName) == 0 && std::strcmp(b.name, kLocalPlayerName) != 0;
}

void SortPlaces(RankingTable& table)
{
    std::stable_sort(std::begin(table.places), std::end(table.places), RanksBefore);
}

std::unique_ptr<RankingTable> NewTable(const char* name)
{
    auto table = std::make_unique<RankingTable>();
    gamedata::CopyText(table->name, sizeof table->name, name);
    for (RankEntry& place : table->places)
        gamedata::CopyText(place.name, sizeof place.name, kLocalPlayerName);
    return table;
}

RankingTable* FindTable(int board, const char* tableName)
{
    if (board < 0 || board >= RANK_BOARD_COUNT || !tableName)
        return nullptr;
    // Names are stored cut to the field, so a long name is looked up in its cut form.
    char key[RankingTable::kNameBytes];
    gamedata::CopyText(key, sizeof key, tableName);
    for (auto& table : g_boards[board])
        if (std::strcmp(table->name, key) == 0)
            return table.get();
    return nullptr;
}

// A place read from the file: a negative score is a place without a game, and a played place's
// time lies between 0 and the 1000000 from which lost games count down. Anything else is
// damage, taken back into range with a log line.
void KeepInRange(RankEntry& entry, const char* table)
{
    constexpr int32_t kTimeLimit = 1000000;
    if (entry.score < 0) {
        if (entry.score != -1 || entry.time != -1)
            DFLog(LOG_WARN, L"Ranking %hs: a place with score %d and time %d is taken as empty", table, entry.score,
                  entry.time);
        entry.score = -1;
        entry.time = -1;
        return;
    }
    if (entry.time < 0 || entry.time > kTimeLimit) {
        const int32_t time = entry.time < 0 ? 0 : kTimeLimit;
        DFLog(LOG_WARN, L"Ranking %hs: a time of %d is out of range and is taken as %d", table, entry.time, time);
        entry.time = time;
    }
}

std::unique_ptr<RankingTable> ReadTable(const TiXmlElement* element)
{
    auto table = NewTable(element->Attribute("Name"));
    int place = 0;
    for (const TiXmlElement* rank = element->FirstChildElement("Rank"); rank && place < RankingTable::kPlaces;
         rank = rank->NextSiblingElement("Rank"), ++place) {
        RankEntry& entry = table->places[place];
        entry.score = gamedata::IntAttribute(rank, "Score", 0);
        entry.time = gamedata::IntAttribute(rank, "Time", 0);
        gamedata::CopyText(entry.name, sizeof entry.name, rank->Attribute("Name"));
        entry.isNew = 0;
        KeepInRange(entry, table->name);
    }
    SortPlaces(*table);
    return table;
}

} // namespace

void LoadPlayRecord()
{
    PlayRecord.player = nullptr;
    // A file that cannot be read is neither damaged nor missing: its packed content stands in,
    // or it is held so the defaults below are never saved over it.
    std::string bytes;
    const platform::ReadOutcome outcome = gamedata::ReadPlayDataFile(kRecordFile, bytes, platform::kMaxXmlFileBytes);
    if (outcome != platform::ReadOutcome::Read || !gamedata::ParseXmlDocument(bytes, PlayRecord.document)) {
        if (outcome == platform::ReadOutcome::Read)
            KeepDamagedRecord(bytes);
        PlayRecord.document.Clear();
        AddPlayerElement();
    }
    PlayRecord.player = FindPlayerElement();
    if (!PlayRecord.player) {
        PlayRecord.player = AddPlayerElement();
        SavePlayRecord();
    }
    PlayRecord.loaded = 1;
}

void SavePlayRecord() { gamedata::SaveXmlFile(kRecordFile, PlayRecord.document); }

void CountGameStart()
{
    if (!PlayRecord.player)
        return;
    int starts = gamedata::IntAttribute(PlayRecord.player, "Excute", 0);
    PlayRecord.player->SetAttribute("Excute", gamedata::SaturatingAdd(starts, 1));
    SavePlayRecord();
}

void SetRecordCounter(const char* counter, int value)
{
    if (PlayRecord.player && counter)
        PlayRecord.player->SetAttribute(counter, value);
}

void ResetThisGame() { PlayRecord.thisGame = NewCounterElement("ThisGame"); }

void SetThisGameCounter(const char* counter, int value)
{
    if (!counter)
        return;
    if (!PlayRecord.thisGame)
        ResetThisGame();
    PlayRecord.thisGame->SetAttribute(counter, value);
}

void AddThisGameCounter(int counterIndex, int delta)
{
    if (counterIndex < 0 || static_cast<size_t>(counterIndex) >= kRecordCounters.size())
        return;
    const char* counter = kRecordCounters[counterIndex];
    int value = gamedata::IntAttribute(PlayRecord.thisGame.get(), counter, 0);
    SetThisGameCounter(counter, gamedata::SaturatingAdd(value, delta));
}

int LoadRanking()
{
    TiXmlDocument doc;
    if (!gamedata::LoadXmlFile(kRankingFile, doc))
        return 0;
    ClearRanking();
    const TiXmlElement* root = doc.FirstChildElement("Ranking");
    if (!root)
        return 1;
    for (int board = 0; board < RANK_BOARD_COUNT; ++board) {
        const TiXmlElement* element = root->FirstChildElement(kBoardNames[board]);
        for (const TiXmlElement* table = element ? element->FirstChildElement("Table") : nullptr; table;
             table = table->NextSiblingElement("Table"))
            if (table->Attribute("Name"))
                g_boards[board].push_back(ReadTable(table));
    }
    return 1;
}

int SaveRanking()
{
    // The time the save takes is not frame time.
    DXUtil_Timer(TIMER_STOP);
    TiXmlDocument doc;
    TiXmlElement* root = doc.LinkEndChild(new TiXmlElement("Ranking"))->ToElement();
    for (int board = 0; board < RANK_BOARD_COUNT; ++board) {
        TiXmlElement* element = root->LinkEndChild(new TiXmlElement(kBoardNames[board]))->ToElement();
        for (const auto& table : g_boards[board]) {
            TiXmlElement* tableElement = element->LinkEndChild(new TiXmlElement("Table"))->ToElement();
            tableElement->SetAttribute("Name", table->name);
            for (const RankEntry& place : table->places) {
                TiXmlElement* rank = tableElement->LinkEndChild(new TiXmlElement("Rank"))->ToElement();
                rank->SetAttribute("Name", place.name);
                rank->SetAttribute("Score", place.score);
                rank->SetAttribute("Time", place.time);
            }
        }
    }
    gamedata::SaveXmlFile(kRankingFile, doc);
    DXUtil_Timer(TIMER_START);
    return 1;
}

int InsertRankingScore(int board, const char* tableName, int score, int time)
{
    if (board < 0 || board >= RANK_BOARD_COUNT || !tableName)
        return 0;
    RankingTable* table = FindTable(board, tableName);
    if (!table) {
        g_boards[board].push_back(NewTable(tableName));
        table = g_boards[board].back().get();
    }
    for (RankEntry& place : table->places)
        place.isNew = 0;
    RankEntry& last = table->places[RankingTable::kPlaces - 1];
    gamedata::CopyText(last.name, sizeof last.name, kLocalPlayerName);
    last.score = score;
    last.time = time;
    last.isNew = 1;
    SortPlaces(*table);
    return 1;
}

RankEntry* FindRankingTable(int board, const char* tableName)
{
    RankingTable* table = FindTable(board, tableName);
    return table ? table->places : nullptr;
}

void ClearRanking()
{
    for (auto& board : g_boards)
        board.clear();
}
