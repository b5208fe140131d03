#include "cli/TelemetryOutput.h"

#include "cli/JsonWriter.h"
#include "telemetry/TelemetryParser.h"

namespace velomira {
namespace {

std::string LetterText(char c)
{
    return c == 0 ? std::string() : std::string(1, c);
}

} // namespace

std::string TelemetryJson(const CTextData& store)
{
    JsonWriter json;
    json.BeginObject().Key("gps").BeginArray();
    for (const CGPSData& r : store.GpsRecords()) {
        json.BeginObject();
        json.Key("timeMs").Integer(r.timeMs);
        json.Key("fixValid").Integer(r.fixValid);
        json.Key("latitudeRaw").Number(r.latitudeRaw);
        json.Key("longitudeRaw").Number(r.longitudeRaw);
        json.Key("northSouth").String(LetterText(r.northSouth));
        json.Key("eastWest").String(LetterText(r.eastWest));
        json.Key("speedKmh").Number(r.speedKmh);
        json.Key("latitude").Number(DegreesFromNmea(r.latitudeRaw));
        json.Key("longitude").Number(DegreesFromNmea(r.longitudeRaw));
        json.EndObject();
    }
    json.EndArray().Key("gsensor").BeginArray();
    const auto samples = store.GSensorSamples();
    const auto statuses = store.DrivingStatuses();
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const GSensorSample& g = samples[i];
        json.BeginObject();
        json.Key("x").Number(g.x).Key("y").Number(g.y).Key("z").Number(g.z);
        json.Key("x2").Number(g.x2).Key("y2").Number(g.y2).Key("z2").Number(g.z2);
        json.Key("clock").BeginArray();
        for (std::uint8_t b : g.clock)
            json.Integer(b);
        json.EndArray().Key("status").BeginArray();
        for (std::uint16_t w : statuses[i].words)
            json.Integer(w);
        json.EndArray().EndObject();
    }
    json.EndArray().Key("track").BeginArray();
    for (const TrackPoint& p : store.TrackPoints()) {
        json.BeginObject();
        json.Key("speed").Integer(p.speed);
        json.Key("latitudeRaw").Number(p.latitudeRaw);
        json.Key("longitudeRaw").Number(p.longitudeRaw);
        json.Key("headingX").Integer(p.headingX);
        json.Key("headingY").Integer(p.headingY);
        json.Key("eastMetres").Number(p.eastMetres);
        json.Key("northMetres").Number(p.northMetres);
        json.EndObject();
    }
    json.EndArray();
    json.Key("timelineCount").Integer(static_cast<std::int64_t>(store.timelineCount()));
    json.EndObject();
    return json.Text() + "\n";
}

bool IsTelemetryFormatFlag(std::string_view flag)
{
    return flag == "--json" || flag == "--csv" || flag == "--gpx" || flag == "--kml";
}

std::string TelemetryText(const CTextData& store, std::string_view flag, const std::string& name)
{
    if (flag == "--csv")
        return TelemetryCsv(store);
    if (flag == "--gpx")
        return TelemetryGpx(store);
    if (flag == "--kml")
        return TelemetryKml(store, name);
    return TelemetryJson(store);
}

} // namespace velomira
