// The achievements object that the main loop updates on every idle turn. Only the calls the
// loop makes are declared here; the achievements themselves come with online play.
#pragma once

class Achievements {
public:
    virtual ~Achievements() = default;
    // Requests the player's statistics once a user is logged on, then stores pending changes.
    virtual void Update() {}
    virtual void PostUpdate() {}
};
