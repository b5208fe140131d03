#pragma once

#include <string>

namespace velomira {

// The texts of the trips window, its button on the list window and its menu entry.
enum class TripText {
    Trips, // the list window's button and menu entry, the window's title
    Start, // the trip list's columns
    End,
    Duration,
    Distance,
    MaxSpeed,
    AverageSpeed,
    Recordings,
    Events,
    Marks,
    ExportTrip,
    TrackFileTypes, // the export's save dialog
    Reading, // the progress bar: %v of %m
    NoCard,
    HardMove, // what a mark stands for
    LaneDepartureLeft,
    LaneDepartureRight,
    ForwardCollision,
    NoTrack, // a recording that could not be read
};

// The text in `language` (Korean, English, Japanese; every other value reads English).
std::string TripLabel(TripText text, int language);

} // namespace velomira
