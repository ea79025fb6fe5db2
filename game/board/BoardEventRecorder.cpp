#include "board/BoardEventRecorder.h"

#include <atomic>

namespace {

class NoRecorder : public IBoardEventRecorder {
public:
    void AppendRecordEvent(float, const uint8_t*, int32_t) override {}
    bool FinishRecording(const char*) override { return false; }
};

NoRecorder g_noRecorder;
std::atomic<IBoardEventRecorder*> g_recorder{nullptr};

} // namespace

IBoardEventRecorder& GetBoardEventRecorder()
{
    IBoardEventRecorder* recorder = g_recorder.load();
    return recorder ? *recorder : g_noRecorder;
}

void SetBoardEventRecorder(IBoardEventRecorder* recorder) { g_recorder.store(recorder); }
