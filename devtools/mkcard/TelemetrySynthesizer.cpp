#include "devtools/mkcard/TelemetrySynthesizer.h"

#include <chrono>
#include <cmath>
#include <numbers>
#include <random>

#include "devtools/mkcard/GSensorSampleWriter.h"

namespace velomira {
namespace {

constexpr double kGravity = 9.80665;
constexpr double kMetresPerDegree = 111320.0;
constexpr double kCycleS = 40.0;
constexpr double kCruiseMs = 60.0 / 3.6;

// Speed in m/s and turn rate in degrees per second at a point of the 40-second cycle:
// stand 0-3, pull away 3-11, cruise 11-20, right turn 20-25, cruise 25-31, brake 31-37,
// stand 37-40.
struct Motion {
    double speedMs;
    double turnDegPerS;
    double accelMs2;
};

Motion MotionAt(double cycleS)
{
    if (cycleS < 3.0)
        return { 0.0, 0.0, 0.0 };
    if (cycleS < 11.0) {
        const double a = kCruiseMs / 8.0;
        return { a * (cycleS - 3.0), 0.0, a };
    }
    if (cycleS < 20.0)
        return { kCruiseMs, 0.0, 0.0 };
    if (cycleS < 25.0)
        return { kCruiseMs, 90.0 / 5.0, 0.0 };
    if (cycleS < 31.0)
        return { kCruiseMs, 0.0, 0.0 };
    if (cycleS < 37.0) {
        const double a = -kCruiseMs / 6.0;
        return { kCruiseMs + a * (cycleS - 31.0), 0.0, a };
    }
    return { 0.0, 0.0, 0.0 };
}

// Driver-assistance words for a point of the cycle: lanes seen from 30 km/h; departures to
// the right (16 s) and left (27 s) that warn, and departures while the warning is held (left
// during the turn with its indicator on, right while braking); the vehicle ahead while
// cruising (1) and while braking (2).
void AssistanceWords(double cycleS, double speedKmh, std::array<uint16_t, 11>& status)
{
    const auto during = [cycleS](double from, double to) { return cycleS >= from && cycleS < to; };
    const bool lanes = speedKmh >= 30.0;
    status[2] = during(20.0, 25.0) ? 1 : 0;
    status[3] = during(33.0, 35.0) ? 1 : 0;
    status[4] = lanes ? 1 : 0;
    status[5] = lanes ? 1 : 0;
    status[6] = (during(27.0, 28.0) || during(22.0, 23.0)) ? 1 : 0;
    status[7] = (during(16.0, 16.5) || during(33.5, 34.0)) ? 1 : 0;
    if (during(31.0, 37.0))
        status[9] = 2;
    else if (during(11.0, 31.0))
        status[9] = 1;
    else
        status[9] = 0;
}

struct State {
    double latDeg;
    double lonDeg;
    double headingDeg;
    Motion motion;
    double cycleS;
};

} // namespace

const std::vector<DriveRoute>& DriveRoutes()
{
    static const std::vector<DriveRoute> routes {
        { "seoul", 37.566500, 126.978000 },
        { "tokyo", 35.681200, 139.767100 },
        { "newyork", 40.758000, -73.985500 },
        { "sydney", -33.868800, 151.209300 },
        { "saopaulo", -23.550500, -46.633300 },
    };
    return routes;
}

const DriveRoute* FindDriveRoute(const std::string& name)
{
    for (const auto& route : DriveRoutes()) {
        if (route.name == name)
            return &route;
    }
    return nullptr;
}

CivilTime AddMilliseconds(const CivilTime& time, int64_t ms)
{
    using namespace std::chrono;
    const sys_days day
        = year_month_day { year { time.year }, month { static_cast<unsigned>(time.month) },
              std::chrono::day { static_cast<unsigned>(time.day) } };
    const auto point = time_point_cast<milliseconds>(day) + hours { time.hour }
        + minutes { time.minute } + seconds { time.second } + milliseconds { time.millisecond }
        + milliseconds { ms };
    const sys_days newDay = floor<days>(point);
    const year_month_day ymd { newDay };
    const hh_mm_ss clock { point - newDay };
    return CivilTime { static_cast<int>(ymd.year()), static_cast<int>(unsigned(ymd.month())),
        static_cast<int>(unsigned(ymd.day())), static_cast<int>(clock.hours().count()),
        static_cast<int>(clock.minutes().count()), static_cast<int>(clock.seconds().count()),
        static_cast<int>(clock.subseconds().count()) };
}

std::vector<TelemetrySample> SynthesizeDrive(const DriveOptions& options)
{
    std::mt19937_64 random(options.seed);
    const DriveRoute* route = FindDriveRoute(options.route);
    if (route == nullptr)
        route = &DriveRoutes().front();
    const double cycleOffsetS = static_cast<double>(5 + (options.seed * 7) % 30);
    const double startHeading = static_cast<double>(random() % 360);
    auto noise = [&](double amplitude) {
        return amplitude * (static_cast<double>(random() % 2001) / 1000.0 - 1.0);
    };

    const int rate = options.gSensorRateHz > 0 ? options.gSensorRateHz : 0;
    const uint32_t periodMs = rate > 0 ? std::max(1, 1000 / rate) : 1000;
    const uint32_t rmcOffsetMs = rate > 0 ? periodMs / 2 : 0;

    // Integrate the motion in 10-ms steps and take samples on the way.
    State state { route->latitudeDeg, route->longitudeDeg, startHeading, MotionAt(cycleOffsetS),
        cycleOffsetS };
    std::vector<TelemetrySample> samples;
    const std::string talker = options.gnrmc ? "GN" : "GP";
    uint32_t nextGSensorMs = 0;
    uint32_t nextRmcSecond = 0;
    constexpr uint32_t kStepMs = 1;
    // t is the drive's time, r the recording's: the drive may have begun before it.
    const uint32_t endMs = options.driveOffsetMs + options.durationMs;
    for (uint32_t t = 0; t < endMs; t += kStepMs) {
        const double timeS = t / 1000.0;
        state.cycleS = std::fmod(cycleOffsetS + timeS, kCycleS);
        state.motion = MotionAt(state.cycleS);
        const bool recording = t >= options.driveOffsetMs;
        const uint32_t r = t - options.driveOffsetMs;

        if (recording && rate > 0 && r == nextGSensorMs) {
            GSensorValues values;
            values.marker = (r / periodMs) % 2 == 0 ? 'M' : 'A';
            const double forwardG = state.motion.accelMs2 / kGravity + noise(0.02);
            const double sidewaysG = state.motion.speedMs
                    * (state.motion.turnDegPerS * std::numbers::pi / 180.0) / kGravity
                + noise(0.02);
            const double upG = 1.0 + noise(0.03);
            values.first = { FirstTripleCounts(sidewaysG), FirstTripleCounts(upG),
                FirstTripleCounts(forwardG) };
            values.second = { SecondTripleCounts(sidewaysG), SecondTripleCounts(upG - 1.0),
                SecondTripleCounts(forwardG) };
            const CivilTime now = AddMilliseconds(options.start, r);
            values.clock = { static_cast<uint8_t>(now.year - 2000), static_cast<uint8_t>(now.month),
                static_cast<uint8_t>(now.day), static_cast<uint8_t>(now.hour),
                static_cast<uint8_t>(now.minute), static_cast<uint8_t>(now.second) };
            const double speedKmh = state.motion.speedMs * 3.6;
            values.status[0] = static_cast<uint16_t>(std::lround(speedKmh));
            AssistanceWords(state.cycleS, speedKmh, values.status);
            samples.push_back({ r, WriteGSensorSample(values) });
            nextGSensorMs += periodMs;
        }
        if (recording && r == nextRmcSecond * 1000 + rmcOffsetMs) {
            std::optional<RmcFix> fix;
            if (nextRmcSecond % 10 != 2) {
                RmcFix f;
                f.latitudeDeg = state.latDeg;
                f.longitudeDeg = state.lonDeg;
                f.speedKnots = state.motion.speedMs * 3.6 / 1.852;
                f.courseDeg = std::fmod(state.headingDeg + 360.0, 360.0);
                fix = f;
            }
            const std::string line
                = WriteRmcSentence(talker, AddMilliseconds(options.start, r), fix);
            samples.push_back({ r, std::vector<uint8_t>(line.begin(), line.end()) });
            ++nextRmcSecond;
        }

        const double dt = kStepMs / 1000.0;
        const double headingRad = state.headingDeg * std::numbers::pi / 180.0;
        const double distance = state.motion.speedMs * dt;
        state.latDeg += distance * std::cos(headingRad) / kMetresPerDegree;
        state.lonDeg += distance * std::sin(headingRad)
            / (kMetresPerDegree * std::cos(state.latDeg * std::numbers::pi / 180.0));
        state.headingDeg += state.motion.turnDegPerS * dt;
    }
    return samples;
}

} // namespace velomira
