// A number style for digit tests: the skin's first number style names "digits.xml", whose scenes
// "0" to "9" each draw their own 20 x 30 image "d<digit>.png" with a reference size of 20 x 30,
// so a recorded sprite's texture handle tells which digit was drawn.
#pragma once

#include "engine/AnimationXml.h"
#include "engine/EngineFakes.h"
#include "engine/SkinTable.h"

#include <gtest/gtest.h>

#include <string>

namespace enginetest {

class DigitFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string scenes;
        for (int d = 0; d < 10; ++d) {
            std::string digit = std::to_string(d);
            scenes += animxml::SceneXml(digit, {{0}, {100}}, "<param type=\"RES\" x=\"20\" y=\"30\"/>",
                                        "d" + digit + ".png");
            m_handles[d] = backend.AddTexture("d" + digit + ".png", 20, 30);
        }
        data.Write("anim/digits.xml", animxml::FileXml(scenes));
        std::string skin = "<VanteoSkin><Common Num_Battle_AttackLine=\"digits.xml\" Num_Battle_ResourceBtn=\"none.xml\"/></VanteoSkin>";
        data.Write("KVSkin_Default.xml", skin + skin);
        // Whichever skin is current from an earlier test, one of the two loads reads this file.
        SkinTable.LoadSkin(0);
        SkinTable.LoadSkin(1);
    }

    // The digits drawn, left to right, as text; the x of each in `xs`.
    std::string Drawn(std::vector<float>* xs = nullptr) const
    {
        std::string text;
        for (const auto& sprite : backend.sprites)
            for (int d = 0; d < 10; ++d)
                if (sprite.handle == m_handles[d]) {
                    text += static_cast<char>('0' + d);
                    if (xs)
                        xs->push_back(sprite.matrix._41);
                }
        return text;
    }

    animxml::DataFolder data;
    RecordingRenderBackend backend;
    int m_handles[10] = {};
};

} // namespace enginetest
