#include "trips/Trips.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

namespace velomira {
namespace {

constexpr double kEarthRadiusMetres = 6371008.8;

std::optional<int> Digits(std::string_view text, std::size_t from, std::size_t count)
{
    if (from + count > text.size())
        return std::nullopt;
    int value = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

std::uint32_t RecordingDurationMs(const TripRecording& recording)
{
    return recording.track != nullptr && recording.track->readable ? recording.track->durationMs
                                                                   : 0;
}

std::span<const TrackFix> FixesOf(const TripRecording& recording)
{
    if (recording.track == nullptr)
        return {};
    return recording.track->fixes;
}

double Radians(double degrees)
{
    return degrees * std::numbers::pi / 180.0;
}

// Metres east and north of a reference point (an equirectangular plane, good for the
// distances a click is from a track).
struct Plane {
    double latitude0;
    double longitude0;
    double eastScale;
    Plane(double latitude, double longitude)
        : latitude0(latitude)
        , longitude0(longitude)
        , eastScale(std::cos(Radians(latitude)))
    { }
    std::pair<double, double> Of(const TrackFix& fix) const
    {
        return { Radians(fix.longitude - longitude0) * eastScale * kEarthRadiusMetres,
            Radians(fix.latitude - latitude0) * kEarthRadiusMetres };
    }
};

bool IsJump(const TrackFix& a, const TrackFix& b)
{
    return HaversineMetres(a.latitude, a.longitude, b.latitude, b.longitude) > kLongestBridgeMetres;
}

} // namespace

std::optional<std::int64_t> StampSeconds(std::string_view date, std::string_view time)
{
    if (date.size() != 10 || date[4] != '-' || date[7] != '-' || time.size() != 8 || time[2] != ':'
        || time[5] != ':')
        return std::nullopt;
    const auto y = Digits(date, 0, 4), mo = Digits(date, 5, 2), d = Digits(date, 8, 2);
    const auto h = Digits(time, 0, 2), mi = Digits(time, 3, 2), s = Digits(time, 6, 2);
    if (!y || !mo || !d || !h || !mi || !s || *h > 23 || *mi > 59 || *s > 59)
        return std::nullopt;
    using namespace std::chrono;
    const year_month_day ymd { year { *y }, month { static_cast<unsigned>(*mo) },
        day { static_cast<unsigned>(*d) } };
    if (!ymd.ok())
        return std::nullopt;
    return sys_days(ymd).time_since_epoch().count() * 86400LL + *h * 3600LL + *mi * 60LL + *s;
}

std::string StampText(std::int64_t msSince1970)
{
    using namespace std::chrono;
    const sys_time<milliseconds> point { milliseconds { msSince1970 } };
    const sys_days day = floor<days>(point);
    const year_month_day ymd { day };
    const hh_mm_ss clock { floor<seconds>(point - day) };
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d", static_cast<int>(ymd.year()),
        static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
        static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
        static_cast<int>(clock.seconds().count()));
    return text;
}

std::vector<Trip> GroupTrips(std::span<const TripRecording> recordings)
{
    std::vector<std::size_t> order(recordings.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return recordings[a].stampSeconds < recordings[b].stampSeconds;
    });
    std::vector<Trip> trips;
    std::int64_t tripEndMs = 0;
    for (const std::size_t index : order) {
        const TripRecording& recording = recordings[index];
        const std::int64_t startMs = recording.stampSeconds * 1000;
        if (trips.empty() || startMs - tripEndMs >= kTripGapMs) {
            trips.emplace_back();
            tripEndMs = startMs;
        }
        trips.back().recordings.push_back(index);
        tripEndMs = std::max(tripEndMs, startMs + RecordingDurationMs(recording));
    }
    std::reverse(trips.begin(), trips.end());
    return trips;
}

std::vector<TripRecording> TripMembers(std::span<const TripRecording> all, const Trip& trip)
{
    std::vector<TripRecording> members;
    members.reserve(trip.recordings.size());
    for (const std::size_t index : trip.recordings)
        members.push_back(all[index]);
    return members;
}

double HaversineMetres(double latitude1, double longitude1, double latitude2, double longitude2)
{
    const double dLatitude = Radians(latitude2 - latitude1);
    const double dLongitude = Radians(longitude2 - longitude1);
    const double a = std::sin(dLatitude / 2) * std::sin(dLatitude / 2)
        + std::cos(Radians(latitude1)) * std::cos(Radians(latitude2)) * std::sin(dLongitude / 2)
            * std::sin(dLongitude / 2);
    return 2 * kEarthRadiusMetres * std::asin(std::min(1.0, std::sqrt(a)));
}

