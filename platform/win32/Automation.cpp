// Automation: a script of timed input actions, played into the game window through the same
// SDL events and input-method entries as a player's input, one frame at a time.
// Implemented: the script parser and the frame driver of key, move, click, press, rclick, text,
//              shot, dialog, quit, wait and frames; the script is read from $QUIBLY_AUTOMATION
//              at the first frame.
// Left out:    wheel, double clicks and held buttons.
#include "win32/Automation.h"

#include "dialogs/CommonDialogs.h"
#include "imm/TestIme.h"
#include "win32/Files.h"
#include "win32/Messages.h"
#include "win32/TestInput.h"
#include "win32/Text.h"
#include "win32/Time.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <optional>
#include <sstream>
#include <time.h>

namespace platform {

namespace {

constexpr int kMaxCoordinate = 0xFFFF;  // a client point travels in 16 bits of lParam
constexpr int kHeldFramesPerPicture = 30;  // a holding wait saves its picture this often
constexpr auto kMaxUncountedStep = std::chrono::milliseconds(100);  // the clocks' largest step in an uncounted turn

std::string_view Trim(std::string_view text)
{
    size_t start = text.find_first_not_of(" \t\r");
    if (start == std::string_view::npos)
        return {};
    size_t end = text.find_last_not_of(" \t\r");
    return text.substr(start, end - start + 1);
}

// Splits off the first word; `rest` keeps what follows it, trimmed.
std::string_view NextWord(std::string_view& rest)
{
    rest = Trim(rest);
    size_t end = rest.find_first_of(" \t");
    std::string_view word = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view{} : Trim(rest.substr(end));
    return word;
}

std::optional<int> ParseInt(std::string_view word, int base, int low, int high)
{
    if (base == 16 && (word.starts_with("0x") || word.starts_with("0X")))
        word.remove_prefix(2);
    int value = 0;
    auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value, base);
    if (word.empty() || ec != std::errc() || end != word.data() + word.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

// Fills the action from the arguments of its verb; an error text when they do not fit.
std::string ParseArguments(std::string_view verb, std::string_view rest, AutomationAction& action)
{
    if (verb == "key") {
        std::optional<int> key = ParseInt(NextWord(rest), 16, 1, 0xFE);
        if (!key || !rest.empty())
            return "key takes one virtual-key code in hex (01 to FE)";
        action.verb = AutomationVerb::Key;
        action.key = static_cast<UINT>(*key);
        return {};
    }
    if (verb == "move" || verb == "click" || verb == "rclick" || verb == "press") {
        std::optional<int> x = ParseInt(NextWord(rest), 10, 0, kMaxCoordinate);
        std::optional<int> y = ParseInt(NextWord(rest), 10, 0, kMaxCoordinate);
        if (!x || !y || !rest.empty())
            return std::string(verb) + " takes a client point: two whole numbers from 0 to 65535";
        action.verb = verb == "move"    ? AutomationVerb::Move
                      : verb == "click" ? AutomationVerb::Click
                      : verb == "press" ? AutomationVerb::Press
                                        : AutomationVerb::RightClick;
        action.x = *x;
        action.y = *y;
        return {};
    }
    if (verb == "text" || verb == "shot") {
        if (rest.empty())
            return verb == "text" ? "text takes the text to type" : "shot takes a file name";
        action.verb = verb == "text" ? AutomationVerb::Text : AutomationVerb::Shot;
        action.text = std::string(rest);
        return {};
    }
    if (verb == "dialog") {
        if (rest.empty())
            return "dialog takes a path, or cancel";
        action.verb = AutomationVerb::Dialog;
        action.cancel = rest == "cancel";
        action.text = action.cancel ? std::string() : std::string(rest);
        return {};
    }
    if (verb == "wait") {
        std::string_view file = NextWord(rest);
        std::string_view picture = NextWord(rest);
        if (file.empty() || !rest.empty())
            return "wait takes the file to wait for and, optionally, a picture to save while waiting";
        action.verb = AutomationVerb::Wait;
        action.text = std::string(file);
        action.picture = std::string(picture);
        return {};
    }
    if (verb == "frames") {
        std::string_view file = NextWord(rest);
        if (file.empty() || !rest.empty())
            return "frames takes the file to write the frame times to";
        action.verb = AutomationVerb::Frames;
        action.text = std::string(file);
        return {};
    }
    if (verb == "quit") {
        if (!rest.empty())
            return "quit takes no arguments";
        action.verb = AutomationVerb::Quit;
        return {};
    }
    return "unknown action \"" + std::string(verb) + "\"";
}

// A moment of the loop's thread: the real time, and the processor time the thread has used (what
// its own work took, whatever else the machine runs).
struct TurnStamp {
    std::chrono::steady_clock::time_point wall;
    std::chrono::nanoseconds processor;

    static TurnStamp Now()
    {
        timespec used{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
        return {std::chrono::steady_clock::now(), std::chrono::seconds(used.tv_sec) + std::chrono::nanoseconds(used.tv_nsec)};
    }
};

struct Driver {
    std::mutex lock;
    bool loaded = false;
    int frame = 0;
    size_t next = 0;
    std::vector<AutomationAction> actions;
    AutomationShot shot;
    // The file a wait holds the script for (empty when none holds), its picture and how many
    // calls it has held.
    std::string waitFor;
    std::string waitPicture;
    int heldCalls = 0;
    // With a fixed step, the clocks move by this much once a frame and stand still otherwise.
    uint64_t frameStepNanoseconds = 0;
    // When the last turn of the main loop, counted or not, was played.
    std::optional<std::chrono::steady_clock::time_point> lastTurn;
    // When the automation's own work of the last turn ended: what follows until the next turn
    // is the program's frame. The turns and the longest of them since the last frames line, in
    // real time and in the processor time of the loop's thread.
    std::optional<TurnStamp> ownWorkEnded;
    int measuredTurns = 0;
    std::chrono::steady_clock::duration longestTurn{};
    std::chrono::nanoseconds longestProcessor{};

    // Counts the program's frame that ended at `now`.
    void MeasureTurn(const TurnStamp& now)
    {
        if (!ownWorkEnded)
            return;
        ++measuredTurns;
        longestTurn = std::max(longestTurn, now.wall - ownWorkEnded->wall);
        longestProcessor = std::max(longestProcessor, now.processor - ownWorkEnded->processor);
    }
    // Writes "<frames> <longest> <longest processor time>" (milliseconds) to the file and starts
    // counting afresh.
    void ReportFrames(const AutomationAction& action)
    {
        using Milliseconds = std::chrono::duration<double, std::milli>;
        char line[96];
        std::snprintf(line, sizeof line, "%d %.1f %.1f\n", measuredTurns, Milliseconds(longestTurn).count(),
                      Milliseconds(longestProcessor).count());
        if (!SaveFileAtomically(action.text, line))
            std::cerr << "[automation] frame " << action.frame << ": the frame times could not be written to "
                      << action.text << '\n';
        measuredTurns = 0;
        longestTurn = {};
        longestProcessor = {};
    }
};

Driver& TheDriver()
{
    static Driver driver;
    return driver;
}

void LoadFromEnvironment(Driver& driver)
{
    driver.loaded = true;
    const char* file = std::getenv("QUIBLY_AUTOMATION");
    if (!file || !*file)
        return;
    std::string script;
    if (!ReadWholeFile(file, script)) {
        std::cerr << "[automation] cannot read the script " << file << '\n';
        return;
    }
    driver.actions = ParseAutomationScript(script, file, std::cerr);
    if (const char* step = std::getenv("QUIBLY_AUTOMATION_FRAME_MS")) {
        char* end = nullptr;
        const double milliseconds = std::strtod(step, &end);
        if (end != step && milliseconds > 0.0 && milliseconds <= 1000.0) {
            driver.frameStepNanoseconds = static_cast<uint64_t>(milliseconds * 1e6);
            UseManualClock(true);
        } else {
            std::cerr << "[automation] QUIBLY_AUTOMATION_FRAME_MS must be a number of milliseconds from 0 to 1000\n";
        }
    }
}

void Run(const AutomationAction& action, HWND window, const AutomationShot& shot)
{
    switch (action.verb) {
    case AutomationVerb::Key:
        InjectKey(window, action.key, true);
        break;
    case AutomationVerb::KeyUp:
        InjectKey(window, action.key, false);
        break;
    case AutomationVerb::Move:
        InjectMouseMove(window, action.x, action.y);
        break;
    case AutomationVerb::Press:
        InjectMouseMove(window, action.x, action.y);
        InjectMouseButton(window, 1, true, action.x, action.y);
        break;
    case AutomationVerb::Release:
        InjectMouseButton(window, 1, false, action.x, action.y);
        break;
    case AutomationVerb::Click:
    case AutomationVerb::RightClick: {
        int button = action.verb == AutomationVerb::Click ? 1 : 3;
        InjectMouseMove(window, action.x, action.y);
        InjectMouseButton(window, button, true, action.x, action.y);
        InjectMouseButton(window, button, false, action.x, action.y);
        break;
    }
    case AutomationVerb::Text:
        InjectImeResult(window, Widen(action.text));
        break;
    case AutomationVerb::Shot:
        if (!shot || !shot(action.text))
            std::cerr << "[automation] frame " << action.frame << ": no picture could be saved to " << action.text
                      << '\n';
        break;
    case AutomationVerb::Dialog:
        if (action.cancel)
            QueueDialogAnswer(std::nullopt);
        else
            QueueDialogAnswer(Widen(action.text));
        break;
    case AutomationVerb::Quit:
        PostQuitMessage(0);
        break;
    case AutomationVerb::Wait:  // held by the driver, never run
    case AutomationVerb::Frames:  // written by the driver, never run
        break;
    }
}

// Saves the screen beside the picture and renames it into place, so whoever watches the
// picture never reads half a file.
void SaveWholePicture(const AutomationShot& shot, const std::string& picture)
{
    const std::string part = picture + ".part";
    std::error_code error;
    if (shot && shot(part))
        std::filesystem::rename(ResolvePath(part), ResolvePath(picture), error);
    else
        error = std::make_error_code(std::errc::io_error);
    if (error)
        std::cerr << "[automation] no picture could be saved to " << picture << " while waiting\n";
}

} // namespace

std::vector<AutomationAction> ParseAutomationScript(std::string_view script, std::string_view source,
                                                    std::ostream& errors)
{
    std::vector<AutomationAction> actions;
    int lineNumber = 0;
    while (!script.empty()) {
        size_t end = script.find('\n');
        std::string_view line = Trim(script.substr(0, end));
        script = end == std::string_view::npos ? std::string_view{} : script.substr(end + 1);
        ++lineNumber;
        if (line.empty() || line.front() == '#')
            continue;
        std::string_view rest = line;
        std::optional<int> frame = ParseInt(NextWord(rest), 10, 0, INT_MAX - 1);
        std::string_view verb = NextWord(rest);
        AutomationAction action;
        std::string error = !frame ? std::string("the line must begin with a frame number")
                                   : ParseArguments(verb, rest, action);
        if (!error.empty()) {
            errors << source << ':' << lineNumber << ": " << error << '\n';
            continue;
        }
        action.frame = *frame;
        actions.push_back(action);
        if (action.verb == AutomationVerb::Key || action.verb == AutomationVerb::Press) {
            action.verb = action.verb == AutomationVerb::Key ? AutomationVerb::KeyUp : AutomationVerb::Release;
            action.frame += 1;
            actions.push_back(action);
        }
    }
    std::stable_sort(actions.begin(), actions.end(),
                     [](const AutomationAction& a, const AutomationAction& b) { return a.frame < b.frame; });
    return actions;
}

void SetAutomationShot(AutomationShot shot)
{
    std::lock_guard guard(TheDriver().lock);
    TheDriver().shot = std::move(shot);
}

void StartAutomation(std::vector<AutomationAction> actions)
{
    Driver& driver = TheDriver();
    std::lock_guard guard(driver.lock);
    driver.loaded = true;
    driver.frame = 0;
    driver.next = 0;
    driver.actions = std::move(actions);
    driver.waitFor.clear();
    driver.measuredTurns = 0;
    driver.longestTurn = {};
    driver.longestProcessor = {};
}

void StopAutomation()
{
    Driver& driver = TheDriver();
    std::lock_guard guard(driver.lock);
    driver.loaded = false;
    driver.frame = 0;
    driver.next = 0;
    driver.actions.clear();
    driver.waitFor.clear();
    driver.shot = nullptr;
    if (driver.frameStepNanoseconds > 0)
        UseManualClock(false);
    driver.frameStepNanoseconds = 0;
    driver.lastTurn.reset();
    driver.ownWorkEnded.reset();
    driver.measuredTurns = 0;
    driver.longestTurn = {};
    driver.longestProcessor = {};
    driver.longestProcessor = {};
}

void AutomationFrame(HWND window)
{
    Driver& driver = TheDriver();
    std::vector<AutomationAction> due;
    AutomationShot shot;
    std::string picture;
    {
        std::lock_guard guard(driver.lock);
        if (!driver.loaded)
            LoadFromEnvironment(driver);
        shot = driver.shot;
        const TurnStamp now = TurnStamp::Now();
        driver.lastTurn = now.wall;
        driver.MeasureTurn(now);
        if (driver.frameStepNanoseconds > 0)
            AdvanceManualClock(driver.frameStepNanoseconds);
        if (!driver.waitFor.empty() && !FileExists(driver.waitFor)) {
            if (!driver.waitPicture.empty() && driver.heldCalls % kHeldFramesPerPicture == 0)
                picture = driver.waitPicture;
            ++driver.heldCalls;
        } else {
            // The frame a wait began in goes on with the lines after it once the file is there.
            driver.waitFor.clear();
            while (driver.next < driver.actions.size() && driver.actions[driver.next].frame <= driver.frame) {
                const AutomationAction& action = driver.actions[driver.next++];
                if (action.verb == AutomationVerb::Frames) {
                    driver.ReportFrames(action);
                } else if (action.verb != AutomationVerb::Wait) {
                    due.push_back(action);
                } else if (!FileExists(action.text)) {
                    driver.waitFor = action.text;
                    driver.waitPicture = action.picture;
                    driver.heldCalls = 0;
                    break;
                }
            }
            if (driver.waitFor.empty())
                ++driver.frame;
        }
    }
    // The actions run outside the lock: a shot calls back into the program.
    for (const AutomationAction& action : due)
        Run(action, window, shot);
    if (!picture.empty())
        SaveWholePicture(shot, picture);
    std::lock_guard guard(driver.lock);
    driver.ownWorkEnded = TurnStamp::Now();
}

void AutomationUncountedTurn()
{
    Driver& driver = TheDriver();
    std::lock_guard guard(driver.lock);
    const TurnStamp stamp = TurnStamp::Now();
    const auto now = stamp.wall;
    driver.MeasureTurn(stamp);
    driver.ownWorkEnded = stamp;
    if (driver.frameStepNanoseconds > 0 && driver.lastTurn) {
        const auto step = std::min<std::chrono::steady_clock::duration>(now - *driver.lastTurn, kMaxUncountedStep);
        AdvanceManualClock(static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(step).count()));
    }
    driver.lastTurn = now;
}

} // namespace platform
