#pragma once

#include <filesystem>
#include <string>

namespace velomira {

// Rewrites the stream type (fccType of the 'strh' header) of stream streamIndex of an AVI
// file in place, e.g. from "dats" to "txts": FFmpeg's AVI muxer writes data streams but no
// text streams, and the dashcam's telemetry stream is a text stream. The header must
// currently hold expectedType. Readers give a stream its kind only from a format header
// ('strf'), which the muxer leaves out for data streams; when none follows the stream
// header, the first 8 bytes of the reserved 'JUNK' chunk after it become an empty 'strf'.
// Returns an empty string on success, else what went wrong.
std::string PatchAviStreamType(const std::filesystem::path& path, int streamIndex,
    const std::string& expectedType, const std::string& newType);

} // namespace velomira
