#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velomira {

class CTextData;
struct DrivingStatus;

// Plain geometry and texts of the telemetry panel below the video, in main-window client
// pixels. Each Compose function is a pure function of the store and the play position;
// the panel widget only paints what they return.

struct PixelPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PixelPoint&) const = default;
};

// Curve colours shared by the strip and the graph window: the first, second and third
// axis (x, y, z or x2, y2, z2); the speed curve uses the third.
enum class CurveAxis { X, Y, Z };

struct CurveSegment {
    PixelPoint from;
    PixelPoint to;
    CurveAxis axis = CurveAxis::X;
};

// Speed units of `speedUnit`.
inline constexpr int kUnitKmh = 0;
inline constexpr int kUnitMph = 1;

// km/h to the unit shown, the way the gauges and graphs convert: x 10 / 16, truncating.
int SpeedInUnit(int kmh, int speedUnit);

// --- Strip graph -------------------------------------------------------------------

// The strip is composed on a surface whose part from (216, 556), 431 by 85, is copied
// to the window at (216, 575).
inline constexpr int kStripCopyLeft = 216;
inline constexpr int kStripCopyTop = 556;
inline constexpr int kStripCopyWidth = 431;
inline constexpr int kStripCopyHeight = 85;
inline constexpr int kStripWindowTop = 575;
inline constexpr std::array<int, 5> kStripGridYs = { 560, 580, 600, 620, 640 };
inline constexpr int kStripGridRight = 668;

struct StripPicture {
    // In surface coordinates; the copy clips them.
    std::vector<CurveSegment> segments;
    std::optional<int> markerX; // the play-position marker from y 640 to 550
    std::array<std::string, 5> labels; // row k right-aligned in (216, 575 + 18k)-(255, 615 + 18k)
};

// `stripMode`: 0 first triple, 1 second triple, 2 speed.
StripPicture ComposeStrip(const CTextData& store, std::uint32_t positionMs,
    std::uint32_t durationMs, int stripMode, int speedUnit);

// The marker's x for the position; `segmentsDrawn` tells which cap applies.
std::optional<int> StripMarkerX(const CTextData& store, std::uint32_t positionMs,
    std::uint32_t durationMs, int stripMode, bool segmentsDrawn);

// A digest of everything the strip's curves depend on (the samples' values and speeds,
// the GPS list being empty or not, the duration, the mode and the unit): equal digests
// draw equal curves, so the curves are drawn again only when it changes.
inline constexpr std::size_t kStripKeySamples = 16384;
std::uint64_t StripContentKey(
    const CTextData& store, std::uint32_t durationMs, int stripMode, int speedUnit);

// --- Text lines --------------------------------------------------------------------

// A ddmm.mmmm value as degrees, minutes and seconds ("037 033 7.4 N"); the sign is carried
// only by the letter. A zero letter is shown as a space. `trailingSpaces` follow.
std::string NmeaPositionText(double raw, char letter, int trailingSpaces);

struct TextLines {
    // Date, sample clock, latitude, longitude; an empty line is not drawn.
    std::array<std::optional<std::string>, 4> lines;
    bool operator==(const TextLines&) const = default;
};

// The sample clock of the slot at the position; a slot without a clock shows the clock
// of the nearest earlier slot that has one (within `kClockLookBackSlots`), as the line
// last drawn during play did.
inline constexpr std::size_t kClockLookBackSlots = 1000;
TextLines ComposeTextLines(const CTextData& store, std::uint32_t positionMs,
    std::uint32_t durationMs, const std::string& currentDateText);

// --- Speedometer and compass -------------------------------------------------------

inline constexpr PixelPoint kSpeedometerCentre { 272, 511 };
inline constexpr PixelPoint kCompassCentre { 384, 510 };

// The needle's tip for a speed already in the unit shown and capped at 160.
PixelPoint SpeedNeedleTip(int speed);
// Word 0 of the sample's driving status in the unit shown, capped at 160.
int GaugeSpeed(std::uint16_t speedKmh, int speedUnit);

struct GaugePicture {
    int speed = 0;
    PixelPoint needleTip;
    PixelPoint compassEnd; // equal to the centre below 2: a dot
    bool operator==(const GaugePicture&) const = default;
};

GaugePicture ComposeGauge(
    const CTextData& store, std::uint32_t positionMs, std::uint32_t durationMs, int speedUnit);

// --- SMART box ---------------------------------------------------------------------

struct AssistState {
    int ahead = 0; // 0 none, 1 a vehicle, 2 a vehicle too close
    int left = 0; // 0 not recognised, 1 lane, 2 departing
    int right = 0;
};

AssistState AssistStateOf(const DrivingStatus& status);
// The picture for the state; nothing for a combination without one (the box then keeps
// its previous picture).
std::optional<int> SmartPictureFor(const AssistState& state);

struct SmartBoxPicture {
    std::optional<int> pictureId;
    std::string speedText; // "%3d"
    std::string unitText; // "km/h" or "mph"
};

SmartBoxPicture ComposeSmartBox(
    const CTextData& store, std::uint32_t positionMs, std::uint32_t durationMs, int speedUnit);

} // namespace velomira
