#include "cli/TelemetryOutput.h"

#include <cmath>
#include <optional>

#include "cli/JsonWriter.h"
#include "telemetry/TelemetryParser.h"

namespace velomira {
namespace {

std::string Letter(char c)
{
    return c == 0 ? std::string() : std::string(1, c);
}

std::string Number(double value)
{
    return std::isfinite(value) ? ShortestDouble(value) : std::string();
}

// CSV text field: quoted when it holds a separator, a quote or a line break.
std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

bool AllDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// "2012-03-15T12:35:19.000Z" from ddmmyy and hhmmss[.sss]; nothing when either is not in
// that form.
std::optional<std::string> FixTime(const CGPSData& record)
{
    const std::string_view date(record.date.data());
    const std::string_view time(record.timeOfDay.data());
    if (date.size() != 6 || !AllDigits(date) || time.size() < 6 || !AllDigits(time.substr(0, 6)))
        return std::nullopt;
    std::string_view fraction = time.substr(6);
    if (!fraction.empty() && (fraction.front() != '.' || !AllDigits(fraction.substr(1))))
        return std::nullopt;
    std::string out = "20";
    out.append(date.substr(4, 2))
        .append("-")
        .append(date.substr(2, 2))
        .append("-")
        .append(date.substr(0, 2));
    out.append("T").append(time.substr(0, 2)).append(":").append(time.substr(2, 2)).append(":");
    out.append(time.substr(4, 2)).append(fraction).append("Z");
    return out;
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
        json.Key("northSouth").String(Letter(r.northSouth));
        json.Key("eastWest").String(Letter(r.eastWest));
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

std::string TelemetryCsv(const CTextData& store)
{
    std::string out = "index,x,y,z,x2,y2,z2,clock0,clock1,clock2,clock3,clock4,clock5";
    for (int w = 0; w < 11; ++w)
        out.append(",status").append(std::to_string(w));
    out += "\n";
    const auto samples = store.GSensorSamples();
    const auto statuses = store.DrivingStatuses();
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const GSensorSample& g = samples[i];
        out += std::to_string(i);
        for (double v : { g.x, g.y, g.z, g.x2, g.y2, g.z2 })
            out.append(",").append(Number(v));
        for (std::uint8_t b : g.clock)
            out.append(",").append(std::to_string(b));
        for (std::uint16_t w : statuses[i].words)
            out.append(",").append(std::to_string(w));
        out += "\n";
    }
    out += "\ntimeMs,fixValid,latitudeRaw,longitudeRaw,northSouth,eastWest,speedKmh,latitude,"
           "longitude\n";
    for (const CGPSData& r : store.GpsRecords()) {
        const std::string fields[] = { std::to_string(r.timeMs), std::to_string(r.fixValid),
            Number(r.latitudeRaw), Number(r.longitudeRaw), CsvField(Letter(r.northSouth)),
            CsvField(Letter(r.eastWest)), Number(r.speedKmh),
            Number(DegreesFromNmea(r.latitudeRaw)), Number(DegreesFromNmea(r.longitudeRaw)) };
        for (std::size_t f = 0; f < std::size(fields); ++f)
            out.append(f == 0 ? "" : ",").append(fields[f]);
        out += "\n";
    }
    return out;
}

std::string TelemetryGpx(const CTextData& store)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<gpx version=\"1.1\" creator=\"velomira-card\" "
                      "xmlns=\"http://www.topografix.com/GPX/1/1\">\n"
                      "  <trk>\n    <trkseg>\n";
    for (const CGPSData& r : store.GpsRecords()) {
        if (r.fixValid != 1)
            continue;
        const double latitude = DegreesFromNmea(r.latitudeRaw);
        const double longitude = DegreesFromNmea(r.longitudeRaw);
        if (!std::isfinite(latitude) || !std::isfinite(longitude) || std::fabs(latitude) > 90
            || std::fabs(longitude) > 180)
            continue;
        out.append("      <trkpt lat=\"").append(ShortestDouble(latitude));
        out.append("\" lon=\"").append(ShortestDouble(longitude)).append("\">");
        if (const auto time = FixTime(r))
            out.append("<time>").append(*time).append("</time>");
        out += "</trkpt>\n";
    }
    out += "    </trkseg>\n  </trk>\n</gpx>\n";
    return out;
}

} // namespace velomira
