#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "devtools/mkcard/MediaWriter.h"
#include "devtools/mkcard/SettingsFileWriter.h"

namespace velomira {

enum class SetupFileMode { Default, BadChecksum, Short, SetupOnly, None };

struct CardOptions {
    std::filesystem::path outDir;
    uint64_t seed = 1;
    FactoryFileOptions factory;
    SetupFileMode setup = SetupFileMode::Default;
    int language = 1;
    std::optional<int> recordings; // instead of the standard set: this many recordings
    bool emptyRecordings = false; // tiny files that are named like recordings, not media
    std::filesystem::path image; // also write the card as a FAT32 image here
    // The recordings' media.
    uint32_t durationMs = 2000;
    VideoSize front { 320, 180 };
    std::optional<VideoSize> rear = VideoSize { 160, 90 };
    int fps = 30;
    AudioKind audio = AudioKind::Aac;
};

// One file the card writer puts on the card.
struct CardRecording {
    std::filesystem::path relativePath; // e.g. NORMAL/2024/0315/20240315_101010_NF.mp4
    bool telemetry = true;
    std::string route = "seoul";
    uint32_t durationMs = 2000;
    uint64_t seed = 1;
    uint32_t driveOffsetMs = 0; // continues the drive of the recording before it
};

// The standard set of recordings: every kind folder spelling, a nested date folder, an AVI,
// one recording without telemetry. A FAT-safe set uses only one spelling per folder name,
// since FAT compares names without regard to case.
std::vector<CardRecording> StandardCardRecordings(const CardOptions& options, bool fatSafe);

// Files that look like recordings but are not on the card's recording paths: in the root,
// in DCIM/, with other extensions, and (unless fatSafe) under the lower-case normal/.
std::vector<std::filesystem::path> NonRecordingFiles(bool fatSafe);

// Writes the card into options.outDir (created; existing files are overwritten): the root
// folder EVENT, the recordings, SETUP/data_factory.cfg, data_setup.cfg by options.setup, the
// non-recording files. Returns an empty string or what went wrong.
std::string WriteCard(
    const CardOptions& options, const std::vector<CardRecording>& recordings, bool fatSafe);

// The demo card: six 20-second full-size recordings (front 1920x1080, rear 1280x720, AAC,
// telemetry): one drive through Seoul in four parts and one through Tokyo in two; and a
// fifth part of the Seoul drive cut short by a power loss at 70% of its media data.
std::string WriteDemoCard(const std::filesystem::path& outDir);

// The settings file bytes a mode puts on the card (none for SetupFileMode::None).
std::vector<uint8_t> SetupFileBytes(SetupFileMode mode, int language);

} // namespace velomira
