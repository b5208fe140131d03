// velomira-card trips ROOT [--json|--gpx]: the card's recordings grouped into trips, with
// their figures, recordings and marks; --gpx writes every trip as a track.
#include <string>
#include <thread>

#include "cli/CommandSupport.h"
#include "cli/JsonWriter.h"
#include "cli/RecordingCommands.h"
#include "telemetry/TrackExport.h"
#include "trips/TrackCollector.h"
#include "trips/TrackReading.h"
#include "trips/TripBook.h"
#include "trips/TripFormat.h"

namespace velomira::cli {
namespace {

const char* MarkName(MarkKind kind)
{
    switch (kind) {
    case MarkKind::HardMove:
        return "hard-move";
    case MarkKind::LaneDepartureLeft:
        return "lane-departure-left";
    case MarkKind::LaneDepartureRight:
        return "lane-departure-right";
    case MarkKind::ForwardCollision:
        return "forward-collision";
    }
    return "";
}

void WriteFigures(JsonWriter& json, const TripFigures& f)
{
    json.Key("start").String(StampText(f.startMs));
    json.Key("end").String(StampText(f.endMs));
    json.Key("durationMs").Integer(f.durationMs());
    json.Key("distanceMetres").Number(f.distanceMetres);
    json.Key("maxSpeedKmh").Number(f.maxSpeedKmh);
    json.Key("averageMovingKmh").Number(f.averageMovingKmh);
    json.Key("eventRecordings").Integer(static_cast<std::int64_t>(f.eventRecordings));
    json.Key("unreadable").Integer(static_cast<std::int64_t>(f.unreadable));
}

std::string TripsJson(const TripBook& book)
{
    JsonWriter json;
    json.BeginArray();
    for (const Trip& trip : book.trips()) {
        json.BeginObject();
        const std::vector<TripRecording> members = book.Members(trip);
        WriteFigures(json, ComputeTripFigures(members));
        json.Key("recordings").BeginArray();
        for (std::size_t r = 0; r < members.size(); ++r) {
            const std::size_t index = trip.recordings[r];
            const TripSource& source = book.sources()[index];
            const RecordingTrack* track = book.TrackOf(index);
            json.BeginObject();
            json.Key("path").String(source.file);
            json.Key("kind").String(source.entry.kind);
            json.Key("readable").Bool(track != nullptr && track->readable);
            json.Key("durationMs").Integer(track != nullptr ? track->durationMs : 0);
            json.Key("fixes").Integer(
                static_cast<std::int64_t>(track != nullptr ? track->fixes.size() : 0));
            json.Key("marks").BeginArray();
            for (const TripMark* marked : TripMarks(members, r)) {
                const TripMark& mark = *marked;
                json.BeginObject();
                json.Key("kind").String(MarkName(mark.kind));
                json.Key("offsetMs").Integer(mark.offsetMs);
                json.Key("speedKmh").Number(mark.speedKmh);
                if (mark.kind == MarkKind::HardMove)
                    json.Key("g").Number(mark.valueG);
                if (mark.placed) {
                    json.Key("latitude").Number(mark.latitude);
                    json.Key("longitude").Number(mark.longitude);
                }
                json.EndObject();
            }
            json.EndArray();
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
    }
    json.EndArray();
    return json.Text() + "\n";
}

std::string TripsText(const TripBook& book)
{
    std::string out;
    for (const Trip& trip : book.trips()) {
        const std::vector<TripRecording> members = book.Members(trip);
        const TripFigures f = ComputeTripFigures(members);
        out += StampText(f.startMs) + " - " + StampText(f.endMs).substr(11) + "  "
            + FormatTripDuration(f.durationMs()) + "  " + FormatTripDistance(f.distanceMetres, 0)
            + "  max " + FormatTripSpeed(f.maxSpeedKmh, 0) + "  avg "
            + FormatTripSpeed(f.averageMovingKmh, 0) + "  " + std::to_string(f.recordingCount)
            + " recordings, " + std::to_string(f.eventRecordings) + " event, "
            + std::to_string(f.marks) + " marks\n";
        for (std::size_t r = 0; r < members.size(); ++r) {
            const std::size_t index = trip.recordings[r];
            const RecordingTrack* track = book.TrackOf(index);
            out += "  " + book.sources()[index].file;
            if (track == nullptr || !track->readable) {
                out += "  (cannot be read)\n";
                continue;
            }
            out += "\n";
            for (const TripMark* mark : TripMarks(members, r))
                out += "    " + FormatTripDuration(mark->offsetMs) + " " + MarkName(mark->kind)
                    + " " + FormatTripSpeed(mark->speedKmh, 0) + "\n";
        }
    }
    return out;
}

std::string TripsGpx(const TripBook& book)
{
    std::vector<NamedTrack> tracks;
    for (const Trip& trip : book.trips()) {
        NamedTrack named;
        named.name = StampText(ComputeTripFigures(book.Members(trip)).startMs);
        for (const std::size_t index : trip.recordings) {
            const RecordingTrack* track = book.TrackOf(index);
            if (track == nullptr || track->fixes.empty())
                continue;
            auto& segment = named.segments.emplace_back();
            for (const TrackFix& fix : track->fixes)
                segment.push_back({ { fix.latitude, fix.longitude },
                    fix.time.empty() ? std::nullopt : std::optional<std::string>(fix.time) });
        }
        tracks.push_back(std::move(named));
    }
    return TracksGpx(tracks);
}

} // namespace

int RunTripsCommand(std::span<char* const> args)
{
    constexpr std::string_view kUsage = "usage: trips ROOT [--json|--gpx]";
    std::string root;
    std::string format;
    for (const char* arg : args) {
        const std::string_view text = arg;
        if ((text == "--json" || text == "--gpx") && format.empty())
            format = text;
        else if (root.empty() && !text.starts_with("--"))
            root = text;
        else
            return BadInput(kUsage);
    }
    if (root.empty())
        return BadInput(kUsage);
    const auto drives = CardDrive(root);
    if (!drives)
        return kExitBadInput;
    bool complete = true;
    TripBook book(CardTripSources(std::string(1, kCardLetter) + ":", *drives, &complete));
    {
        TrackCollector collector(book.FilesNewestFirst(), ReadRecordingTrack,
            std::max(1u, std::thread::hardware_concurrency()), {});
        collector.Wait();
        for (auto& [position, track] : collector.TakeResults())
            book.SetTrack(book.SourceOfNewest(position), std::move(track));
    }
    book.Regroup();
    WriteOut(format == "--json" ? TripsJson(book)
            : format == "--gpx" ? TripsGpx(book)
                                : TripsText(book));
    if (!complete)
        return Negative("the card could not be read to its end: the trips are incomplete");
    return kExitSuccess;
}

} // namespace velomira::cli
