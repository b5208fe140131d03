#pragma once

// The 60-second recording the playback and export benchmarks measure on: front 1920x1080,
// rear 1280x720, 30 fps, AAC, made once with velomira-mkcard (VELOMIRA_MKCARD_PROGRAM) and
// kept in the benchmark's folder.
#include <cstdio>
#include <filesystem>
#include <string>

#include <QProcess>
#include <QString>

namespace velomira::bench {

// FOLDER/full.mp4, made when missing; empty when the generator fails.
inline std::string EnsureBenchRecording(const std::string& folder)
{
    std::filesystem::create_directories(folder);
    const std::string recording = folder + "/full.mp4";
    if (std::filesystem::exists(recording))
        return recording;
    std::printf("making %s ...\n", recording.c_str());
    std::fflush(stdout);
    QProcess mkcard;
    mkcard.start(VELOMIRA_MKCARD_PROGRAM,
        { "recording", QString::fromStdString(recording), "--duration", "60", "--front",
            "1920x1080", "--rear", "1280x720", "--fps", "30", "--audio", "aac" });
    mkcard.waitForFinished(-1);
    if (mkcard.exitStatus() != QProcess::NormalExit || mkcard.exitCode() != 0) {
        std::printf("velomira-mkcard failed\n");
        return {};
    }
    return recording;
}

} // namespace velomira::bench
