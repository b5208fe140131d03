#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <tuple>

#include "devtools/mkcard/TelemetrySynthesizer.h"

namespace velomira {
namespace {

bool IsText(const TelemetrySample& s)
{
    return !s.bytes.empty() && s.bytes[0] == '$';
}

std::string Text(const TelemetrySample& s)
{
    return std::string(s.bytes.begin(), s.bytes.end());
}

int Word(const TelemetrySample& s, size_t offset)
{
    return s.bytes[offset] | (s.bytes[offset + 1] << 8);
}

int Signed(const TelemetrySample& s, size_t offset)
{
    return static_cast<int16_t>(static_cast<uint16_t>(Word(s, offset)));
}

std::vector<std::string> Fields(const std::string& sentence)
{
    std::vector<std::string> out(1);
    for (char c : sentence.substr(0, sentence.find('*'))) {
        if (c == ',')
            out.emplace_back();
        else
            out.back() += c;
    }
    return out;
}

TEST(DriveSamples, ComeAtTheGSensorRateAndOneRmcLineASecondInTimeOrder)
{
    const struct {
        uint32_t durationMs;
        int rate;
        size_t gSamples, rmcLines;
    } cases[] = {
        { 4000, 10, 40, 4 },
        { 4500, 10, 45, 5 },
        { 3000, 1, 3, 3 },
        { 2000, 25, 50, 2 },
        { 1000, 0, 0, 1 },
        { 60000, 10, 600, 60 },
    };
    for (const auto& c : cases) {
        DriveOptions options;
        options.durationMs = c.durationMs;
        options.gSensorRateHz = c.rate;
        const auto samples = SynthesizeDrive(options);
        size_t g = 0, rmc = 0;
        for (size_t i = 0; i < samples.size(); ++i) {
            if (i > 0) {
                // Strictly increasing: no two samples share a millisecond.
                ASSERT_LT(samples[i - 1].timeMs, samples[i].timeMs)
                    << c.durationMs << "/" << c.rate;
            }
            ASSERT_LT(samples[i].timeMs, c.durationMs);
            if (IsText(samples[i])) {
                ++rmc;
            } else {
                ASSERT_EQ(samples[i].bytes.size(), 41u);
                ASSERT_TRUE(samples[i].bytes[0] == 'M' || samples[i].bytes[0] == 'A');
                ++g;
            }
        }
        EXPECT_EQ(g, c.gSamples) << c.durationMs << "/" << c.rate;
        EXPECT_EQ(rmc, c.rmcLines) << c.durationMs << "/" << c.rate;
    }
}

TEST(DriveSamples, RmcLinesHaveValidChecksumsAndSecondTwoOfEachTenHasNoFix)
{
    DriveOptions options;
    options.durationMs = 25000;
    int second = 0;
    for (const auto& s : SynthesizeDrive(options)) {
        if (!IsText(s))
            continue;
        const std::string line = Text(s);
        unsigned x = 0;
        const auto star = line.find('*');
        for (size_t i = 1; i < star; ++i)
            x ^= static_cast<unsigned char>(line[i]);
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", x);
        EXPECT_EQ(line.substr(star + 1), hex) << line;
        const auto f = Fields(line);
        EXPECT_EQ(f[0], "$GPRMC");
        if (second % 10 == 2) {
            EXPECT_EQ(f[2], "V") << line;
            EXPECT_EQ(f[3], "") << line;
        } else {
            EXPECT_EQ(f[2], "A") << line;
            EXPECT_EQ(f[4], "N");
            EXPECT_EQ(f[6], "E");
        }
        ++second;
    }
    EXPECT_EQ(second, 25);
}

TEST(DriveSamples, RouteChoosesHemispheresAndGnrmcTheTalker)
{
    const struct {
        const char* route;
        const char *ns, *ew;
    } cases[] = { { "seoul", "N", "E" }, { "tokyo", "N", "E" }, { "newyork", "N", "W" },
        { "sydney", "S", "E" }, { "saopaulo", "S", "W" } };
    for (const auto& c : cases) {
        DriveOptions options;
        options.route = c.route;
        options.gnrmc = true;
        for (const auto& s : SynthesizeDrive(options)) {
            if (!IsText(s))
                continue;
            const auto f = Fields(Text(s));
            EXPECT_EQ(f[0], "$GNRMC");
            if (f[2] == "A") {
                EXPECT_EQ(f[4], c.ns) << c.route;
                EXPECT_EQ(f[6], c.ew) << c.route;
            }
        }
    }
}

TEST(DriveSamples, SpeedWordFollowsTheRmcSpeedAndGravityPointsUp)
{
    DriveOptions options;
    options.durationMs = 40000; // a whole cycle: standing, driving, turning, braking
    const auto samples = SynthesizeDrive(options);
    double lastGpsKmh = -1;
    int moving = 0, standing = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        const auto& s = samples[i];
        if (IsText(s)) {
            const auto f = Fields(Text(s));
            lastGpsKmh = f[2] == "A" ? std::stod(f[7]) * 1.852 : -1;
            continue;
        }
        const int speed = Word(s, 19);
        if (lastGpsKmh >= 0 && samples[i - 1].timeMs + 60 >= s.timeMs) {
            // The sample right after an RMC line: same speed within the rounding and 50 ms.
            EXPECT_NEAR(speed, lastGpsKmh, 2.0) << s.timeMs;
        }
        (speed > 0 ? moving : standing)++;
        const double upG = (Signed(s, 3) - 2048) / 1024.0;
        EXPECT_NEAR(upG, 1.0, 0.1) << s.timeMs;
        EXPECT_NE(s.bytes[13], 0) << "clock present";
    }
    EXPECT_GT(moving, 100);
    EXPECT_GT(standing, 10);
}

TEST(DriveSamples, ACycleShowsEveryDriverAssistanceState)
{
    DriveOptions options;
    options.durationMs = 40000;
    std::set<std::tuple<int, int, int>> states; // (ahead, left, right) as a display reads them
    for (const auto& s : SynthesizeDrive(options)) {
        if (IsText(s))
            continue;
        const auto side = [&](size_t hold, size_t lane, size_t departure) {
            if (Word(s, 19 + 2 * lane) != 1)
                return 0;
            return Word(s, 19 + 2 * departure) != 0 && Word(s, 19 + 2 * hold) == 0 ? 2 : 1;
        };
        states.insert({ Word(s, 19 + 2 * 9), side(2, 4, 6), side(3, 5, 7) });
    }
    for (const auto& wanted : { std::tuple { 0, 0, 0 }, std::tuple { 1, 1, 1 },
             std::tuple { 1, 2, 1 }, std::tuple { 1, 1, 2 }, std::tuple { 2, 1, 1 } })
        EXPECT_TRUE(states.count(wanted))
            << std::get<0>(wanted) << std::get<1>(wanted) << std::get<2>(wanted);
}

TEST(DriveSamples, SameSeedSameDriveOtherSeedOtherDrive)
{
    DriveOptions a;
    a.seed = 42;
    DriveOptions b = a;
    DriveOptions c = a;
    c.seed = 43;
    EXPECT_EQ(SynthesizeDrive(a), SynthesizeDrive(b));
    EXPECT_NE(SynthesizeDrive(a), SynthesizeDrive(c));
}

TEST(DriveSamples, ALaterPartOfADriveContinuesWhereTheDriveIs)
{
    DriveOptions whole;
    whole.durationMs = 8000;
    DriveOptions second = whole;
    second.durationMs = 4000;
    second.driveOffsetMs = 4000;
    const auto rmcAt = [](const std::vector<TelemetrySample>& samples, uint32_t timeMs) {
        for (const auto& s : samples) {
            if (s.timeMs == timeMs && IsText(s))
                return Fields(Text(s));
        }
        return std::vector<std::string>();
    };
    const auto full = rmcAt(SynthesizeDrive(whole), 5050);
    const auto part = rmcAt(SynthesizeDrive(second), 1050);
    ASSERT_EQ(full.size(), 13u);
    ASSERT_EQ(part.size(), 13u);
    for (size_t i = 2; i <= 8; ++i)
        EXPECT_EQ(part[i], full[i]) << i;
}

TEST(CivilClock, AddsMillisecondsAcrossDayMonthYearAndLeapDay)
{
    const struct {
        CivilTime from;
        int64_t ms;
        CivilTime to;
    } cases[] = {
        { { 2023, 12, 31, 23, 59, 59, 500 }, 600, { 2024, 1, 1, 0, 0, 0, 100 } },
        { { 2024, 2, 28, 23, 59, 59, 0 }, 1000, { 2024, 2, 29, 0, 0, 0, 0 } },
        { { 2023, 2, 28, 23, 59, 59, 0 }, 1000, { 2023, 3, 1, 0, 0, 0, 0 } },
        { { 2024, 3, 15, 10, 10, 10, 0 }, 3723004, { 2024, 3, 15, 11, 12, 13, 4 } },
    };
    for (const auto& c : cases) {
        const CivilTime t = AddMilliseconds(c.from, c.ms);
        EXPECT_EQ(std::tie(t.year, t.month, t.day, t.hour, t.minute, t.second, t.millisecond),
            std::tie(c.to.year, c.to.month, c.to.day, c.to.hour, c.to.minute, c.to.second,
                c.to.millisecond));
    }
}

} // namespace
} // namespace velomira
