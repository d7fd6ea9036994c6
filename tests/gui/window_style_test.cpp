#include "gui/window_style.h"

#include <gtest/gtest.h>

namespace tableau::gui {
namespace {

// WCAG's reference points: black on white is 21:1 and a colour on itself 1:1, in either
// order; #767676 on white just passes 4.5:1 and #777777 just fails it; a very dark grey
// falls in the straight part of the sRGB curve.
TEST(WindowStyleTest, ContrastRatioFollowsWcag) {
    EXPECT_NEAR(RapportoContrasto(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(RapportoContrasto(Qt::white, Qt::black), 21.0, 1e-9);
    EXPECT_NEAR(RapportoContrasto(kSfondoElenchi, kSfondoElenchi), 1.0, 1e-9);
    EXPECT_NEAR(RapportoContrasto(QColor(0x76, 0x76, 0x76), Qt::white), 4.542, 0.001);
    EXPECT_NEAR(RapportoContrasto(QColor(0x77, 0x77, 0x77), Qt::white), 4.478, 0.001);
    EXPECT_NEAR(RapportoContrasto(QColor(10, 10, 10), Qt::black), 1.0607, 0.0001);
    EXPECT_NEAR(RapportoContrasto(Qt::red, Qt::white), 3.998, 0.001);
    // Colours given in other models are compared by their RGB.
    EXPECT_NEAR(RapportoContrasto(QColor::fromHsv(0, 0, 255), QColor::fromCmyk(0, 0, 0, 255)), 21.0,
                1e-6);
}

// The back colours stay as drawn; white on them, as the lists' highlight and the print
// menu's labels were, does not read; every text colour the windows put on them does.
TEST(WindowStyleTest, EveryTextColourReadsOnItsBackground) {
    EXPECT_EQ(kSfondoElenchi, QColor(255, 224, 192));
    EXPECT_EQ(kSfondoMenuStampa, QColor(128, 128, 255));
    EXPECT_LT(RapportoContrasto(Qt::white, kSfondoElenchi), 1.3);
    EXPECT_LT(RapportoContrasto(Qt::white, kSfondoMenuStampa), kContrastoMinimo);

    struct Coppia {
        const char* nome;
        QColor testo;
        QColor sfondo;
    };
    for (const Coppia& coppia : {
             Coppia{"testo degli elenchi", kTestoElenchi, kSfondoElenchi},
             Coppia{"voce evidenziata", kTestoSelezione, kSelezioneElenchi},
             Coppia{"etichette del menu di stampa", kTestoMenuStampa, kSfondoMenuStampa},
         }) {
        EXPECT_GE(RapportoContrasto(coppia.testo, coppia.sfondo), kContrastoMinimo) << coppia.nome;
    }
}

}  // namespace
}  // namespace tableau::gui
