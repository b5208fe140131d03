#pragma once

#include <cstdint>

#include <QColor>
#include <QImage>

namespace velomira {

// Loads skin image `id` (resources/skin/<id>.png, compiled into the program) as a
// 32-bit RGB image. A missing id gives a null image; callers treat that as "no image".
QImage LoadSkinImage(int id);

// True when the program carries an image for `id`.
bool HasSkinImage(int id);

// A colour written as 0x00BBGGRR (red in the low byte).
QColor ColorFromBgr(std::uint32_t bgr);

} // namespace velomira
