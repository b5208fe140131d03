#include "playback/ffmpeg/ComponentCheck.h"

#include "playback/ffmpeg/FfmpegPtr.h"

namespace velomira {

int CheckMediaComponents()
{
    if (av_find_input_format("mov") == nullptr || av_find_input_format("avi") == nullptr)
        return -1;
    if (avcodec_find_decoder(AV_CODEC_ID_H264) == nullptr)
        return -2;
    if (avcodec_find_decoder(AV_CODEC_ID_AAC) == nullptr)
        return -3;
    if (avfilter_get_by_name("eq") == nullptr)
        return -4;
    return 1;
}

} // namespace velomira
