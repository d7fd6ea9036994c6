#include "gui/qt_translation.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <memory>

namespace tableau::gui {
namespace {

// The texts of a text box's context menu without their shortcuts.
QStringList VociMenu(QLineEdit& casella) {
    const std::unique_ptr<QMenu> menu(casella.createStandardContextMenu());
    QStringList voci;
    for (const QAction* azione : menu->actions()) {
        if (!azione->isSeparator()) {
            voci << azione->text().section(QLatin1Char('\t'), 0, 0);
        }
    }
    return voci;
}

// Before the translation Qt speaks English; after it, the context menu of a text box (and
// every other text of Qt's own) is in Italian.
TEST(TraduzioneQtTest, TextBoxMenuInItalian) {
    QLineEdit casella;
    casella.setText(QStringLiteral("101"));
    EXPECT_TRUE(VociMenu(casella).contains(QStringLiteral("&Copy")));

    ASSERT_TRUE(CaricaTraduzioneQt());
    EXPECT_EQ(QCoreApplication::translate("QLineEdit", "&Undo"), QStringLiteral("Ann&ulla"));
    EXPECT_EQ(QCoreApplication::translate("QLineEdit", "&Paste"), QStringLiteral("&Incolla"));
    EXPECT_EQ(VociMenu(casella), (QStringList{"Ann&ulla", "&Rifai", "&Taglia", "&Copia", "&Incolla",
                                              "Elimina", "Seleziona tutto"}));
}

}  // namespace
}  // namespace tableau::gui
