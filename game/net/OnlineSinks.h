// Where the client, the game server and the lobby objects post their scene messages and play
// their sounds: the scene queue and the sound table, unless a test has installed recorders.
// Null restores the game's own.
#pragma once

class IMessageSink;
class ISoundSink;

void SetOnlineSinks(IMessageSink* messages, ISoundSink* sounds);
IMessageSink& OnlineMessages();
ISoundSink& OnlineSounds();
