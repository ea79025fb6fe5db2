// The input-method service, driven by window messages through the window system's hook against
// a scripted input method.
#include "kv/KVIme.h"
#include "kv/KVImm.h"
#include "kv/KVSystem.h"
#include "kv/KVWinMessages.h"
#include "kv/KVWnd.h"

#include "support/kv/KVTestKit.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

namespace {

using namespace kv::imm;

// A scripted input method with one context.
class ScriptedImm : public KVImm {
public:
    HIMC GetContext(HWND) override { return hasContext ? reinterpret_cast<HIMC>(0x1) : nullptr; }
    BOOL ReleaseContext(HWND, HIMC) override { return TRUE; }
    LONG GetCompositionStringW(HIMC, DWORD index, void* buffer, DWORD bytes) override
    {
        if (index == GCS_COMPATTR) {
            if (buffer)
                std::memcpy(buffer, attributes.data(), std::min<size_t>(bytes, attributes.size()));
            return static_cast<LONG>(attributes.size());
        }
        const std::wstring& text = index == GCS_COMPSTR ? composition : result;
        LONG size = static_cast<LONG>(text.size() * sizeof(wchar_t));
        if (buffer)
            std::memcpy(buffer, text.data(), std::min<size_t>(bytes, static_cast<size_t>(size)));
        return size;
    }
    DWORD GetCandidateListW(HIMC, DWORD, CANDIDATELIST* list, DWORD bytes) override
    {
        if (list)
            std::memcpy(list, candidateList.data(), std::min<size_t>(bytes, candidateList.size()));
        return static_cast<DWORD>(candidateList.size());
    }
    BOOL NotifyIME(HIMC, DWORD action, DWORD index, DWORD) override
    {
        notifications.push_back({action, index});
        return TRUE;
    }
    BOOL GetConversionStatus(HIMC, DWORD* conversion, DWORD* sentence) override
    {
        *conversion = mode;
        *sentence = 0;
        return TRUE;
    }
    BOOL SetConversionStatus(HIMC, DWORD conversion, DWORD) override
    {
        mode = conversion;
        return TRUE;
    }
    HIMC AssociateContext(HWND, HIMC) override { return nullptr; }

    // Lays out a candidate list the way the input method does.
    void SetCandidates(const std::vector<std::wstring>& candidates, DWORD pageSize, DWORD selection)
    {
        size_t header = offsetof(CANDIDATELIST, dwOffset) + candidates.size() * sizeof(DWORD);
        size_t size = header;
        for (const auto& c : candidates)
            size += (c.size() + 1) * sizeof(wchar_t);
        candidateList.assign(size, 0);
        auto* list = reinterpret_cast<CANDIDATELIST*>(candidateList.data());
        list->dwSize = static_cast<DWORD>(size);
        list->dwCount = static_cast<DWORD>(candidates.size());
        list->dwSelection = selection;
        list->dwPageSize = pageSize;
        size_t at = header;
        for (size_t i = 0; i < candidates.size(); ++i) {
            DWORD offset = static_cast<DWORD>(at);
            std::memcpy(candidateList.data() + offsetof(CANDIDATELIST, dwOffset) + i * sizeof(DWORD), &offset, 4);
            std::memcpy(candidateList.data() + at, candidates[i].c_str(), (candidates[i].size() + 1) * sizeof(wchar_t));
            at += (candidates[i].size() + 1) * sizeof(wchar_t);
        }
    }

    bool hasContext = true;
    std::wstring composition, result;
    std::vector<BYTE> attributes;
    std::vector<char> candidateList;
    std::vector<std::pair<DWORD, DWORD>> notifications;
    DWORD mode = IME_CMODE_NATIVE | IME_CMODE_KATAKANA;
};

class KVImeTest : public ::testing::Test {
protected:
    KVImeTest()
    {
        SetImm(&imm);
        env.system->InstallInputMethod(nullptr);
        service = env.system->GetInputMethodProvider()->GetService();
        edit = env.LoadText("<kevrin version=\"2\"><base type=\"WND\" name=\"Wnd_form\"><rect l=\"0\" t=\"0\" r=\"300\" b=\"100\"/>"
                            "<child type=\"BUTTON\" name=\"Edit_name\"><pos x=\"10\" y=\"10\"/><rect l=\"0\" t=\"0\" r=\"200\" b=\"30\"/></child>"
                            "</base></kevrin>");
        edit->SetVisible(true);
        env.Click(50, 20);
        events.Attach(env.Root()->FindWindow(L"Edit_name"), kv::EventChar);
    }
    ~KVImeTest() override { SetImm(nullptr); }

