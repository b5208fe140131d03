#include "telemetry/TrackExport.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "telemetry/TelemetryParser.h"

namespace velomira {
namespace {

std::string ShortestDouble(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string Number(double value)
{
    return std::isfinite(value) ? ShortestDouble(value) : std::string();
}

std::string LetterText(char c)
{
    return c == 0 ? std::string() : std::string(1, c);
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

// Text for an XML element or attribute.
std::string XmlText(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
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

} // namespace

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

std::optional<FixPosition> ValidFixPosition(const CGPSData& record)
{
    if (record.fixValid != 1)
        return std::nullopt;
    const double latitude = DegreesFromNmea(record.latitudeRaw);
    const double longitude = DegreesFromNmea(record.longitudeRaw);
    if (!std::isfinite(latitude) || !std::isfinite(longitude) || std::fabs(latitude) > 90
        || std::fabs(longitude) > 180)
        return std::nullopt;
    return FixPosition { latitude, longitude };
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
            Number(r.latitudeRaw), Number(r.longitudeRaw), CsvField(LetterText(r.northSouth)),
            CsvField(LetterText(r.eastWest)), Number(r.speedKmh),
            Number(DegreesFromNmea(r.latitudeRaw)), Number(DegreesFromNmea(r.longitudeRaw)) };
        for (std::size_t f = 0; f < std::size(fields); ++f)
            out.append(f == 0 ? "" : ",").append(fields[f]);
        out += "\n";
    }
    return out;
}

namespace {

std::vector<TrackPointOut> StorePoints(const CTextData& store)
{
    std::vector<TrackPointOut> points;
    for (const CGPSData& r : store.GpsRecords()) {
        if (const auto position = ValidFixPosition(r))
            points.push_back({ *position, FixTime(r) });
    }
    return points;
}

} // namespace

std::string TracksGpx(const std::vector<NamedTrack>& tracks)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<gpx version=\"1.1\" creator=\"velomira-card\" "
                      "xmlns=\"http://www.topografix.com/GPX/1/1\">\n";
    for (const NamedTrack& track : tracks) {
        out += "  <trk>\n";
        if (!track.name.empty())
            out.append("    <name>").append(XmlText(track.name)).append("</name>\n");
        for (const auto& segment : track.segments) {
            out += "    <trkseg>\n";
            for (const TrackPointOut& point : segment) {
                out.append("      <trkpt lat=\"").append(ShortestDouble(point.position.latitude));
                out.append("\" lon=\"")
                    .append(ShortestDouble(point.position.longitude))
                    .append("\">");
                if (point.time)
                    out.append("<time>").append(*point.time).append("</time>");
                out += "</trkpt>\n";
            }
            out += "    </trkseg>\n";
        }
        out += "  </trk>\n";
    }
    out += "</gpx>\n";
    return out;
}

std::string TelemetryGpx(const CTextData& store)
{
    return TracksGpx({ NamedTrack { {}, { StorePoints(store) } } });
}

std::string TrackKml(const NamedTrack& track)
{
    // KML writes longitude first.
    const auto coordinates = [](const FixPosition& p) {
        return ShortestDouble(p.longitude) + "," + ShortestDouble(p.latitude);
    };
    const auto placemark = [&](const char* title, const TrackPointOut& point) {
        std::string out = "    <Placemark>\n      <name>" + std::string(title) + "</name>\n";
        if (point.time)
            out += "      <TimeStamp><when>" + *point.time + "</when></TimeStamp>\n";
        out += "      <Point><coordinates>" + coordinates(point.position)
            + "</coordinates></Point>\n    </Placemark>\n";
        return out;
    };
    const std::string name = XmlText(track.name);
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n  <Document>\n";
    out += "    <name>" + name + "</name>\n";
    const TrackPointOut* first = nullptr;
    const TrackPointOut* last = nullptr;
    for (const auto& segment : track.segments) {
        if (segment.empty())
            continue;
        first = first == nullptr ? &segment.front() : first;
        last = &segment.back();
        out += "    <Placemark>\n      <name>" + name
            + "</name>\n      <LineString>\n        <tessellate>1</tessellate>\n"
              "        <coordinates>\n";
        for (const TrackPointOut& point : segment)
            out += "          " + coordinates(point.position) + "\n";
        out += "        </coordinates>\n      </LineString>\n    </Placemark>\n";
    }
    if (first != nullptr) {
        out += placemark("Start", *first);
        out += placemark("End", *last);
    }
    out += "  </Document>\n</kml>\n";
    return out;
}

std::string TelemetryKml(const CTextData& store, const std::string& name)
{
    return TrackKml(NamedTrack { name, { StorePoints(store) } });
}

MomentFacts MomentAt(const CTextData& store, std::uint32_t positionMs)
{
    MomentFacts facts;
    if (store.trackCount() == 0)
        return facts;
    // The GPS records and the track points are parallel: one of each per RMC line.
    const std::size_t index = store.TrackIndexAt(positionMs);
    const TrackPoint& point = store.TrackPoints()[index];
    if (index < store.GpsRecords().size()) {
        const CGPSData& record = store.GpsRecords()[index];
        facts.time = FixTime(record);
        facts.position = ValidFixPosition(record);
        if (facts.position && std::isfinite(record.speedKmh))
            facts.speedKmh = record.speedKmh;
    }
    if (facts.position && (point.headingX != 0 || point.headingY != 0)) {
        double degrees
            = std::atan2(point.headingX, point.headingY) * 180.0 / 3.14159265358979323846;
        if (degrees < 0)
            degrees += 360.0;
        facts.headingDegrees = degrees;
    }
    return facts;
}

std::optional<TrackFormat> TrackFormatOfFileName(const std::string& fileName)
{
    const auto dot = fileName.rfind('.');
    if (dot == std::string::npos)
        return std::nullopt;
    std::string extension = fileName.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == "gpx")
        return TrackFormat::Gpx;
    if (extension == "kml")
        return TrackFormat::Kml;
    if (extension == "csv")
        return TrackFormat::Csv;
    return std::nullopt;
}

std::string TrackExportText(const CTextData& store, TrackFormat format, const std::string& name)
{
    switch (format) {
    case TrackFormat::Gpx:
        return TelemetryGpx(store);
    case TrackFormat::Kml:
        return TelemetryKml(store, name);
    case TrackFormat::Csv:
        return TelemetryCsv(store);
    }
    return {};
}

} // namespace velomira
