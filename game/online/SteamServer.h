// The game server that the host of an online match runs. Only its frame is declared here; the
// server itself comes with online play.
#pragma once

class CSteamServer {
public:
    virtual ~CSteamServer() = default;
    // One frame of the server: platform callbacks, network receive, client time-outs, game state.
    virtual void RunFrame() {}
};