    void Compose(const std::wstring& text, std::vector<BYTE> attributes)
    {
        imm.composition = text;
        imm.attributes = std::move(attributes);
        env.SendIme(WM_IME_COMPOSITION, 0, GCS_COMPSTR | GCS_COMPATTR);
    }
    ScriptedImm imm;
    testsupport::KVEnvironment env;
    kv::KVDefaultIme* service = nullptr;
    kv::KVWnd* edit = nullptr;
    testsupport::EventRecorder events;
};

TEST_F(KVImeTest, InstallationSwitchesToAlphanumericAndOff)
{
    EXPECT_EQ(imm.mode, IME_CMODE_ALPHANUMERIC);
    EXPECT_FALSE(service->IsEnabled());
    EXPECT_FALSE(service->IsNativeMode());
    service->SetNativeMode(true);
    EXPECT_EQ(imm.mode, IME_CMODE_NATIVE);
}

TEST_F(KVImeTest, ASwitchedOffServiceSwallowsCompositionAndDeliversNothing)
{
    EXPECT_FALSE(env.SendIme(WM_IME_STARTCOMPOSITION, 0));
    imm.composition = L"ㅎ";
    EXPECT_FALSE(env.SendIme(WM_IME_COMPOSITION, 0, GCS_COMPSTR));
    EXPECT_TRUE(env.SendIme(WM_CHAR, 'a'));
    EXPECT_TRUE(events.entries.empty());
}

TEST_F(KVImeTest, ComposingASyllableShowsItThenDeliversTheResult)
{
    service->SetEnabled(true);
    EXPECT_FALSE(env.SendIme(WM_IME_STARTCOMPOSITION, 0));
    Compose(L"ㅎ", {ATTR_INPUT});
    EXPECT_EQ(events.lastText, L"ㅎ");
    EXPECT_TRUE(events.lastComposing);
    Compose(L"하", {ATTR_TARGET_CONVERTED});
    EXPECT_EQ(events.lastText, L"하");
    EXPECT_EQ(service->GetTargetClause()[0], 0);
    EXPECT_EQ(service->GetTargetClause()[1], 1);

    imm.result = L"한";
    env.SendIme(WM_IME_COMPOSITION, 0, GCS_RESULTSTR);
    EXPECT_EQ(events.lastText, L"한");
    EXPECT_FALSE(events.lastComposing);
    env.SendIme(WM_IME_ENDCOMPOSITION, 0);
    EXPECT_EQ(events.entries.size(), 3u) << "the end of the composition produces nothing more";
}

TEST_F(KVImeTest, ErasingTheLastComposingCharacterDeliversAnEmptyComposingText)
{
    service->SetEnabled(true);
    env.SendIme(WM_IME_STARTCOMPOSITION, 0);
    Compose(L"ㅎ", {ATTR_INPUT});
    Compose(L"", {});
    EXPECT_EQ(events.entries.size(), 2u);
    EXPECT_EQ(events.lastText, L"");
    EXPECT_TRUE(events.lastComposing);
}

struct CharCase {
    WPARAM code;
    const wchar_t* expected; // null: nothing delivered
};
class KVImeCharTest : public KVImeTest, public ::testing::WithParamInterface<CharCase> {};

TEST_P(KVImeCharTest, TypedCharactersArriveWholeAndControlsNever)
{
    service->SetEnabled(true);
    EXPECT_TRUE(env.SendIme(WM_CHAR, GetParam().code));
    if (!GetParam().expected) {
        EXPECT_TRUE(events.entries.empty());
        return;
    }
    ASSERT_EQ(events.entries.size(), 1u);
    EXPECT_EQ(events.lastText, GetParam().expected);
    EXPECT_FALSE(events.lastComposing);
}

INSTANTIATE_TEST_SUITE_P(Codes, KVImeCharTest,
                         ::testing::Values(CharCase{'a', L"a"}, CharCase{0xE9, L"é"}, CharCase{0xD55C, L"한"},
                                           CharCase{0x1F600, L"\U0001F600"}, CharCase{9, nullptr},
                                           CharCase{13, nullptr}, CharCase{1, nullptr}, CharCase{127, nullptr}));

TEST_F(KVImeTest, SurrogateHalvesAreJoined)
{
    service->SetEnabled(true);
    env.SendIme(WM_CHAR, 0xD83D);
    EXPECT_TRUE(events.entries.empty());
    env.SendIme(WM_CHAR, 0xDE00);
    EXPECT_EQ(events.lastText, L"\U0001F600");
}

TEST_F(KVImeTest, TheInputMethodsOwnWindowsAreKeptHidden)
{
    service->SetEnabled(true);
    LPARAM show = 0x0000000F;
    bool continueFlag = true;
    env.system->HandleImeMessage(WM_IME_SETCONTEXT, 1, show, continueFlag);
    EXPECT_EQ(show, 0);
    EXPECT_TRUE(service->IsContextActive());
    imm.notifications.clear();
    EXPECT_FALSE(env.SendIme(WM_IME_NOTIFY, IMN_OPENCANDIDATE));
    ASSERT_EQ(imm.notifications.size(), 1u);
    EXPECT_EQ(imm.notifications[0].first, NI_CLOSECANDIDATE);
    EXPECT_TRUE(env.SendIme(WM_IME_NOTIFY, 0x0001)) << "other notifications go on";

    service->SetEnabled(false);
    EXPECT_EQ(imm.notifications.back(), (std::pair<DWORD, DWORD>{NI_COMPOSITIONSTR, CPS_CANCEL}));
}

TEST_F(KVImeTest, CandidatePagesFollowTheSelectionAndCloseResetsThem)
{
    service->SetEnabled(true);
    imm.SetCandidates({L"가", L"나", L"다", L"라", L"마", L"바", L"사"}, 3, 4);
    env.SendIme(WM_IME_NOTIFY, IMN_CHANGECANDIDATE);
    EXPECT_TRUE(service->IsCandidateOpen());
    ASSERT_EQ(service->GetCandidateCount(), 3);
    wchar_t text[4] = {};
    EXPECT_EQ(service->GetCandidate(0, text, 4), 1);
    EXPECT_EQ(text[0], L'라');
    EXPECT_EQ(service->GetCandidate(3, nullptr, 0), -1);

    imm.SetCandidates({L"가", L"나"}, 0, 1); // a page size of 0 takes the whole list as one page
    env.SendIme(WM_IME_NOTIFY, IMN_CHANGECANDIDATE);
    EXPECT_EQ(service->GetCandidateCount(), 2);

    env.SendIme(WM_IME_NOTIFY, IMN_CLOSECANDIDATE);
    EXPECT_FALSE(service->IsCandidateOpen());
    EXPECT_EQ(service->GetCandidateCount(), 0);
    EXPECT_EQ(service->GetTargetClause()[0], 0);
    EXPECT_EQ(service->GetTargetClause()[1], 0);
}

TEST_F(KVImeTest, WithoutAContextNothingIsReadAndLongResultsAreCut)
{
    service->SetEnabled(true);
    imm.hasContext = false;
    imm.composition = L"ㅎ";
    env.SendIme(WM_IME_STARTCOMPOSITION, 0);
    env.SendIme(WM_IME_COMPOSITION, 0, GCS_COMPSTR);
    EXPECT_EQ(events.lastText, L"");
    imm.hasContext = true;
    imm.result = std::wstring(300, L'가');
    env.SendIme(WM_IME_COMPOSITION, 0, GCS_RESULTSTR);
    EXPECT_EQ(events.lastText.size(), 255u);
    env.SendIme(WM_CHAR, 'z');
    EXPECT_EQ(events.lastText, L"z") << "nothing of the cut text is left over";
}

// While another thread builds a window tree, typed text is kept and delivered at the next Update
// on the main thread, in order.
TEST_F(KVImeTest, TextArrivingDuringASceneSwitchWaitsForTheNextUpdate)
{
    service->SetEnabled(true);
    std::atomic<bool> holding{false};
    std::atomic<bool> release{false};
    std::thread loader([&] {
        kv::KVSystem::TreeBuildScope building(*env.system);
        holding = true;
        while (!release)
            std::this_thread::yield();
    });
    while (!holding)
        std::this_thread::yield();
    env.SendIme(WM_CHAR, 'x');
    env.SendIme(WM_CHAR, 'y');
    EXPECT_TRUE(events.entries.empty());
    release = true;
    loader.join();
    env.system->Update(0.016f);
    ASSERT_EQ(events.entries.size(), 2u);
    EXPECT_EQ(events.lastText, L"y");
}

} // namespace
