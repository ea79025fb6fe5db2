// The open and save file dialogs, as the game calls them: modal, blocking until
// the player has chosen a file or cancelled. Shown by the desktop's file
// chooser (zenity --file-selection). Tests and automation answer the next
// dialogs instead through QueueDialogAnswer.
#pragma once

#include "win32/Types.h"

#include <optional>
#include <string>
#include <vector>

// Flags of OPENFILENAMEW.
constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;

// The fields the game fills; every other field of the Windows structure is left
// out.
struct OPENFILENAMEW {
  DWORD lStructSize = 0;
  HWND hwndOwner = nullptr;
  // Pairs of a description and its patterns ("*.a;*.b"), each NUL-terminated,
  // the list ended by an empty string.
  const wchar_t *lpstrFilter = nullptr;
  // In: the start name (may be empty); out: the chosen path.
  wchar_t *lpstrFile = nullptr;
  DWORD nMaxFile = 0;
  // The folder the dialog opens in; '\' reads as '/'.
  const wchar_t *lpstrInitialDir = nullptr;
  const wchar_t *lpstrTitle = nullptr;
  DWORD Flags = 0;
  // Appended (after a '.') to a chosen name that has no extension.
  const wchar_t *lpstrDefExt = nullptr;
};

// TRUE with the chosen path in lpstrFile; FALSE when the player cancels, when
// the path does not fit into nMaxFile characters, or when no dialog can be
// shown (with a log line).
BOOL GetOpenFileNameW(OPENFILENAMEW *dialog);
// The same for a file to write; with OFN_OVERWRITEPROMPT the player confirms
// replacing a file.
BOOL GetSaveFileNameW(OPENFILENAMEW *dialog);

namespace platform {

// Answers the next dialog without showing it: a path, or nothing for a cancel.
// Answers are taken in the order they were queued; a queued path counts as
// confirmed for overwriting.
void QueueDialogAnswer(std::optional<std::wstring> path);
void ClearDialogAnswers();
size_t PendingDialogAnswers();

// The command line a dialog runs, one argument per entry (for tests).
std::vector<std::string> FileDialogCommand(const OPENFILENAMEW &dialog,
                                           bool save);

} // namespace platform
