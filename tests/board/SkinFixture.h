// A data folder with one animation file per board skin entry ("skin<index>.xml"), each scene
// drawing the texture "t<index>.png", and a recording renderer, so tests can see which sprite a
// block or effect drew, in which scene and colour.
#pragma once

#include "engine/AnimationXml.h"
#include "engine/EngineFakes.h"

#include "board/BoardSkin.h"
#include "engine/PlayerSettings.h"

#include <map>
#include <string>
#include <vector>

namespace boardtest {

class SkinFixture {
public:
    // Scene lengths in milliseconds; "DOWN" differs so effect lifetimes can be told apart.
    static constexpr int kNormalMs = 400;
    static constexpr int kDownMs = 300;

    SkinFixture()
    {
        using namespace enginetest::animxml;
        for (int index : Indexes()) {
            const std::string image = "t" + std::to_string(index) + ".png";
            handles[index] = renderer.AddTexture(image, 45, 45);
            std::string scenes;
            for (const char* name : {"NORMAL", "ENTER", "OVER", "LEAVE", "DISABLE", "star_hover_1", "star_hover_2",
                                     "star_hover_3", "combo", "scombo", "brokencombo"})
                scenes += SceneXml(name, {{0}, {kNormalMs}}, "", image);
            scenes += SceneXml("DOWN", {{0}, {kDownMs}}, "", image);
            for (int n = 0; n <= 20; ++n)
                scenes += SceneXml(std::to_string(n), {{0}, {kNormalMs}}, "", image);
            folder.Write("anim/skin" + std::to_string(index) + ".xml", FileXml(scenes));
        }
        // The two colour layouts are left out: blocks and effects then use their own colours.
        AttachPlayerSettings({[](int index) {
                                  if (index == kSkinBlockNumColor || index == kSkinBlockPointColor)
                                      return std::string();
                                  return "skin" + std::to_string(index) + ".xml";
                              },
                              {}});
    }
    ~SkinFixture() { AttachPlayerSettings({}); }

    static std::vector<int> Indexes()
    {
        std::vector<int> out;
        for (int i = kSkinBlockSmall; i <= kSkinBlockEffectLast; ++i)
            out.push_back(i);
        for (int s : {kDigitComboRate, kDigitComboCount, kDigitBlockClear, kDigitBlockClearLarge,
                      kDigitBlockClearWhite, kDigitBlockClearLargeWhite, kDigitComboEffect})
            out.push_back(kSkinDigitStyleBase + s);
        return out;
    }

    // How many sprites of the skin entry were drawn, and the colours they were drawn in.
    std::vector<D3DCOLOR> Drawn(int index) const
    {
        std::vector<D3DCOLOR> colours;
        for (const auto& s : renderer.sprites)
            if (s.handle == handles.at(index))
                colours.push_back(s.colour);
        return colours;
    }

    static constexpr int kSkinBlockEffectLast = 107;
    enginetest::RecordingRenderBackend renderer;
    enginetest::animxml::DataFolder folder;
    std::map<int, int> handles;
};

} // namespace boardtest