std::vector<const TripMark*> TripMarks(std::span<const TripRecording> trip, std::size_t index)
{
    std::vector<const TripMark*> marks;
    const TripRecording& recording = trip[index];
    if (recording.track == nullptr)
        return marks;
    const TripRecording* previous = index > 0 ? &trip[index - 1] : nullptr;
    const bool follows = previous != nullptr && previous->track != nullptr
        && recording.stampSeconds * 1000
                - (previous->stampSeconds * 1000 + RecordingDurationMs(*previous))
            < kContinuedGapMs;
    for (const TripMark& mark : recording.track->marks) {
        const bool wasOn
            = follows && (previous->track->onAtEnd & (1u << static_cast<int>(mark.kind))) != 0;
        if (!(mark.atFirstSample && wasOn))
            marks.push_back(&mark);
    }
    return marks;
}

TripFigures ComputeTripFigures(std::span<const TripRecording> trip)
{
    TripFigures figures;
    if (trip.empty())
        return figures;
    figures.startMs = trip.front().stampSeconds * 1000;
    figures.endMs = figures.startMs;
    figures.recordingCount = trip.size();
    double movingSum = 0;
    std::size_t moving = 0;
    const TrackFix* previous = nullptr;
    for (std::size_t r = 0; r < trip.size(); ++r) {
        const TripRecording& recording = trip[r];
        figures.endMs = std::max(
            figures.endMs, recording.stampSeconds * 1000 + RecordingDurationMs(recording));
        figures.eventRecordings += recording.event ? 1 : 0;
        if (recording.track != nullptr && !recording.track->readable)
            ++figures.unreadable;
        figures.marks += TripMarks(trip, r).size();
        for (const TrackFix& fix : FixesOf(recording)) {
            if (previous != nullptr) {
                const double metres = HaversineMetres(
                    previous->latitude, previous->longitude, fix.latitude, fix.longitude);
                if (metres <= kLongestBridgeMetres)
                    figures.distanceMetres += metres;
            }
            previous = &fix;
            figures.maxSpeedKmh = std::max(figures.maxSpeedKmh, fix.speedKmh);
            if (fix.speedKmh >= kMovingKmh) {
                movingSum += fix.speedKmh;
                ++moving;
            }
        }
    }
    if (moving > 0)
        figures.averageMovingKmh = movingSum / static_cast<double>(moving);
    return figures;
}

std::vector<TripLine> TripLines(std::span<const TripRecording> trip)
{
    std::vector<TripLine> lines;
    const TrackFix* previous = nullptr;
    for (std::size_t r = 0; r < trip.size(); ++r) {
        bool open = false;
        for (const TrackFix& fix : FixesOf(trip[r])) {
            const bool joins = previous != nullptr && !IsJump(*previous, fix);
            if (!open || !joins) {
                lines.push_back({ r, joins && !open, {} });
                if (joins)
                    lines.back().fixes.push_back(previous);
                open = true;
            }
            lines.back().fixes.push_back(&fix);
            previous = &fix;
        }
    }
    return lines;
}

std::optional<TripMoment> NearestMoment(
    std::span<const TripRecording> trip, double latitude, double longitude)
{
    const Plane plane(latitude, longitude);
    std::optional<TripMoment> best;
    const auto offer = [&](std::size_t recording, double offsetMs, double metres) {
        if (!best || metres < best->distanceMetres)
            best = TripMoment { recording, static_cast<std::uint32_t>(std::lround(offsetMs)),
                metres };
    };
    // Lines are walked in time order, so the strict comparison keeps the earlier moment.
    std::size_t lastRecording = 0;
    for (const TripLine& line : TripLines(trip)) {
        const std::size_t previousRecording
            = line.continuesPrevious ? lastRecording : line.recording;
        lastRecording = line.recording;
        for (std::size_t i = 0; i < line.fixes.size(); ++i) {
            const TrackFix& b = *line.fixes[i];
            const auto [bx, by] = plane.Of(b);
            if (i == 0) {
                if (line.fixes.size() == 1)
                    offer(line.recording, b.offsetMs, std::hypot(bx, by));
                continue;
            }
            const TrackFix& a = *line.fixes[i - 1];
            const auto [ax, ay] = plane.Of(a);
            const double dx = bx - ax, dy = by - ay;
            const double length2 = dx * dx + dy * dy;
            const double t
                = length2 > 0 ? std::clamp(-(ax * dx + ay * dy) / length2, 0.0, 1.0) : 0.0;
            const double metres = std::hypot(ax + t * dx, ay + t * dy);
            const bool joinsRecordings = i == 1 && previousRecording != line.recording;
            if (joinsRecordings)
                offer(t <= 0.5 ? previousRecording : line.recording,
                    t <= 0.5 ? a.offsetMs : b.offsetMs, metres);
            else
                offer(line.recording, a.offsetMs + t * (double(b.offsetMs) - double(a.offsetMs)),
                    metres);
        }
    }
    return best;
}

} // namespace velomira
