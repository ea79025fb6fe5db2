// The persona name cut to the name field's width budget, as start-up and online play take it.
#include "net/PersonaName.h"
#include "support/TempDir.h"

#include <steam/SteamApi.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

class PersonaNameTest : public ::testing::Test {
protected:
    void StartWithPersona(const std::string& name)
    {
        SteamAPI_Shutdown();
        m_profile.Write("persona.txt", name + "\n");
        setenv("QUIBLY_PROFILE_DIR", m_profile.Str().c_str(), 1);
        ASSERT_TRUE(SteamAPI_Init());
    }
    void TearDown() override
    {
        SteamAPI_Shutdown();
        unsetenv("QUIBLY_PROFILE_DIR");
    }
    testsupport::TempDir m_profile;
};

TEST_F(PersonaNameTest, WideCharactersCountTwiceAgainstTheBudget)
{
    std::string hangul;
    for (int i = 0; i < 20; ++i)
        hangul += "가";
    struct Case {
        std::string name;
        int budget;
        std::wstring expect;
        int converted;
    };
    const Case cases[] = {
        {hangul, 14, std::wstring(7, L'가'), 20},
        {std::string(20, 'a'), 14, std::wstring(14, L'a'), 20},
        {"ab가cd", 4, L"ab가", 5},
        {"ab가cd", 3, L"ab", 5},
    };
    for (const Case& c : cases) {
        StartWithPersona(c.name);
        wchar_t out[kPersonaNameChars];
        EXPECT_EQ(GetPersonaName(c.budget, out, SteamUser()->GetSteamID()), c.converted) << c.name;
        EXPECT_EQ(std::wstring(out), c.expect) << c.name;
    }
}

TEST_F(PersonaNameTest, UnknownUserOrNoPlatformGivesAnEmptyName)
{
    StartWithPersona("Player");
    wchar_t out[kPersonaNameChars];
    out[0] = L'x';
    EXPECT_EQ(GetPersonaName(14, out, CSteamID(12345)), 0);
    EXPECT_EQ(out[0], L'\0');
    SteamAPI_Shutdown();
    EXPECT_EQ(GetPersonaName(14, out, CSteamID(12345)), 0);
}

} // namespace
