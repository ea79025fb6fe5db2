#include "net/OnlineSinks.h"

#include "board/GameSeams.h"
#include "board/GameSinks.h"

namespace {

SinkOverride g_sinks;

} // namespace

void SetOnlineSinks(IMessageSink* messages, ISoundSink* sounds)
{
    g_sinks = {messages, sounds};
}

IMessageSink& OnlineMessages()
{
    return g_sinks.Messages();
}

ISoundSink& OnlineSounds()
{
    return g_sinks.Sounds();
}
