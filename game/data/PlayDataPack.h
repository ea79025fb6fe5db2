// The play-data pack: the fifteen loose files under Data/PlayData packed into one zlib file in
// the current directory ("QuiblyConfig.pak"), stored as the player's cloud copy
// ("QuiblyConfig_cloud.pak"), and written back as loose files at start-up from the cloud copy,
// the local pack or the shipped initial pack ("QuiblyConfig_Init.pak").
//
// Layout (little-endian): uint32 compressed size C, uint32 raw size R, then C bytes of zlib
// data holding R raw bytes. The raw bytes are records one after another: a 256-byte path field
// (NUL-terminated), a uint32 length L (at least 1) and L bytes of the file.
//
// A pack from disk or from the cloud is checked whole before anything is written: every record
// must name one of the fifteen play-data files, once, and every size must fit. A refused pack
// changes nothing on disk except that it is kept aside under a "_damaged_<time>.pak" name, so no
// later pack replaces it. Packing writes a temporary file and renames it over the pack; a play-
// data file that is missing or cannot be read is carried over from the newest pack of this run,
// and loose files are deleted only when every one of them is in a pack that reads back intact.
// A cloud copy that exists but cannot be read is never uploaded over in the same run.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ConfigPak {

inline constexpr const char* kPackFile = "QuiblyConfig.pak";
inline constexpr const char* kInitPackFile = "QuiblyConfig_Init.pak";
inline constexpr const char* kCloudFile = "QuiblyConfig_cloud.pak";
// The raw record stream of the last pack, kept beside the pack until the loose files go.
inline constexpr const char* kRawFile = "testFile.bin";
// Present from start-up until a pack at exit has taken the loose files and deleted them: at the
// next start it tells that the loose files were left unpacked (a killed run, a failed pack).
inline constexpr const char* kLooseMarker = "QuiblyConfig_Loose.txt";

inline constexpr size_t kPathField = 256;
inline constexpr size_t kRecordHeader = kPathField + 4;
inline constexpr size_t kHeaderBytes = 8;
// No real profile comes near this; anything larger is a damaged or hostile pack.
inline constexpr uint32_t kMaxRawBytes = 64u << 20;

// The play-data files in pack order.
inline constexpr std::array<const char*, 15> kPlayDataFiles = {
    "Data/PlayData/Single_Achievements.xml",
    "Data/PlayData/Steam_Achievements.xml",
    "Data/PlayData/UserLeaderBoard.bin",
    "Data/PlayData/QuiblyConfig.xml",
    "Data/PlayData/QuiblyConfig_Battle.xml",
    "Data/PlayData/QuiblyConfig_IQPuzzle.xml",
    "Data/PlayData/QuiblyConfig_PointChallenge.xml",
    "Data/PlayData/QuiblyConfig_Push.xml",
    "Data/PlayData/QuiblyConfig_Puzzle.xml",
    "Data/PlayData/QuiblyConfig_StageChallenge.xml",
    "Data/PlayData/QuiblyRanking.xml",
    "Data/PlayData/QuiblyRecord.xml",
    "Data/PlayData/QuiblyUnlockMenu.xml",
    "Data/PlayData/PushYour.puz",
    "Data/PlayData/BattleYour.gst",
};

// One checked record: which play-data file, and where its bytes lie in the raw stream.
struct PackRecord {
    size_t fileIndex;
    size_t offset;
    uint32_t length;
};

struct DecodedPack {
    std::string raw;
    std::vector<PackRecord> records;
    std::string error; // why the pack was refused, for the log
    std::string_view Bytes(const PackRecord& record) const { return {raw.data() + record.offset, record.length}; }
};

// Inflates and checks a whole pack without touching the disk. False (with `error` set) when any
// field is out of range or any record names something other than a play-data file.
bool DecodePack(std::string_view pack, DecodedPack& out);

// The raw record stream for the given files (index into kPlayDataFiles, bytes); empty files
// are skipped. EncodePack compresses a raw stream into pack bytes (empty on failure).
std::string EncodeRecords(const std::vector<std::pair<size_t, std::string>>& files);
std::string EncodePack(std::string_view raw);

// Reads the cloud copy when there is one (1); with none, uploads the local pack (0). A cloud copy
// that exists but cannot be read whole is left alone and not overwritten (0).
int OpenCloud();
// 1 when the whole cloud copy was read into the cloud buffer, else 0.
int ReadFromCloud();
// The result of the upload of "QuiblyConfig.pak"; 0 without remote storage or without a pack.
int UploadToCloud();
// Restore from "QuiblyConfig.pak" / "QuiblyConfig_Init.pak": 1 when the pack was accepted and
// written; 0 when it is missing or refused, or when a pack was already restored in this run.
int UnpackPack();
int UnpackInitPack();
// Restore from cloud bytes: 1 when accepted and written. A well-formed copy that lacks some
// files is accepted and completed from the local pack; the loose files neither has stay as
// they are. A refused copy is saved aside in the current directory.
int UnpackFromMemory(const uint8_t* bytes, int size);
// Packs the loose files into "QuiblyConfig.pak" and uploads it; with deleteLoose, removes the
// loose files and "testFile.bin" once the pack is safely written. 1 on success; 1 also when
// there is nothing to pack (the previous pack is kept).
int Pack(int deleteLoose);
// The shut-down's pack: Pack(1). A pack or a cloud copy that could not be written is said in the
// log and on the standard error, since the log itself may be what cannot be written. 1 when
// both were written, or when there was nothing to pack.
int PackAtExit();

// The start-up choice: with the reset switch the initial pack replaces the play data. Else the
// newest copy wins: loose files left newer than the local pack by a run that did not pack them
// (kLooseMarker still there),
// a local pack newer than the cloud copy (a run that ended before its upload), else the cloud
// copy (a partial one completed from the local pack), falling back to the local pack and then
// to the initial pack; without a cloud copy the local pack. Temporary files left by a killed
// run are removed first.
void RestoreAtStartup(bool resetSwitch);

// Removes the temporary files of saves and packs that a killed run left in the current
// directory and in the play-data folder.
void RemoveLeftoverTemporaryFiles();

// The cloud copy read at start-up (empty when none).
const std::vector<uint8_t>& CloudBuffer();

// The bytes of a play-data file as the newest pack of this run holds them (restored at start-up
// or packed since); false when no pack of this run held the file. A loader whose loose file
// exists but cannot be read uses them instead of defaults.
bool LastPackedContent(const char* path, std::string& bytes);

// Forgets the restore of this run and the cloud buffer, as a new process would.
void ResetForNewRun();

} // namespace ConfigPak
