// The platform client of online play: the lobby connection and the game-message transport.
// Only its frame is declared here; the client itself comes with online play.
#pragma once

class VanteoSteamClient {
public:
    virtual ~VanteoSteamClient() = default;
    // Sends the queued game messages, posts the received ones into the scene queue and advances
    // the connection.
    virtual void RunFrame(float seconds) {}
};
