#include "net/OnlineSinks.h"

#include "board/GameSeams.h"
#include "board/GameSinks.h"

namespace {

IMessageSink* g_messages = nullptr;
ISoundSink* g_sounds = nullptr;

} // namespace

void SetOnlineSinks(IMessageSink* messages, ISoundSink* sounds)
{
    g_messages = messages;
    g_sounds = sounds;
}

IMessageSink& OnlineMessages()
{
    return g_messages ? *g_messages : GetSceneQueueSink();
}

ISoundSink& OnlineSounds()
{
    return g_sounds ? *g_sounds : GetSoundTableSink();
}
