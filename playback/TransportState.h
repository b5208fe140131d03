#pragma once

#include <cstdint>
#include <string>

namespace velomira {

// The main window's playback values, written by the transport commands and the tick,
// read by the displays. User-interface thread only.
struct TransportState {
    int currentIndex = -1; // list entry that is loaded; -1 none
    bool forceReload = false; // the next Play reloads even the current entry
    int speed = 1; // 1 normal, 2 double
    int volume = 50; // last volume slider value above 0 (0 .. 99)
    std::uint32_t positionMs = 0;
    std::uint32_t durationMs = 0;
    bool listReady = false; // the lists were filled and Play has run
    std::string currentDateText; // date column of the loaded entry
};

} // namespace velomira
