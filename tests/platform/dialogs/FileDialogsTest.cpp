// The file dialogs: the chooser's command line from the dialog's fields, its
// answers (a path, a cancel, a chooser that cannot start), the default
// extension and the buffer limit, and the answers queued by tests and
// automation.
#include "support/TempDir.h"

#include <dialogs/CommonDialogs.h>
#include <win32/Automation.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

namespace {

// A stand-in chooser on PATH: it records its arguments and answers as the
// script says.
class FakeChooser {
public:
  explicit FakeChooser(const std::string &body) {
    m_dir.Write("zenity", "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\" >> '" +
                              m_dir.Str() + "/args.txt'; done\n" + body);
    std::filesystem::permissions(m_dir.Path() / "zenity",
                                 std::filesystem::perms::owner_all);
    m_oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (m_dir.Str() + ":" + m_oldPath).c_str(), 1);
  }
  ~FakeChooser() { setenv("PATH", m_oldPath.c_str(), 1); }
  std::string Args() const { return m_dir.Read("args.txt"); }

private:
  testsupport::TempDir m_dir;
  std::string m_oldPath;
};

struct Dialog {
  wchar_t file[260] = {};
  OPENFILENAMEW ofn;
  Dialog() {
    ofn.lStructSize = 88;
    ofn.lpstrFilter = L"Puzzle file(.pzl)\0*.pzl\0\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = 260;
    ofn.lpstrInitialDir = L"/tmp";
  }
};

TEST(FileDialogsTest, TheChooserGetsTheFilterFolderAndOverwriteQuestion) {
  Dialog d;
  d.ofn.Flags = OFN_OVERWRITEPROMPT;
  d.ofn.lpstrTitle = L"Save";
  const std::vector<std::string> save =
      platform::FileDialogCommand(d.ofn, true);
  const std::vector<std::string> expected = {
      "zenity",
      "--file-selection",
      "--save",
      "--confirm-overwrite",
      "--title=Save",
      "--filename=/tmp/",
      "--file-filter=Puzzle file(.pzl) | *.pzl"};
  EXPECT_EQ(save, expected);
  const std::vector<std::string> open =
      platform::FileDialogCommand(d.ofn, false);
  EXPECT_EQ(open[2], "--title=Save"); // no save options on an open dialog
}

TEST(FileDialogsTest, AnswersOfTheChooser) {
  struct Case {
    const char *script;
    bool save;
    BOOL result;
    const wchar_t *path;
  };
  const Case cases[] = {
      {"echo /tmp/a/one.pzl\nexit 0\n", false, TRUE, L"/tmp/a/one.pzl"},
      {"echo /tmp/a/two\nexit 0\n", true, TRUE,
       L"/tmp/a/two.pzl"},             // the default extension
      {"exit 1\n", true, FALSE, L""},  // cancelled
      {"exit 5\n", false, FALSE, L""}, // the chooser failed
  };
  for (const Case &c : cases) {
    FakeChooser chooser(c.script);
    Dialog d;
    d.ofn.lpstrDefExt = L"pzl";
    BOOL result = c.save ? GetSaveFileNameW(&d.ofn) : GetOpenFileNameW(&d.ofn);
    EXPECT_EQ(result, c.result) << c.script;
    EXPECT_EQ(std::wstring(d.file), c.path) << c.script;
    EXPECT_NE(chooser.Args().find("--file-selection"), std::string::npos);
  }
}

TEST(FileDialogsTest, AChooserThatCannotStartOrAPathTooLongGivesFalse) {
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", "/nonexistent", 1);
  Dialog d;
  EXPECT_EQ(GetOpenFileNameW(&d.ofn), FALSE);
  setenv("PATH", oldPath.c_str(), 1);

  platform::QueueDialogAnswer(std::wstring(300, L'x'));
  EXPECT_EQ(GetOpenFileNameW(&d.ofn), FALSE);
  EXPECT_EQ(d.file[0], L'\0');
  OPENFILENAMEW noBuffer;
  EXPECT_EQ(GetOpenFileNameW(&noBuffer), FALSE);
}

TEST(FileDialogsTest, QueuedAnswersComeFirstInOrderAndAutomationQueuesThem) {
  FakeChooser chooser("echo /never\nexit 0\n");
  std::ostringstream errors;
  auto actions = platform::ParseAutomationScript(
      "3 dialog Data/Puzzle/User/mine\n4 dialog cancel\n5 dialog\n", "s",
      errors);
  ASSERT_EQ(actions.size(), 2u);
  EXPECT_NE(errors.str().find("s:3"), std::string::npos);
  EXPECT_EQ(actions[0].verb, platform::AutomationVerb::Dialog);
  EXPECT_EQ(actions[0].text, "Data/Puzzle/User/mine");
  EXPECT_TRUE(actions[1].cancel);
  platform::StartAutomation(actions);
  for (int frame = 0; frame < 6; ++frame)
    platform::AutomationFrame(nullptr);
  platform::StopAutomation();
  EXPECT_EQ(platform::PendingDialogAnswers(), 2u);

  Dialog d;
  d.ofn.lpstrDefExt = L"pzl";
  EXPECT_EQ(GetSaveFileNameW(&d.ofn), TRUE);
  EXPECT_EQ(std::wstring(d.file), L"Data/Puzzle/User/mine.pzl");
  EXPECT_EQ(GetOpenFileNameW(&d.ofn), FALSE);
  EXPECT_EQ(chooser.Args(), ""); // the chooser was never shown
  EXPECT_EQ(platform::PendingDialogAnswers(), 0u);
}

} // namespace
