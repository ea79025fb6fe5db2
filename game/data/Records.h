// What the player has done: the lifetime counters of "Data/PlayData/QuiblyRecord.xml" (kept as
// a document for the whole run, with a second in-memory set for the game in progress) and the
// local high-score tables of "Data/PlayData/QuiblyRanking.xml": eight boards of named tables
// of six places each.
#pragma once

#include <tinyxml.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

inline constexpr const char* kRecordFile = "Data/PlayData/QuiblyRecord.xml";
inline constexpr const char* kRankingFile = "Data/PlayData/QuiblyRanking.xml";
// The name of the local player's record element and of the local player's ranking places.
inline constexpr const char* kLocalPlayerName = "##player##";

// The 27 counters, by index as AddThisGameCounter takes them.
inline constexpr std::array<const char*, 27> kRecordCounters = {
    "Excute",       "PlayTime",          "MaxCombo",         "BlockClear",       "BlockClearR",
    "BlockClearG",  "BlockClearB",       "Attacking_R",      "Attacking_G",      "Attacking_B",
    "Attacked_R",   "Attacked_G",        "Attacked_B",       "Attacked_BigStar", "Attacked_BigStone",
    "BigStar",      "BigStone",          "BlockClick",       "BlockClick_Pin",   "BlockClick_Eraser",
    "Rotation",     "RotationL",         "RotationR",        "Double",           "MagicTurn",
    "Chain",        "ItemGet"};

struct PlayRecordState {
    TiXmlDocument document;
    // The "Player" element named "##player##" inside the document; its attributes are the
    // lifetime counters, read directly by the scenes.
    TiXmlElement* player = nullptr;
    // The counters of the game in progress; never saved.
    std::unique_ptr<TiXmlElement> thisGame;
    int loaded = 0;
};

extern PlayRecordState PlayRecord;

// Reads the record (or creates it with a zeroed local player) and finds the player element.
void LoadPlayRecord();
// Saves the record document.
void SavePlayRecord();
// Counts one more start ("Excute") and saves the record.
void CountGameStart();
void SetRecordCounter(const char* counter, int value);
void ResetThisGame();
void SetThisGameCounter(const char* counter, int value);
void AddThisGameCounter(int counterIndex, int delta);

enum RankingBoard : int {
    RANK_PUZZLE = 0,
    RANK_COMBO,
    RANK_STAGE,
    RANK_POINT,
    RANK_STAGE_EASY,
    RANK_STAGE_HARD,
    RANK_BATTLE,
    RANK_PUSH,
    RANK_BOARD_COUNT
};

struct RankEntry {
    static constexpr size_t kNameBytes = 128;
    char name[kNameBytes] = {};
    int32_t score = -1;
    int32_t time = -1;
    int32_t isNew = 0;
};

struct RankingTable {
    static constexpr size_t kNameBytes = 128;
    static constexpr int kPlaces = 6;
    char name[kNameBytes] = {};
    RankEntry places[kPlaces];
};

// 0 when the file cannot be loaded (the tables in memory stay), else 1.
int LoadRanking();
int SaveRanking();
// The new result always takes the sixth place, marked new, before the table is sorted.
int InsertRankingScore(int board, const char* tableName, int score, int time);
// The six places of the board's table of that name, or null.
RankEntry* FindRankingTable(int board, const char* tableName);
// Frees every table, as at the end of a run.
void ClearRanking();
