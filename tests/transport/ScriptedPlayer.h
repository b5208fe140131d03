#pragma once

#include <algorithm>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "playback/PlayerPort.h"
#include "playback/PlayerResults.h"

namespace velomira::test {

// A player that records what it is asked and answers from fields the test sets. Open,
// Run, Pause, Stop and Close change the state and answer as the real player does (the
// contract test runs one table against both): Open leaves a recording with pictures
// stopped (2), one without any fresh (3); Run and Stop refuse a graph in the wrong state
// with 0; every operation without a graph answers as the real player does.
class ScriptedPlayer : public PlayerPort {
public:
    struct Sample {
        std::vector<std::uint8_t> bytes;
        std::int32_t timeMs = 0;
    };

    // Answers.
    bool openSucceeds = true;
    int state = kStateNoGraph;
    std::uint64_t positionMs = 0;
    std::uint64_t durationMs = 2000;
    int videoStreams = 2;
    std::deque<Sample> samples; // handed out by PullTextSample, then endCode
    int endCode = kTextSamplesEnded;
    // When set, each Open takes its samples from the front of this queue.
    std::deque<std::deque<Sample>> samplesPerOpen;

    // What was asked.
    std::vector<std::string> opened;
    std::vector<float> rates;
    std::vector<std::int32_t> seeks;
    std::vector<std::uint32_t> waveOut;
    std::vector<int> volumes;
    int closes = 0;
    int pauses = 0;
    int runs = 0;
    int refreshes = 0;
    long pulls = 0;

    void SetSourceOption(std::uint8_t) override { }
    bool Open(const std::string& path) override
    {
        opened.push_back(path);
        if (!openSucceeds)
            return false;
        state = videoStreams > 0 ? kStateStopped : kStateFresh;
        positionMs = 0;
        if (!samplesPerOpen.empty()) {
            samples = samplesPerOpen.front();
            samplesPerOpen.pop_front();
        }
        return true;
    }
    bool Close() override
    {
        ++closes;
        state = kStateNoGraph;
        return true;
    }
    int Run() override
    {
        ++runs;
        if (state == kStateNoGraph)
            return 1;
        if (state != kStatePaused && state != kStateStopped)
            return 0;
        state = kStateRunning;
        return 1;
    }
    int Pause() override
    {
        ++pauses;
        if (state != kStateNoGraph)
            state = kStatePaused;
        return 1;
    }
    int Stop() override
    {
        if (state == kStateNoGraph)
            return 1;
        if (state != kStateRunning && state != kStatePaused)
            return 0;
        state = kStateStopped;
        return 1;
    }
    int SetRate(float rate) override
    {
        rates.push_back(rate);
        return state == kStateNoGraph ? 0 : 1;
    }
    int SeekMs(std::int32_t ms) override
    {
        seeks.push_back(ms);
        positionMs = static_cast<std::uint64_t>(ms < 0 ? 0 : ms);
        return 1;
    }
    int SkipBack(double seconds) override
    {
        if (state != kStateRunning && state != kStatePaused)
            return 0;
        const auto step = static_cast<std::uint64_t>(seconds * 1000);
        positionMs = positionMs > step ? positionMs - step : 0;
        return 1;
    }
    int SkipForward(double seconds) override
    {
        if (state != kStateRunning && state != kStatePaused)
            return 0;
        positionMs = std::min(durationMs, positionMs + static_cast<std::uint64_t>(seconds * 1000));
        return 1;
    }
    std::uint64_t PositionMs() const override { return state == kStateNoGraph ? 0 : positionMs; }
    std::uint64_t DurationMs() const override { return state == kStateNoGraph ? 0 : durationMs; }
    int State() const override { return state; }
    int VideoStreamCount() const override { return state == kStateNoGraph ? 0 : videoStreams; }
    int SetVolume(int volume) override
    {
        volumes.push_back(volume);
        return 1;
    }
    void SetWaveOutVolume(std::uint32_t volume) override { waveOut.push_back(volume); }
    int PullTextSample(std::uint8_t* buffer, std::uint32_t* capacity, std::int32_t* timeMs) override
    {
        ++pulls;
        if (samples.empty())
            return endCode;
        const Sample sample = samples.front();
        samples.pop_front();
        const auto n = std::min<std::size_t>(sample.bytes.size(), *capacity);
        std::memcpy(buffer, sample.bytes.data(), n);
        *capacity = static_cast<std::uint32_t>(n);
        *timeMs = sample.timeMs;
        return kResultOk;
    }
    void RefreshVideo(double) override { ++refreshes; }

    // An RMC line sample at `timeMs`.
    static Sample RmcSample(std::int32_t timeMs, bool fixValid = true)
    {
        const std::string line = fixValid
            ? "$GPRMC,123519.000,A,3733.1234,N,12700.5000,E,10.0,54.7,150312,,,A*6C"
            : "$GPRMC,123519.000,V,3733.1234,N,12700.5000,E,10.0,54.7,150312,,,A*7B";
        return { std::vector<std::uint8_t>(line.begin(), line.end()), timeMs };
    }
};

} // namespace velomira::test
