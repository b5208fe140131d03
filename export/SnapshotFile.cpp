#include "export/SnapshotFile.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <future>
#include <memory>
#include <system_error>

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImageWriter>

#include <libexif/exif-data.h>

#include "playback/RecordingTelemetry.h"
#include "playback/ffmpeg/FrameGrabber.h"
#include "telemetry/CTextData.h"

namespace velomira {
namespace {

struct ExifDataDeleter {
    void operator()(ExifData* data) const { exif_data_unref(data); }
};

constexpr ExifByteOrder kOrder = EXIF_BYTE_ORDER_INTEL;

// A new entry of `components` values of `format` in `ifd`, owned by the EXIF data.
ExifEntry* AddEntry(
    ExifData* exif, ExifIfd ifd, ExifTag tag, ExifFormat format, unsigned components)
{
    ExifMem* mem = exif_mem_new_default();
    ExifEntry* entry = exif_entry_new_mem(mem);
    const unsigned size = exif_format_get_size(format) * components;
    entry->data = static_cast<unsigned char*>(exif_mem_alloc(mem, size));
    entry->size = size;
    entry->tag = tag;
    entry->components = components;
    entry->format = format;
    exif_content_add_entry(exif->ifd[ifd], entry);
    exif_mem_unref(mem);
    exif_entry_unref(entry);
    return entry;
}

void AddText(ExifData* exif, ExifIfd ifd, ExifTag tag, const std::string& text)
{
    ExifEntry* entry
        = AddEntry(exif, ifd, tag, EXIF_FORMAT_ASCII, static_cast<unsigned>(text.size() + 1));
    std::memcpy(entry->data, text.c_str(), text.size() + 1);
}

void AddRationals(
    ExifData* exif, ExifIfd ifd, ExifTag tag, std::initializer_list<ExifRational> values)
{
    ExifEntry* entry
        = AddEntry(exif, ifd, tag, EXIF_FORMAT_RATIONAL, static_cast<unsigned>(values.size()));
    unsigned i = 0;
    for (const ExifRational& value : values)
        exif_set_rational(entry->data + 8 * i++, kOrder, value);
}

ExifRational Rational(double value, unsigned denominator)
{
    return { static_cast<ExifLong>(std::llround(std::fabs(value) * denominator)), denominator };
}

// Degrees as degrees, minutes and seconds to a thousandth.
void AddCoordinate(ExifData* exif, ExifTag tag, double degrees)
{
    const double whole = std::floor(std::fabs(degrees));
    const double minutes = std::floor((std::fabs(degrees) - whole) * 60);
    const double seconds = ((std::fabs(degrees) - whole) * 60 - minutes) * 60;
    AddRationals(exif, EXIF_IFD_GPS, tag,
        { Rational(whole, 1), Rational(minutes, 1), Rational(seconds, 1000) });
}

// "YYYY:MM:DD HH:MM:SS" from "YYYY-MM-DDTHH:MM:SS[.sss]Z".
std::string ExifDateTime(const std::string& iso)
{
    std::string text = iso.substr(0, 19);
    text[4] = ':';
    text[7] = ':';
    text[10] = ' ';
    return text;
}

QByteArray ExifSegment(const SnapshotDetails& details)
{
    std::unique_ptr<ExifData, ExifDataDeleter> exif(exif_data_new());
    exif_data_set_byte_order(exif.get(), kOrder);
    exif_data_set_data_type(exif.get(), EXIF_DATA_TYPE_COMPRESSED);
    AddText(exif.get(), EXIF_IFD_0, EXIF_TAG_MAKE, "VELOMIRA");
    AddText(exif.get(), EXIF_IFD_0, EXIF_TAG_MODEL, "VELOMIRA6");
    AddText(exif.get(), EXIF_IFD_0, EXIF_TAG_SOFTWARE, "velomira-viewer");
    AddText(exif.get(), EXIF_IFD_0, EXIF_TAG_IMAGE_DESCRIPTION,
        details.recording + " at " + std::to_string(details.positionMs) + " ms");
    const MomentFacts& m = details.moment;
    if (m.time && m.time->size() >= 19) {
        // The dashcam's clock is UTC (GPS time): said so by the offset tag.
        AddText(exif.get(), EXIF_IFD_0, EXIF_TAG_DATE_TIME, ExifDateTime(*m.time));
        AddText(exif.get(), EXIF_IFD_EXIF, EXIF_TAG_DATE_TIME_ORIGINAL, ExifDateTime(*m.time));
        AddText(exif.get(), EXIF_IFD_EXIF, static_cast<ExifTag>(0x9011), "+00:00");
    }
    if (m.position) {
        ExifEntry* version = AddEntry(exif.get(), EXIF_IFD_GPS,
            static_cast<ExifTag>(EXIF_TAG_GPS_VERSION_ID), EXIF_FORMAT_BYTE, 4);
        const unsigned char v[4] = { 2, 2, 0, 0 };
        std::memcpy(version->data, v, 4);
        AddText(exif.get(), EXIF_IFD_GPS, static_cast<ExifTag>(EXIF_TAG_GPS_LATITUDE_REF),
            m.position->latitude < 0 ? "S" : "N");
        AddCoordinate(
            exif.get(), static_cast<ExifTag>(EXIF_TAG_GPS_LATITUDE), m.position->latitude);
        AddText(exif.get(), EXIF_IFD_GPS, static_cast<ExifTag>(EXIF_TAG_GPS_LONGITUDE_REF),
            m.position->longitude < 0 ? "W" : "E");
        AddCoordinate(
            exif.get(), static_cast<ExifTag>(EXIF_TAG_GPS_LONGITUDE), m.position->longitude);
        if (m.time && m.time->size() >= 19) {
            const std::string& t = *m.time;
            AddRationals(exif.get(), EXIF_IFD_GPS, static_cast<ExifTag>(EXIF_TAG_GPS_TIME_STAMP),
                { Rational(std::stod(t.substr(11, 2)), 1), Rational(std::stod(t.substr(14, 2)), 1),
                    Rational(std::stod(t.substr(17, t.size() - 18)), 1000) });
            AddText(exif.get(), EXIF_IFD_GPS, static_cast<ExifTag>(EXIF_TAG_GPS_DATE_STAMP),
                t.substr(0, 4) + ":" + t.substr(5, 2) + ":" + t.substr(8, 2));
        }
        if (m.speedKmh) {
            AddText(exif.get(), EXIF_IFD_GPS, static_cast<ExifTag>(EXIF_TAG_GPS_SPEED_REF), "K");
            AddRationals(exif.get(), EXIF_IFD_GPS, static_cast<ExifTag>(EXIF_TAG_GPS_SPEED),
                { Rational(*m.speedKmh, 100) });
        }
        if (m.headingDegrees) {
            AddText(exif.get(), EXIF_IFD_GPS, static_cast<ExifTag>(EXIF_TAG_GPS_IMG_DIRECTION_REF),
                "T");
            AddRationals(exif.get(), EXIF_IFD_GPS, static_cast<ExifTag>(EXIF_TAG_GPS_IMG_DIRECTION),
                { Rational(*m.headingDegrees, 100) });
        }
    }
    unsigned char* bytes = nullptr;
    unsigned int length = 0;
    exif_data_save_data(exif.get(), &bytes, &length);
    QByteArray segment;
    if (bytes == nullptr || length + 2 > 0xFFFF) {
        free(bytes);
        return segment;
    }
    // APP1 marker and length (big-endian, counting itself), then "Exif\0\0" and the TIFF data.
    segment.append('\xFF').append('\xE1');
    segment.append(static_cast<char>(((length + 2) >> 8) & 0xFF))
        .append(static_cast<char>((length + 2) & 0xFF));
    segment.append(reinterpret_cast<const char*>(bytes), static_cast<int>(length));
    free(bytes);
    return segment;
}

std::string Number(double value, int decimals)
{
    return QString::number(value, 'f', decimals).toStdString();
}

bool EndsWithPng(const std::string& path)
{
    const std::string extension = std::filesystem::path(path).extension().string();
    return QString::fromStdString(extension).compare(".png", Qt::CaseInsensitive) == 0;
}

} // namespace

bool WriteSnapshot(const QImage& image, const SnapshotDetails& details, const std::string& path,
    std::string& error)
{
    QByteArray file;
    if (EndsWithPng(path)) {
        QImage tagged = image;
        const MomentFacts& m = details.moment;
        tagged.setText("Recording", QString::fromStdString(details.recording));
        tagged.setText("PositionMs", QString::number(details.positionMs));
        if (m.time)
            tagged.setText("DateTimeUTC", QString::fromStdString(*m.time));
        if (m.position) {
            tagged.setText("GPSLatitude", QString::fromStdString(Number(m.position->latitude, 6)));
            tagged.setText(
                "GPSLongitude", QString::fromStdString(Number(m.position->longitude, 6)));
        }
        if (m.speedKmh)
            tagged.setText("SpeedKmh", QString::fromStdString(Number(*m.speedKmh, 2)));
        if (m.headingDegrees)
            tagged.setText("HeadingDegrees", QString::fromStdString(Number(*m.headingDegrees, 1)));
        QBuffer buffer(&file);
        buffer.open(QIODevice::WriteOnly);
        if (!tagged.save(&buffer, "PNG")) {
            error = "cannot encode the picture as PNG";
            return false;
        }
    } else {
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpeg");
        writer.setQuality(92);
        if (!writer.write(image) || jpeg.size() < 2) {
            error = "cannot encode the picture as JPEG: " + writer.errorString().toStdString();
            return false;
        }
        // The EXIF segment goes right after the start-of-image marker.
        file = jpeg.left(2) + ExifSegment(details) + jpeg.mid(2);
    }
    const std::string temporary = path + ".velomira-part";
    QFile out(QString::fromStdString(temporary));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(file) != file.size()
        || !out.flush()) {
        error = "cannot write " + path + ": " + out.errorString().toStdString();
        out.close();
        QFile::remove(QString::fromStdString(temporary));
        return false;
    }
    out.close();
    std::error_code renameError;
    std::filesystem::rename(temporary, path, renameError);
    if (renameError) {
        error = "cannot write " + path + ": " + renameError.message();
        QFile::remove(QString::fromStdString(temporary));
        return false;
    }
    return true;
}

bool SnapshotRecording(const std::string& recording, int output, std::int64_t positionMs,
    const std::string& path, std::string& error)
{
    // The telemetry is read beside the decoding: both open the file on their own.
    CTextData store;
    auto telemetry = std::async(std::launch::async,
        [&recording, &store] { return LoadRecordingTelemetry(recording, store).has_value(); });
    const auto picture = GrabPicture(recording, output, positionMs);
    const bool haveTelemetry = telemetry.get();
    if (!picture) {
        error = recording + ": no " + (output == 0 ? "front" : "rear") + " picture to decode there";
        return false;
    }
    SnapshotDetails details;
    details.recording = std::filesystem::path(recording).filename().string();
    details.positionMs = picture->timeMs;
    if (haveTelemetry)
        details.moment = MomentAt(store, static_cast<std::uint32_t>(picture->timeMs));
    return WriteSnapshot(picture->image, details, path, error);
}

} // namespace velomira
