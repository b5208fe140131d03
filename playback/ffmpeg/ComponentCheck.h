#pragma once

namespace velomira {

// 1 when the media components the player needs are present, else the first missing
// one: -1 no MP4/MOV or AVI demuxer, -2 no H.264 decoder, -3 no AAC decoder, -4 no
// `eq` (brightness) filter.
int CheckMediaComponents();

} // namespace velomira
