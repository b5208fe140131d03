#pragma once

#include <string>

#include "platform/DriveRoots.h"

namespace velomira {

// The values the viewer takes from the card. Main-window state, user-interface thread.
struct CardValues {
    int language = 0; // 0 Japanese, 1 English, 2 Korean; other values choose no text
    int speedUnit = 0; // 0 km/h, 1 mph
    std::string cardDrive; // "E:", empty without a card
};

// With -1: finds the card (storing its drive) and takes the language from word 146 of its
// settings file (root, else SETUP) when its factory file starts with P, L, K; no card gives
// 0; without a readable mark or settings file the language keeps its value. Any other
// value is taken as the language. Returns the language.
int ResolveLanguage(int value, const DriveRoots& drives, CardValues& values);

// With 2: finds the card (storing its drive); no card gives km/h; a card whose factory
// file carries the settings mark gives the unit of word 140 of its settings file (1 mph,
// anything else km/h); otherwise the unit stays. Any other value is taken as the unit.
// Returns the unit.
int ResolveSpeedUnit(int value, const DriveRoots& drives, CardValues& values);

} // namespace velomira
