#include "gui/screen_fit.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace tableau::gui {
namespace {

// A 1024x600 screen with a 32-pixel panel at the top, as its free area.
const QRect kArea(0, 32, 1024, 568);

TEST(ScreenFitTest, AFrameThatFitsStaysAsItIs) {
    EXPECT_EQ(RettangoloNelloSchermo(QRect(100, 100, 400, 300), kArea), QRect(100, 100, 400, 300));
    EXPECT_EQ(RettangoloNelloSchermo(kArea, kArea), kArea);
    EXPECT_EQ(RettangoloNelloSchermo(QRect(0, 32, 1, 1), kArea), QRect(0, 32, 1, 1));
}

// A frame partly outside is moved in by the least, each direction on its own; the panel's
// strip counts as outside.
TEST(ScreenFitTest, AFrameOutsideIsMovedInByTheLeast) {
    EXPECT_EQ(RettangoloNelloSchermo(QRect(-50, 100, 400, 300), kArea), QRect(0, 100, 400, 300));
    EXPECT_EQ(RettangoloNelloSchermo(QRect(100, 0, 400, 300), kArea), QRect(100, 32, 400, 300));
    EXPECT_EQ(RettangoloNelloSchermo(QRect(900, 400, 400, 300), kArea), QRect(624, 300, 400, 300));
    EXPECT_EQ(RettangoloNelloSchermo(QRect(5000, -5000, 400, 300), kArea),
              QRect(624, 32, 400, 300));
    // A free area that does not start at the screen's corner (a second screen, a left panel).
    EXPECT_EQ(RettangoloNelloSchermo(QRect(0, 0, 400, 300), QRect(1024, 0, 800, 600)),
              QRect(1024, 0, 400, 300));
}

// A frame larger than the free area is cut to it, in the direction it is larger only.
TEST(ScreenFitTest, AFrameTooLargeIsShrunkToTheArea) {
    // The preview at twice the scale on a 1024x600 screen: 635x492 on 512x300.
    EXPECT_EQ(RettangoloNelloSchermo(QRect(0, 0, 635, 492), QRect(0, 0, 512, 300)),
              QRect(0, 0, 512, 300));
    EXPECT_EQ(RettangoloNelloSchermo(QRect(300, 100, 2000, 300), kArea), QRect(0, 100, 1024, 300));
    EXPECT_EQ(RettangoloNelloSchermo(QRect(300, 100, 400, 900), kArea), QRect(300, 32, 400, 568));
}

class ScreenFitWindowTest : public ::testing::Test {
  protected:
    ScreenFitWindowTest()
        : area_(QGuiApplication::primaryScreen()->availableGeometry()),
          fuori_(area_.right() - 50, area_.bottom() - 50) {}

    // The window's frame lies inside the free area.
    void ExpectDentro(const QWidget& finestra) const {
        EXPECT_TRUE(area_.contains(finestra.frameGeometry()))
            << finestra.frameGeometry().x() << "," << finestra.frameGeometry().y() << " "
            << finestra.frameGeometry().width() << "x" << finestra.frameGeometry().height();
    }

    QRect area_;
    QPoint fuori_;  // a place that leaves most of a window outside the screen
};

// A window larger than the screen and placed outside it: resizable, it is shrunk and moved
// inside; of fixed size it keeps its size, from the free area's corner.
TEST_F(ScreenFitWindowTest, PlacedWindowsAreBroughtInside) {
    QWidget riducibile;
    riducibile.resize(area_.size() + QSize(300, 200));
    riducibile.move(fuori_);
    PortaNelloSchermo(&riducibile);
    ExpectDentro(riducibile);
    EXPECT_LE(riducibile.width(), area_.width());

    QWidget fissa;
    fissa.setFixedSize(300, 200);
    fissa.move(fuori_);
    PortaNelloSchermo(&fissa);
    EXPECT_EQ(fissa.size(), QSize(300, 200));
    ExpectDentro(fissa);

    QWidget enorme;
    enorme.setFixedSize(area_.size() + QSize(100, 100));
    enorme.move(fuori_);
    PortaNelloSchermo(&enorme);
    EXPECT_EQ(enorme.size(), area_.size() + QSize(100, 100));
    EXPECT_EQ(enorme.frameGeometry().topLeft(), area_.topLeft());
}

// A window the program never placed is left where the window manager puts it; only its
// size, title bar included, is brought within the free area.
TEST_F(ScreenFitWindowTest, UnplacedWindowsAreOnlyShrunk) {
    QWidget finestra;
    finestra.resize(area_.size() + QSize(300, 200));
    const QPoint posto = finestra.pos();
    PortaNelloSchermo(&finestra);
    EXPECT_EQ(finestra.pos(), posto);
    EXPECT_FALSE(finestra.testAttribute(Qt::WA_Moved));
    EXPECT_LE(finestra.frameGeometry().width(), area_.width());
    EXPECT_LT(finestra.height(), area_.height());

    QWidget piccola;
    piccola.resize(200, 100);
    PortaNelloSchermo(&piccola);
    EXPECT_EQ(piccola.size(), QSize(200, 100));
}

}  // namespace
}  // namespace tableau::gui
