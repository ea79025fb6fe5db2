// The pop-up base and the three message boxes.
//
// A pop-up owns the window tree of one layout, built fresh each time it opens and put in front
// of the scene's windows. It plays its opening animation, ignores clicks and keys while an
// animation runs, and once its closing animation has ended it destroys its window and posts
// its result as a scene message; the owning scene takes the message in the next frame. Scenes
// drive their pop-ups (Open, Update every frame, IsOpen) and nothing captures input: modality
// is the owners' convention.
//
// A layout without a UI animation director has nothing that runs, so its pop-up opens and
// closes at once instead of never closing. A click or key that the animation guard ignores
// changes nothing, so a yes/no box cannot flip its answer during its closing animation.
#pragma once

#include "board/GameSeams.h"

#include <cstdint>
#include <string>

#include "kv/KVEventArgs.h"
#include "kv/KVObject.h"
#include "kv/KVWnd.h"

// The pop-up messages of the scene-message vocabulary.
inline constexpr int32_t MSG_POPUP_OK = 2034;
inline constexpr int32_t MSG_POPUP_YES = 2035;
inline constexpr int32_t MSG_POPUP_NO = 2036;
inline constexpr int32_t MSG_CUBE_UNLOCK_CONFIRMED = 2037;
inline constexpr int32_t MSG_CUBE_UNLOCK_DECLINED = 2038;
inline constexpr int32_t MSG_CUBE_UNLOCK_SHORT = 2039;
inline constexpr int32_t MSG_OPTIONS_CLOSED = 2041;
inline constexpr int32_t MSG_SKIN_CHOSEN = 2042;
inline constexpr int32_t MSG_START_RESET_SELF = 2045;
inline constexpr int32_t MSG_START_CONFIRMED = 2046;
inline constexpr int32_t MSG_RESULT_RETRY = 2056;
inline constexpr int32_t MSG_RESULT_RETURN = 2057;
inline constexpr int32_t MSG_RESULT_NEXT = 2058;
inline constexpr int32_t MSG_RESULT_CONTINUE = 2059;
inline constexpr int32_t MSG_RESULT_RESET_SELF = 2060;
inline constexpr int32_t MSG_PAUSE_RESUME = 2061;
inline constexpr int32_t MSG_PAUSE_RETRY = 2062;
inline constexpr int32_t MSG_PAUSE_QUIT = 2063;
inline constexpr int32_t MSG_PAUSE_EXIT = 2064;

// Virtual-key codes the pop-ups read.
inline constexpr int kPopUpKeyBackspace = 8;
inline constexpr int kPopUpKeyEnter = 13;
inline constexpr int kPopUpKeyEscape = 27;
inline constexpr int kPopUpKeySpace = 32;

// Where every pop-up posts its messages and plays its sounds: the scene queue and the sound
// table, unless a test has installed recorders. Null restores the game's own.
void SetPopUpSinks(IMessageSink* messages, ISoundSink* sounds);
IMessageSink& PopUpMessages();
ISoundSink& PopUpSounds();

// Scores grouped by thousands, as the pop-ups show them: 1,234,567 / 45,000 / 999.
std::wstring GroupedScore(int score);

class VanteoPopUp {
public:
    VanteoPopUp() = default;
    // Ends the object only: a window still open stays in the window tree.
    virtual ~VanteoPopUp() = default;
    VanteoPopUp(const VanteoPopUp&) = delete;
    VanteoPopUp& operator=(const VanteoPopUp&) = delete;

    // Destroys the window at once, without a message.
    virtual void Close();
    // 1 when opened; every concrete pop-up overrides it.
    virtual int Open() { return 1; }
    virtual int StartClose() { return 1; }
    // The closing step without a message.
    virtual void Update(float seconds);
    virtual void BindEvents() {}
    virtual bool IsOpen() { return m_pWindow != nullptr; }

    // Fill "Label_title" and "Label_message" of the open window; nothing while closed or when
    // the layout lacks the label.
    void SetTitle(const wchar_t* text);
    void SetMessage(const wchar_t* text);

