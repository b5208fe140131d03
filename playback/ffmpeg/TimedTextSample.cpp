#include "playback/ffmpeg/TimedTextSample.h"

#include <algorithm>

namespace velomira {

bool UnwrapTimedTextSample(std::vector<uint8_t>& sample)
{
    if (sample.size() < 2)
        return false;
    const size_t length = std::min<size_t>((sample[0] << 8) | sample[1], sample.size() - 2);
    sample.erase(sample.begin(), sample.begin() + 2);
    sample.resize(length);
    return true;
}

} // namespace velomira
