// Where the game scenes hand the board events of a recorded game: the push mode's recorder
// plugs itself in; until one does, events go nowhere and finishing a recording does nothing.
// Tests install their own recorder to see what a scene passed on.
#pragma once

#include <cstdint>

class IBoardEventRecorder {
public:
    virtual ~IBoardEventRecorder() = default;
    // One event at `time` seconds of the board's play clock: `size` bytes of the message data
    // from its id word on.
    virtual void AppendRecordEvent(float time, const uint8_t* data, int32_t size) = 0;
    // Closes the current recording (copying it to `target` when one is given); false when
    // nothing was recorded or the copy failed.
    virtual bool FinishRecording(const char* target) = 0;
};

// The process-wide recorder; never null (a recorder that keeps nothing when none is set).
IBoardEventRecorder& GetBoardEventRecorder();
// Installs a recorder (null restores the one that keeps nothing); the caller keeps ownership.
void SetBoardEventRecorder(IBoardEventRecorder* recorder);
