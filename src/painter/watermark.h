#pragma once

#include <QImage>

namespace qe {

// The pale logo laid under every page: 480 x 720 pixels, white where it shows nothing. Made
// once per process and shared; copies of a QImage are cheap.
constexpr int kWatermarkWidth = 480;
constexpr int kWatermarkHeight = 720;
const QImage& watermarkImage();

// The same logo for devices that cannot combine colours by a bitwise AND (PDF, printers):
// white is fully transparent and every other pixel is translucent so that over white paper it
// shows exactly the logo's colour, and over anything drawn it only darkens.
const QImage& watermarkOverlay();

}  // namespace qe
