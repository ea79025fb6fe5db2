// The mode configuration files and the puzzle list (see ModeConfig.h).
#include "data/ModeConfig.h"
#include "data/GameDataXml.h"

#include <helvane/Log.h>
#include <win32/Files.h>
#include <win32/Text.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

using gamedata::IntAttribute;
using gamedata::RealAttribute;

ModeConfigRecord ModeConfig;

namespace {

constexpr float kMaxComboBonus = 9.9f;
// The ranges the game uses for the numbers of a mode configuration; a file holding more is held
// at these limits as it is read. Weights of a few dozen and factors near 1 are what ships.
constexpr int kMaxBlockWeight = 1000000;
constexpr int kMaxChallengeGoal = 100000000;
constexpr int kMaxChallengeSeconds = 1000000;
constexpr int kMaxPointRate = 1000000;
constexpr float kMaxScoreFactor = 1000.0f;
constexpr float kMaxSeconds = 3600.0f;
constexpr float kMaxSpeed = 100000.0f;
constexpr int kMultiRateThresholds = 10;
constexpr const char* kMultiPlayName = "MultiPlay";
// Block kinds 1 to 5 carry weights; 0, 6 and 7 never appear as new blocks.
constexpr const char* kWeightNames[] = {"A", "B", "C", "star", "stone"};

void ReadWeights(const TiXmlElement* rate, StageRecord& stage)
{
    std::fill(std::begin(stage.weights), std::end(stage.weights), 10);
    if (rate) {
        stage.weights[0] = stage.weights[6] = stage.weights[7] = 0;
        for (int kind = 1; kind <= 5; ++kind)
            stage.weights[kind] = IntAttribute(rate, kWeightNames[kind - 1], 10, 0, kMaxBlockWeight);
    }
    long total = 0;
    for (int weight : stage.weights)
        total += weight;
    stage.weightTotal = static_cast<int>(std::clamp<long>(total, INT32_MIN, INT32_MAX));
}

void ReadTuning(const TiXmlElement* root)
{
    if (const TiXmlElement* combo = root->FirstChildElement("ComboBonus")) {
        float previous = 1.0f;
        for (int i = 0; i < ModeConfigRecord::kComboSteps; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "C%d", i + 1);
            previous = RealAttribute(combo, name, previous);
            ModeConfig.comboBonus[i] = previous;
        }
    }
    if (const TiXmlElement* push = root->FirstChildElement("PushBlock")) {
        ModeConfig.pushTrapTime = RealAttribute(push, "TrapTime", 10.0f, 0.0f, kMaxSeconds);
        ModeConfig.pushMoveSpeed = RealAttribute(push, "MoveSpeed", 10.0f, 0.0f, kMaxSpeed);
    }
    if (const TiXmlElement* big = root->FirstChildElement("BigBlock")) {
        ModeConfig.bigBlockK = RealAttribute(big, "BigBlockK", 1.0f, 0.0f, kMaxScoreFactor);
        ModeConfig.bigBlockM = RealAttribute(big, "BigBlockM", 0.0f, 0.0f, kMaxScoreFactor);
    }
    if (const TiXmlElement* setting = root->FirstChildElement("Setting")) {
        ModeConfig.rotateTime = RealAttribute(setting, "RotateTime", 0.2f, 0.0f, kMaxSeconds);
        ModeConfig.refillSpeed = RealAttribute(setting, "RefillSpeed", 300.0f, 0.0f, kMaxSpeed);
        ModeConfig.maxRefillSpeed = RealAttribute(setting, "maxRefillSpeed", 500.0f, 0.0f, kMaxSpeed);
        ModeConfig.blockClearTimerModeFactor =
            RealAttribute(setting, "BlockClearTimer_ModeFactor", 1.0f, 0.0f, kMaxScoreFactor);
    }
}

int ClearTypeOf(const char* text)
{
    if (text && std::strcmp(text, "Combo") == 0)
        return 2;
    // "Point", a missing attribute and any unknown text are point challenges.
    return 1;
}

std::unique_ptr<StageRecord> ReadStage(const TiXmlElement* element)
{
    const char* name = element->Attribute("name");
    if (!name)
        return nullptr;
    auto stage = std::make_unique<StageRecord>();
    gamedata::CopyText(stage->name, sizeof stage->name, name);
    gamedata::CopyText(stage->file, sizeof stage->file, element->Attribute("file"));
    stage->seed = IntAttribute(element, "seed", -1);
    stage->xGrid = IntAttribute(element, "XGrid", 8);
    stage->yGrid = IntAttribute(element, "YGrid", 8);
    const char* speedUp = element->Attribute("SpeedUp");
    stage->speedUp = speedUp && std::strcmp(speedUp, "TRUE") == 0 ? 1 : 0;
    ReadWeights(element->FirstChildElement("BlockColorRate"), *stage);
    if (const TiXmlElement* challenge = element->FirstChildElement("Challenge")) {
        stage->clearType = ClearTypeOf(challenge->Attribute("ClearType"));
        stage->clearNum = IntAttribute(challenge, "ClearNum", 10, 0, kMaxChallengeGoal);
        stage->clearTime = IntAttribute(challenge, "ClearTime", 100, 0, kMaxChallengeSeconds);
    }
    return stage;
}

