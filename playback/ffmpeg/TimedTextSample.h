#pragma once

#include <cstdint>
#include <vector>

namespace velomira {

// A timed-text (tx3g) sample is a 16-bit big-endian text length, the text, and optional
// style boxes: leaves only the text. False when the sample is too short to hold the
// length.
bool UnwrapTimedTextSample(std::vector<uint8_t>& sample);

} // namespace velomira
