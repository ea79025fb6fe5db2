// One run folder of the real program for the end-to-end tests: a copy of the built run folder
// without a pack from earlier runs, the program started headless in it with an automation
// script, and the pixels of its screenshots.
#pragma once

#include "data/PlayDataPack.h"
#include "support/TempDir.h"

#include "ScreenPixels.h"

#include <gtest/gtest.h>
#include <stb/stb_image.h>
#include <tinyxml.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// A spot on the screen; -1 when not found.
struct ScreenPoint {
    int x = -1, y = -1;
};

class GameRun {
public:
    GameRun()
    {
        namespace fs = std::filesystem;
        for (const auto& entry : fs::directory_iterator(QUIBLY_RUN_FOLDER)) {
            std::string name = entry.path().filename().string();
            if (name == "QuiblyConfig.pak" || name == "Log_VODozivo.txt" || name == "testFile.bin")
                continue;
            fs::copy(entry.path(), folder.Path() / name, fs::copy_options::recursive);
        }
    }

    // Replaces `from` by `to` in a file of the run folder; false when `from` is not there.
    bool Edit(const std::string& file, const std::string& from, const std::string& to)
    {
        std::string text = folder.Read(file);
        size_t at = text.find(from);
        if (at == std::string::npos)
            return false;
        text.replace(at, from.size(), to);
        folder.Write(file, text);
        return true;
    }

    // Runs the program on the script with the given profile folder and extra environment
    // ("NAME=value ..."); the exit status, -1 when it did not exit.
    int Run(const std::string& script, const std::string& profile, const std::string& environment = "", int seconds = 180)
    {
        folder.Write("script.txt", script);
        std::string command = "cd '" + folder.Str() + "' && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy " +
                              "ASAN_OPTIONS=detect_leaks=0 QUIBLY_DEBUG_OUTPUT=0 QUIBLY_AUTOMATION_FRAME_MS=16 " +
                              "QUIBLY_AUTOMATION_WAIT_LOADS=1 QUIBLY_PROFILE_DIR='" + profile + "' " + environment +
                              " QUIBLY_AUTOMATION=script.txt timeout " + std::to_string(seconds) + " ./Quibly 2>stderr.txt";
        int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    Rgb Pixel(const std::string& file, int x, int y) const
    {
        Rgb found{-1, -1, -1};
        ForPixels(file, x, y, x + 1, y + 1, [&](Rgb p) { found = p; });
        return found;
    }
    // How many pixels of the rectangle match.
    int Count(const std::string& file, int left, int top, int right, int bottom, const std::function<bool(Rgb)>& match) const
    {
        int count = 0;
        ForPixels(file, left, top, right, bottom, [&](Rgb p) { count += match(p) ? 1 : 0; });
        return count;
    }

    // A play-data file as the pack written at exit holds it; empty when it holds none.
    std::string PackedFile(const std::string& file) const
    {
        ConfigPak::DecodedPack pack;
        EXPECT_TRUE(ConfigPak::DecodePack(folder.Read(ConfigPak::kPackFile), pack)) << pack.error;
        for (const auto& record : pack.records)
            if (ConfigPak::kPlayDataFiles[record.fileIndex] == file)
                return std::string(pack.Bytes(record));
        return {};
    }

    // Rewrites a pack file (the local pack or a cloud copy) in place: each play-data file it
    // holds goes through `edit` (its play-data path, its bytes). False when the pack does not
    // decode or cannot be written again.
    static bool RewritePack(const std::filesystem::path& path,
                            const std::function<void(const std::string& file, std::string& bytes)>& edit)
    {
        ConfigPak::DecodedPack pack;
        if (!ConfigPak::DecodePack(testsupport::ReadFile(path), pack))
            return false;
        std::vector<std::pair<size_t, std::string>> files;
        for (const auto& record : pack.records) {
            std::string bytes(pack.Bytes(record));
            edit(ConfigPak::kPlayDataFiles[record.fileIndex], bytes);
            files.emplace_back(record.fileIndex, bytes);
        }
        const std::string encoded = ConfigPak::EncodePack(ConfigPak::EncodeRecords(files));
        std::FILE* out = encoded.empty() ? nullptr : std::fopen(path.c_str(), "wb");
        if (!out)
            return false;
        const bool written = std::fwrite(encoded.data(), 1, encoded.size(), out) == encoded.size();
        return std::fclose(out) == 0 && written;
    }

    // Where a window of a layout of the run folder lies on the screen: the sum of its and its
    // parents' positions, its centre; a parent moved by the menu's animations is given its place.
    ScreenPoint Centre(const std::string& layout, const std::string& name, const std::string& movedParent = "",
                       ScreenPoint moved = {}) const
    {
        TiXmlDocument doc;
        ScreenPoint out;
        if (doc.LoadFile((folder.Path() / layout).string().c_str()) && doc.RootElement())
            FindCentre(doc.RootElement(), name, 0, 0, movedParent, moved, out);
        return out;
    }

    testsupport::TempDir folder;

private:
    static bool FindCentre(const TiXmlElement* element, const std::string& name, int x, int y, const std::string& movedParent,
                           ScreenPoint moved, ScreenPoint& out)
    {
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement()) {
            const TiXmlElement* pos = child->FirstChildElement("pos");
            const TiXmlElement* rect = child->FirstChildElement("rect");
            int cx = x, cy = y;
            const char* own = child->Attribute("name");
            if (pos && own && movedParent == own) {
                cx = moved.x;
                cy = moved.y;
            } else if (pos) {
                cx += std::atoi(pos->Attribute("x"));
                cy += std::atoi(pos->Attribute("y"));
            }
            if (own && name == own && rect) {
                out = {cx + std::atoi(rect->Attribute("r")) / 2, cy + std::atoi(rect->Attribute("b")) / 2};
                return true;
            }
            if (FindCentre(child, name, cx, cy, movedParent, moved, out))
                return true;
        }
        return false;
    }


    void ForPixels(const std::string& file, int left, int top, int right, int bottom, const std::function<void(Rgb)>& each) const
    {
        int w = 0, h = 0, n = 0;
        unsigned char* data = stbi_load((folder.Path() / file).c_str(), &w, &h, &n, 3);
        EXPECT_NE(data, nullptr) << file;
        if (!data)
            return;
        for (int y = std::max(top, 0); y < std::min(bottom, h); ++y)
            for (int x = std::max(left, 0); x < std::min(right, w); ++x) {
                const unsigned char* p = data + (y * w + x) * 3;
                each({p[0], p[1], p[2]});
            }
        stbi_image_free(data);
    }
};
