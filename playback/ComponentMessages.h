#pragma once

#include "texts/MessageBoxService.h"

namespace velomira {

// Reports the result of the start-up media-component check (`CheckComponents`): a
// missing demuxer (-1) or H.264 decoder (-2) raises its message with an OK button; a
// missing AAC decoder (-3) or brightness filter (-4), and 1, show nothing. Start-up goes
// on in every case. Returns true when a box was shown.
bool ReportMissingComponents(int checkResult, int language, MessageBoxService& boxes);

} // namespace velomira
