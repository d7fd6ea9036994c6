#pragma once
// Window lengths are given in twips (1/1440 inch); on screen they become pixels by the
// screen's logical resolution.
#include <QRect>
#include <QSize>

namespace tableau::gui {

// Pixels of a horizontal / vertical length in twips.
int PixelX(int twips);
int PixelY(int twips);
// Twips of a horizontal / vertical length in pixels (rounded).
int TwipsX(int pixel);
int TwipsY(int pixel);

QRect RettangoloTwips(int left, int top, int width, int height);
QSize DimensioneTwips(int width, int height);

}  // namespace tableau::gui
