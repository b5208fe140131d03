#include "playback/ffmpeg/MediaBackendInfo.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
}

namespace velomira {

namespace {
std::string VersionString(unsigned version)
{
    return std::to_string(AV_VERSION_MAJOR(version)) + "."
        + std::to_string(AV_VERSION_MINOR(version)) + "."
        + std::to_string(AV_VERSION_MICRO(version));
}
} // namespace

std::string MediaBackendVersions()
{
    return "libavformat " + VersionString(avformat_version()) + ", libavcodec "
        + VersionString(avcodec_version()) + ", libavutil " + VersionString(avutil_version());
}

} // namespace velomira
