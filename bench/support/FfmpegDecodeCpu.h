#pragma once

// The CPU the reference decoder spends on a recording: `ffmpeg -benchmark -threads 1`
// decoding the chosen streams into nothing. One decoding thread per stream, as the
// player's stages decode: frame threads cost CPU of their own, which would flatter a
// ratio against it.
#include <algorithm>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include <QProcess>
#include <QString>
#include <QStringList>

namespace velomira::bench {

// User + system seconds of one run; `input` holds the options before and including
// "-i FILE" and the -map options, nothing when ffmpeg did not run or printed no times.
inline std::optional<double> FfmpegDecodeCpuSeconds(const QStringList& input)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start("ffmpeg",
        QStringList { "-hide_banner", "-nostats", "-benchmark", "-threads", "1" } + input
            + QStringList { "-f", "null", "-" });
    if (!process.waitForFinished(-1) || process.exitCode() != 0)
        return std::nullopt;
    const std::string text = QString::fromUtf8(process.readAllStandardError()).toStdString();
    static const std::regex times("utime=([0-9.]+)s stime=([0-9.]+)s");
    std::smatch match;
    if (!std::regex_search(text, match, times))
        return std::nullopt;
    return std::stod(match[1]) + std::stod(match[2]);
}

// The median of `runs` runs (a shared machine makes single runs differ by a third); 0
// when none gave a figure.
inline double FfmpegDecodeCpuMedian(const QStringList& input, int runs = 3)
{
    std::vector<double> figures;
    for (int run = 0; run < runs; ++run) {
        if (const auto seconds = FfmpegDecodeCpuSeconds(input))
            figures.push_back(*seconds);
    }
    if (figures.empty())
        return 0;
    std::sort(figures.begin(), figures.end());
    return figures[figures.size() / 2];
}

} // namespace velomira::bench