void ReadStages(const TiXmlElement* root)
{
    auto multiPlay = std::make_unique<StageRecord>();
    gamedata::CopyText(multiPlay->name, sizeof multiPlay->name, kMultiPlayName);
    multiPlay->speedUp = 1;
    ReadWeights(root->FirstChildElement("BlockColorRate"), *multiPlay);
    ModeConfig.stages.push_back(std::move(multiPlay));
    const TiXmlElement* list = root->FirstChildElement("StageList");
    for (const TiXmlElement* element = list ? list->FirstChildElement("Stage") : nullptr; element;
         element = element->NextSiblingElement("Stage"))
        if (auto stage = ReadStage(element))
            ModeConfig.stages.push_back(std::move(stage));
}

void ReadMultiRate(const TiXmlElement* root)
{
    const TiXmlElement* rate = root->FirstChildElement("PointChallengeMultiRate");
    if (!rate)
        return;
    int previous = 1;
    for (int i = 0; i < kMultiRateThresholds; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "T%d", i + 1);
        previous = IntAttribute(rate, name, previous, 0, kMaxChallengeGoal);
        ModeConfig.multiRateThresholds.push_back(previous);
    }
    for (const TiXmlElement* value = rate->FirstChildElement("Muiti"); value; value = value->NextSiblingElement("Muiti"))
        ModeConfig.multiRateValues.push_back(IntAttribute(value, "value", 1, 0, kMaxPointRate));
}

void AppendPuzzles(const std::string& folder, const char* extension, int type)
{
    WIN32_FIND_DATAA found;
    std::string pattern = folder + "*" + extension;
    HANDLE find = FindFirstFileA(pattern.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        auto entry = std::make_unique<PuzzleEntry>();
        std::string path = folder + found.cFileName;
        gamedata::CopyText(entry->path, sizeof entry->path, path.c_str());
        std::string title = found.cFileName;
        title = title.substr(0, title.rfind('.'));
        gamedata::CopyText(entry->title, sizeof entry->title, title.c_str());
        entry->type = type;
        ModeConfig.puzzles.push_back(std::move(entry));
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

} // namespace

int LoadModeConfig(const char* path)
{
    if (ModeConfig.loaded)
        ClearModeConfig();
    TiXmlDocument doc;
    if (!gamedata::LoadXmlFile(path, doc)) {
        DFLog(L"%s Config 파일이 없습니다.", platform::Widen(path ? path : "").c_str());
        return 0;
    }
    const TiXmlElement* root = doc.FirstChildElement("VanteoConfig");
    if (!root) {
        DFLog(L"XML Node에 VanteoConfig Node가 없습니다.");
        return 0;
    }
    ReadTuning(root);
    ReadStages(root);
    ModeConfig.randomSeed = IntAttribute(root->FirstChildElement("RandomSeed"), "Seed", -1);
    ReadMultiRate(root);
    ModeConfig.loaded = 1;
    return 1;
}

void SelectStage(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= ModeConfig.stages.size())
        ModeConfig.currentStage = nullptr;
    else
        ModeConfig.currentStage = ModeConfig.stages[index].get();
}

StageRecord* FindMultiPlayStage()
{
    for (auto& stage : ModeConfig.stages)
        if (std::strcmp(stage->name, kMultiPlayName) == 0)
            return stage.get();
    return nullptr;
}

float GetComboBonus(int combo)
{
    if (combo < 1)
        return 0.0f;
    float bonus = ModeConfig.comboBonus[std::min(combo, ModeConfigRecord::kComboSteps) - 1];
    return std::min(bonus, kMaxComboBonus);
}

int GetMultiRateCount() { return static_cast<int>(ModeConfig.multiRateValues.size()); }

int GetMultiRateLevel(int value)
{
    int level = 0;
    for (int threshold : ModeConfig.multiRateThresholds) {
        if (threshold > value)
            break;
        ++level;
    }
    return level;
}

int LoadPuzzleConfig(const char* folder)
{
    TiXmlDocument doc;
    if (!gamedata::LoadXmlFile(kIQPuzzleConfigFile, doc)) {
        DFLog(L"%s Config 파일이 없습니다.", platform::Widen(kIQPuzzleConfigFile).c_str());
        return 0;
    }
    const TiXmlElement* root = doc.FirstChildElement("VanteoPuzzleConfig");
    if (!root) {
        DFLog(L"XML Node에 VanteoConfig Node가 없습니다.");
        return 0;
    }
    if (const TiXmlElement* setting = root->FirstChildElement("Setting")) {
        ModeConfig.rotateTime = RealAttribute(setting, "RotateTime", 0.2f);
        ModeConfig.refillSpeed = RealAttribute(setting, "RefillSpeed", 300.0f);
        ModeConfig.maxRefillSpeed = RealAttribute(setting, "maxRefillSpeed", 300.0f);
    }
    if (folder) {
        ModeConfig.puzzles.clear();
        AppendPuzzles(folder, ".pz0", 0);
        AppendPuzzles(folder, ".pzl", 0);
        AppendPuzzles(folder, ".pz1", 1);
    }
    return 1;
}

int GetPuzzleCount() { return static_cast<int>(ModeConfig.puzzles.size()); }

void ClearModeConfig()
{
    ModeConfig.stages.clear();
    ModeConfig.multiRateThresholds.clear();
    ModeConfig.multiRateValues.clear();
    ModeConfig.currentStage = nullptr;
}
