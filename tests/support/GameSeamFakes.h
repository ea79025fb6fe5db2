// Recording stand-ins for the game logic's seams: what the logic posted and played, and fixed
// animation lengths.
#pragma once

#include "board/GameSeams.h"

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

struct PostedMessage {
    int32_t id;
    std::vector<uint8_t> payload;
    PayloadReader Reader() const { return PayloadReader(payload.data(), payload.size()); }
};

class RecordingMessages : public IMessageSink {
public:
    void Post(int32_t id, const uint8_t* payload, size_t bytes) override
    {
        posted.push_back({id, std::vector<uint8_t>(payload, payload + bytes)});
    }
    std::vector<int32_t> Ids() const
    {
        std::vector<int32_t> ids;
        for (const auto& m : posted) ids.push_back(m.id);
        return ids;
    }
    // The messages with this id, in posting order.
    std::vector<PostedMessage> WithId(int32_t id) const
    {
        std::vector<PostedMessage> out;
        for (const auto& m : posted)
            if (m.id == id) out.push_back(m);
        return out;
    }
    void Clear() { posted.clear(); }
    std::vector<PostedMessage> posted;
};

// Keeps which keys play, so logic that tests IsPlaying sees what it started.
class RecordingSounds : public ISoundSink {
public:
    struct Call {
        int key;
        bool loop;
        float volume;
    };
    void Play(int key, bool loop, float volume) override
    {
        played.push_back(key);
        calls.push_back({key, loop, volume});
        playing.insert(key);
    }
    void Stop(int key) override
    {
        stopped.push_back(key);
        playing.erase(key);
    }
    bool IsPlaying(int key) override { return playing.count(key) != 0; }
    std::vector<int> played;
    // Every play with its loop flag and volume, in order.
    std::vector<Call> calls;
    std::vector<int> stopped;
    std::set<int> playing;
};

// Every scene lasts `fallback` seconds unless the table names it.
class FixedAnimationLengths : public IAnimationLengths {
public:
    explicit FixedAnimationLengths(float fallback = 1.0f) : fallback(fallback) {}
    float SceneLength(const std::string& file, const std::string& scene) override
    {
        auto it = lengths.find({file, scene});
        return it == lengths.end() ? fallback : it->second;
    }
    float fallback;
    std::map<std::pair<std::string, std::string>, float> lengths;
};
