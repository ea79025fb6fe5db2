// The open and save file dialogs over the desktop's file chooser, zenity
// --file-selection. Implemented: the filter list, the start folder, the title,
// the default extension, overwrite
//              confirmation on save, blocking until the chooser closes, the focus
//              handed back to the owner afterwards, answers queued by tests and
//              automation.
// Left out:    every other OPENFILENAMEW field and flag (multiple selection,
// hooks, templates,
//              custom filters, the filter index, the file title).
#include "dialogs/CommonDialogs.h"

#include "win32/Debug.h"
#include "win32/Focus.h"
#include "win32/Files.h"
#include "win32/Text.h"

#include <cerrno>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "../win32/UserState.h"

extern char** environ;

namespace platform {

namespace {

struct Answers {
    std::mutex lock;
    std::deque<std::optional<std::wstring>> queue;
};

Answers& TheAnswers()
{
    static Answers answers;
    return answers;
}

std::optional<std::optional<std::wstring>> TakeAnswer()
{
    Answers& answers = TheAnswers();
    std::lock_guard guard(answers.lock);
    if (answers.queue.empty())
        return std::nullopt;
    std::optional<std::wstring> answer = std::move(answers.queue.front());
    answers.queue.pop_front();
    return answer;
}

void Log(const std::string& text) { OutputDebugStringA(("[dialogs] " + text + "\n").c_str()); }

// The name part of a path has an extension when it holds a dot after its first
// character.
bool HasExtension(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"/\\");
    size_t start = slash == std::wstring::npos ? 0 : slash + 1;
    size_t dot = path.rfind(L'.');
    return dot != std::wstring::npos && dot > start;
}

// The chooser's answer into the caller's buffer, with the default extension
// when the name has none; FALSE when it does not fit.
BOOL Deliver(OPENFILENAMEW* dialog, std::wstring path)
{
    if (path.empty())
        return FALSE;
    if (dialog->lpstrDefExt && *dialog->lpstrDefExt && !HasExtension(path))
        path += L"." + std::wstring(dialog->lpstrDefExt);
    if (path.size() + 1 > dialog->nMaxFile) {
        Log("the chosen path does not fit into the dialog's buffer of " + std::to_string(dialog->nMaxFile) +
            " characters");
        return FALSE;
    }
    std::wmemcpy(dialog->lpstrFile, path.c_str(), path.size() + 1);
    return TRUE;
}

// Runs the command, waits for it and returns its exit status (-1 when it could
// not start) and what it wrote on its standard output.
int RunAndRead(const std::vector<std::string>& command, std::string& output)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& argument : command)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0) {
        close(pipeEnds[0]);
        return -1;
    }
    char buffer[4096];
    for (;;) {
        ssize_t got = read(pipeEnds[0], buffer, sizeof buffer);
        if (got > 0)
            output.append(buffer, static_cast<size_t>(got));
        else if (got == 0 || errno != EINTR)
            break;
    }
    close(pipeEnds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0)
        if (errno != EINTR)
            return -1;
    if (!WIFEXITED(status))
        return -1;
    int code = WEXITSTATUS(status);
    // A program the shell cannot find or run.
    return code == 127 || code == 126 ? -1 : code;
}

BOOL ShowDialog(OPENFILENAMEW* dialog, bool save)
{
    if (!dialog || !dialog->lpstrFile || dialog->nMaxFile == 0) {
        Log("a file dialog needs a buffer for the chosen path");
        return FALSE;
    }
    if (std::optional<std::optional<std::wstring>> answer = TakeAnswer()) {
        if (!*answer)
            return FALSE;
        return Deliver(dialog, **answer);
    }
    std::string output;
    // The chooser is another program and takes the keyboard with it; like a modal dialog, it
    // hands the focus back to its owner (or to the window that had it) when it closes.
    const HWND owner = dialog->hwndOwner ? dialog->hwndOwner : GetActiveWindow();
    const int status = RunAndRead(FileDialogCommand(*dialog, save), output);
    if (owner)
        user::ReturnFocus(owner);
    if (status == 1)
        return FALSE; // cancelled
    if (status != 0) {
        Log("the file chooser (zenity) could not be shown" +
            (status < 0 ? std::string(": it did not start") : ", status " + std::to_string(status)));
        return FALSE;
    }
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r'))
        output.pop_back();
    return Deliver(dialog, Widen(output));
}

} // namespace

void QueueDialogAnswer(std::optional<std::wstring> path)
{
    Answers& answers = TheAnswers();
    std::lock_guard guard(answers.lock);
    answers.queue.push_back(std::move(path));
}

void ClearDialogAnswers()
{
    Answers& answers = TheAnswers();
    std::lock_guard guard(answers.lock);
    answers.queue.clear();
}

size_t PendingDialogAnswers()
{
    Answers& answers = TheAnswers();
    std::lock_guard guard(answers.lock);
    return answers.queue.size();
}

std::vector<std::string> FileDialogCommand(const OPENFILENAMEW& dialog, bool save)
{
    std::vector<std::string> command = {"zenity", "--file-selection"};
    if (save) {
        command.push_back("--save");
        if (dialog.Flags & OFN_OVERWRITEPROMPT)
            command.push_back("--confirm-overwrite");
    }
    if (dialog.lpstrTitle && *dialog.lpstrTitle)
        command.push_back("--title=" + Narrow(dialog.lpstrTitle));
    // The start folder (with a trailing '/', so the chooser opens inside it),
    // then the start name.
    std::string start;
    if (dialog.lpstrInitialDir && *dialog.lpstrInitialDir) {
        start = ResolvePath(std::wstring_view(dialog.lpstrInitialDir));
        if (!start.empty() && start.back() != '/')
            start += '/';
    }
    if (dialog.lpstrFile && dialog.nMaxFile > 0 && dialog.lpstrFile[0])
        start += Narrow(std::wstring(dialog.lpstrFile, wcsnlen(dialog.lpstrFile, dialog.nMaxFile)));
    if (!start.empty())
        command.push_back("--filename=" + start);
    // Each pair of the filter list: "description | pattern pattern".
    for (const wchar_t* at = dialog.lpstrFilter; at && *at;) {
        std::wstring description = at;
        at += description.size() + 1;
        if (!*at)
            break;
        std::wstring patterns = at;
        at += patterns.size() + 1;
        for (wchar_t& c : patterns)
            if (c == L';')
                c = L' ';
        command.push_back("--file-filter=" + Narrow(description) + " | " + Narrow(patterns));
    }
    return command;
}

} // namespace platform

BOOL GetOpenFileNameW(OPENFILENAMEW* dialog) { return platform::ShowDialog(dialog, false); }

BOOL GetSaveFileNameW(OPENFILENAMEW* dialog) { return platform::ShowDialog(dialog, true); }
