#pragma once

#include <cstdint>

namespace velomira {

// Player states as `State` reports them.
enum PlayerState : int32_t {
    kStateRunning = 0,
    kStatePaused = 1,
    kStateStopped = 2,
    kStateFresh = 3,
    kStateNoGraph = -1,
};

// Result codes the player's operations and its text-sample pull use.
inline constexpr int32_t kResultOk = 0;
inline constexpr int32_t kResultNotReady = -1;
inline constexpr int32_t kResultFail = static_cast<int32_t>(0x80004005u);
inline constexpr int32_t kResultWrongState = static_cast<int32_t>(0x80040227u);
inline constexpr int32_t kResultPointer = static_cast<int32_t>(0x80004003u);
// The text-sample pull's "no more samples".
inline constexpr int32_t kTextSamplesEnded = 38;

} // namespace velomira
