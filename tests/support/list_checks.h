#pragma once
// Checks shared by the tests of the windows with lists (request window, print menu): the
// lists read well, closed and open, and give every entry whole in its tooltip.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QImage>

#include "gui/window_style.h"

namespace tableau::test {

// The list keeps its peach; its text, and in the popup the highlighted entry, read at the
// least contrast. The list must hold an entry to highlight; its popup is closed again.
inline void ExpectElencoLeggibile(QComboBox* elenco) {
    using namespace tableau::gui;
    SCOPED_TRACE(elenco->currentText().toStdString());
    ASSERT_GT(elenco->count(), 0);
    elenco->ensurePolished();
    const QPalette chiuso = elenco->palette();
    EXPECT_EQ(chiuso.color(QPalette::Button), kSfondoElenchi);
    EXPECT_GE(RapportoContrasto(chiuso.color(QPalette::ButtonText), chiuso.color(QPalette::Button)),
              kContrastoMinimo);
    EXPECT_GE(RapportoContrasto(chiuso.color(QPalette::HighlightedText),
                                chiuso.color(QPalette::Highlight)),
              kContrastoMinimo);

    if (elenco->currentIndex() < 0) {
        elenco->setCurrentIndex(0);
    }
    elenco->showPopup();
    QApplication::processEvents();
    QAbstractItemView* vista = elenco->view();
    const QPalette aperto = vista->palette();
    EXPECT_EQ(aperto.color(QPalette::Base), kSfondoElenchi);
    EXPECT_GE(RapportoContrasto(aperto.color(QPalette::Text), aperto.color(QPalette::Base)),
              kContrastoMinimo);
    EXPECT_GE(RapportoContrasto(aperto.color(QPalette::HighlightedText),
                                aperto.color(QPalette::Highlight)),
              kContrastoMinimo);
    // The highlighted entry as drawn: its background is the highlight, not the peach.
    const QRect riga = vista->visualRect(elenco->model()->index(elenco->currentIndex(), 0));
    const QImage disegno = vista->viewport()->grab().toImage();
    EXPECT_EQ(disegno.pixelColor(riga.left() + 2, riga.center().y()), kSelezioneElenchi);
    elenco->hidePopup();
}

// Every entry's tooltip is its whole text, and the list's tooltip its current entry.
inline void ExpectVociIntere(const QComboBox* elenco) {
    for (int i = 0; i < elenco->count(); ++i) {
        EXPECT_EQ(elenco->itemData(i, Qt::ToolTipRole).toString(), elenco->itemText(i));
    }
    EXPECT_EQ(elenco->toolTip(), elenco->currentText());
}

}  // namespace tableau::test