    kv::KVWnd* m_pWindow = nullptr;
    int m_bClosing = 0;

protected:
    // The open sequence: build the layout's window in front of the scene's windows, show it,
    // bind the buttons and play the opening animation. 0 (with a log line when the layout gives
    // no window) when already open or when no window came back.
    int OpenLayout(const std::string& layoutFile, const wchar_t* openingScene);
    // The same for a window already built by the caller; null is refused with a log line.
    int OpenWindow(kv::KVWnd* window, const char* what, const wchar_t* openingScene);

    // The child of that name (or path) in the window; null while closed or when missing.
    kv::KVWnd* Find(const wchar_t* name) const;
    // Shows or hides a child, when there is one.
    void ShowChild(const wchar_t* name, bool show) const;
    // Sets a label's text, when the label exists.
    void SetLabel(const wchar_t* name, const std::wstring& text) const;
    // SetLabel for texts from elsewhere (players' names): cut to the label's width.
    void SetFittedLabel(const wchar_t* name, const std::wstring& text) const;
    // Enables a child (its button back in its normal state, whose animation starts again) or
    // disables it (its active mark cleared), touching it only when its enabled state changes.
    void EnableChild(const wchar_t* name, bool enabled) const;
    // The music and effects mute pairs as the sound levels report them: the mute-off button
    // shown while not muted, the mute-on button while muted.
    void ShowMuteButtons() const;
    // Gives a volume slider the range 0 to 100 and the volume's position, rounded to the nearest
    // step so that the volume read back from it is the one it was given (0.29 stays 0.29).
    // Placing the thumb fires the slider's "PosChanged".
    void SetVolumeSlider(const wchar_t* name, float volume) const;
    // The volume a slider shows, 0 to 1; -1 when the slider is missing.
    float SliderVolume(const wchar_t* name) const;
    // Plays an animation of the window's UI director, when it has one of that name.
    void PlayScene(const std::wstring& name) const;
    // The window has a director whose current animation plays.
    bool IsAnimationRunning() const;

    // The closing button's step: refused while closed or while an animation runs; otherwise
    // the closing animation plays and closing is set. True when accepted.
    bool ButtonStep(const wchar_t* closingScene);
    // True when closing was set and its animation has ended.
    bool ClosingDone() const;
    // Detaches and destroys the window and clears the pop-up's state.
    void DestroyWindow();
    // Posts a message without payload, or with one 32-bit value.
    static void Post(int32_t id);
    static void Post(int32_t id, int32_t value);
    // The keyboard's once-per-press report of a key.
    static bool KeyPressed(int vk);

    // Binds a member function of a pop-up to the "Clicked" event (or another event) of the
    // named child; a child missing from the layout gets no handler.
    template <typename T>
    void Bind(const wchar_t* name, void (T::*handler)(kv::EventArgs&), const wchar_t* eventName = kv::EventClicked)
    {
        if (kv::KVWnd* child = Find(name))
            child->AddHandler(eventName, kv::MakeHandler(static_cast<T*>(this), handler));
    }
};

// A notice with one button: Enter, Backspace and Escape all answer OK. Posts MSG_POPUP_OK with
// the parameter.
class VanteoPopUp_OK : public VanteoPopUp {
public:
    static constexpr const char* kLayout = "data/warning_1btn.xml";

    int Open() override;
    void BindEvents() override;
    void Update(float seconds) override;
    void OnOk(kv::EventArgs& args);

    // Set by the owner after opening and copied into the message unchanged.
    int32_t m_nParam = 0;
};

// A question with yes and no: Enter answers yes, Backspace and Escape no. Posts MSG_POPUP_YES
// or MSG_POPUP_NO with the parameter.
class VanteoPopUp_OKCancel : public VanteoPopUp {
public:
    static constexpr const char* kLayout = "data/warning_2btn.xml";

    int Open() override;
    void BindEvents() override;
    void Update(float seconds) override;
    void OnYes(kv::EventArgs& args);
    void OnNo(kv::EventArgs& args);

    // 1 yes, 0 no; written only by an answer that starts the closing.
    int32_t m_nAnswer = 0;
    int32_t m_nParam = 0;

protected:
    int OpenBox(const char* layout);
    void Answer(int32_t answer);
};

// The yes/no box with a message of two lines.
class VanteoPopUp_OKCancel_2Line : public VanteoPopUp_OKCancel {
public:
    static constexpr const char* kLayout = "data/warning_2line_2btn.xml";

    int Open() override;
};
