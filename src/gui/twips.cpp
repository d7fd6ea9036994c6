#include "gui/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace tableau::gui {
namespace {

constexpr double kTwipsPerPollice = 1440.0;

double DpiX() {
    const QScreen* schermo = QGuiApplication::primaryScreen();
    return schermo != nullptr ? schermo->logicalDotsPerInchX() : 96.0;
}

double DpiY() {
    const QScreen* schermo = QGuiApplication::primaryScreen();
    return schermo != nullptr ? schermo->logicalDotsPerInchY() : 96.0;
}

int Arrotonda(double valore) {
    return static_cast<int>(std::lround(valore));
}

}  // namespace

int PixelX(int twips) {
    return Arrotonda(twips * DpiX() / kTwipsPerPollice);
}
int PixelY(int twips) {
    return Arrotonda(twips * DpiY() / kTwipsPerPollice);
}
int TwipsX(int pixel) {
    return Arrotonda(pixel * kTwipsPerPollice / DpiX());
}
int TwipsY(int pixel) {
    return Arrotonda(pixel * kTwipsPerPollice / DpiY());
}

QRect RettangoloTwips(int left, int top, int width, int height) {
    return {PixelX(left), PixelY(top), PixelX(width), PixelY(height)};
}

QSize DimensioneTwips(int width, int height) {
    return {PixelX(width), PixelY(height)};
}

}  // namespace tableau::gui
