#include "gui/anteprima.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cstdlib>

#include "gui/msgbox_routine.h"
#include "gui/twips.h"
#include "support/temp_dir.h"
#include "support/workstation.h"

namespace tableau::gui {
namespace {

using test::readFile;
using test::ScopedEnv;
using test::TempDir;
using test::writeFile;

// A chart of `righe` lines of 200 characters each, numbered, with a border at each end.
std::string Grafico(int righe) {
    std::string testo;
    for (int i = 1; i <= righe; ++i) {
        std::string riga = "\xB3 riga " + std::to_string(i) + " ";
        riga += std::string(199 - riga.size(), '.');
        riga += "\xB3";
        testo += riga + "\r\n";
    }
    return testo;
}

int RigheMostrate(const Anteprima& anteprima) {
    QString testo = anteprima.casellaPagina()->toPlainText();
    if (testo.endsWith(QLatin1Char('\n'))) {
        testo.chop(1);
    }
    return testo.isEmpty() ? 0 : static_cast<int>(testo.count(QLatin1Char('\n')) + 1);
}

class AnteprimaTest : public ::testing::Test {
  protected:
    AnteprimaTest() : postazione_("PCLocal", "3") {
        ImpostaRispostaAutomatica(Risposta::ok);
        DimenticaMessaggi();
    }
    ~AnteprimaTest() override { ImpostaRispostaAutomatica(std::nullopt); }

    std::unique_ptr<Anteprima> Apri() {
        auto anteprima = std::make_unique<Anteprima>(test::PostazioneDi(dir_.path()));
        anteprima->Form_Load();
        anteprima->show();
        return anteprima;
    }

    TempDir dir_;
    ScopedEnv postazione_;
};

TEST_F(AnteprimaTest, PagesByTheCharacterLimits) {
    writeFile(dir_ / "FD3", Grafico(150));
    auto anteprima = Apri();
    EXPECT_EQ(anteprima->windowTitle(), QStringLiteral("Anteprima di Stampa"));
    EXPECT_TRUE(anteprima->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(RigheMostrate(*anteprima), 100);
    EXPECT_EQ(anteprima->CaratteriLetti(), 20000);
    EXPECT_TRUE(anteprima->AltrePagine());
    EXPECT_TRUE(
        anteprima->casellaPagina()->toPlainText().startsWith(QStringLiteral("| riga 1 ...")));

    anteprima->tastoAvanti_Click();
    EXPECT_EQ(RigheMostrate(*anteprima), 50);
    EXPECT_TRUE(
        anteprima->casellaPagina()->toPlainText().startsWith(QStringLiteral("| riga 101 ")));
    EXPECT_FALSE(anteprima->AltrePagine());
    const QString ultima = anteprima->casellaPagina()->toPlainText();
    anteprima->tastoAvanti_Click();
    EXPECT_EQ(anteprima->casellaPagina()->toPlainText(), ultima);
    EXPECT_EQ(anteprima->focusWidget(), anteprima->casellaPagina());

    anteprima->tastoInizio_Click();
    EXPECT_EQ(RigheMostrate(*anteprima), 130);
    EXPECT_TRUE(anteprima->AltrePagine());

    // Access keys reach the buttons.
    EXPECT_EQ(anteprima->tastoAvanti()->text(), QStringLiteral("&Avanti"));
    EXPECT_EQ(anteprima->tastoSalva()->text(), QStringLiteral("Sa&lva"));
}

// The page above, then the buttons left to right as drawn: each whole inside the window,
// none over the next.
void ExpectDisposta(const Anteprima& anteprima) {
    const QRect finestra = anteprima.rect();
    const QRect pagina = anteprima.casellaPagina()->geometry();
    EXPECT_TRUE(finestra.contains(pagina));
    int finePrecedente = finestra.left();
    for (const QAbstractButton* tasto :
         {anteprima.tastoRiduci(), anteprima.tastoEspandi(), anteprima.tastoAvanti(),
          anteprima.tastoInizio(), anteprima.tastoEMail(), anteprima.tastoSalva(),
          anteprima.tastoEsci()}) {
        SCOPED_TRACE(tasto->text().toStdString());
        const QRect posto = tasto->geometry();
        EXPECT_TRUE(finestra.contains(posto));
        EXPECT_GT(posto.width(), 0);
        EXPECT_GT(posto.height(), 0);
        EXPECT_GE(posto.left(), finePrecedente);
        EXPECT_GT(posto.top(), pagina.bottom());
        finePrecedente = posto.right() + 1;
    }
}

// From the size drawn down to a small screen's, the window lays itself out again and every
// button stays inside it; at the size drawn or larger the buttons keep their drawn widths.
TEST_F(AnteprimaTest, EveryButtonStaysInsideASmallerWindow) {
    writeFile(dir_ / "FD3", Grafico(30));
    auto anteprima = Apri();
    for (const QSize dimensione : {DimensioneTwips(9525, 7380), QSize(512, 300), QSize(400, 240),
                                   QSize(320, 200), QSize(900, 700)}) {
        SCOPED_TRACE(std::to_string(dimensione.width()) + "x" +
                     std::to_string(dimensione.height()));
        anteprima->resize(dimensione);
        QApplication::processEvents();
        ASSERT_EQ(anteprima->size(), dimensione);
        ExpectDisposta(*anteprima);
        if (dimensione.width() >= PixelX(9525)) {
            EXPECT_EQ(anteprima->tastoRiduci()->geometry().left(), PixelX(84));
            EXPECT_EQ(anteprima->tastoRiduci()->width(), PixelX(975));
            EXPECT_EQ(anteprima->tastoSalva()->geometry().left(), PixelX(5640));
        }
    }
}

// Shown, the window is no larger than the screen's free area, title bar included, and laid
// out for the size it has: on a small screen (the test runs on one too) it is shrunk.
TEST_F(AnteprimaTest, ShownWithinTheScreen) {
    writeFile(dir_ / "FD3", Grafico(30));
    auto anteprima = Apri();
    QApplication::processEvents();
    const QRect area = anteprima->screen()->availableGeometry();
    EXPECT_LE(anteprima->frameGeometry().width(), area.width());
    EXPECT_LE(anteprima->frameGeometry().height(), area.height());
    if (area.width() >= PixelX(9525) + 20 && area.height() >= PixelY(7380) + 40) {
        EXPECT_EQ(anteprima->size(), DimensioneTwips(9525, 7380));
    }
    ExpectDisposta(*anteprima);
}

TEST_F(AnteprimaTest, ShortAndMissingCharts) {
    writeFile(dir_ / "fd3", "Luned\xEC \xDA\xC4\xBF\r\nDue\r\n");  // found without regard to case
    {
        auto anteprima = Apri();
        EXPECT_FALSE(anteprima->AltrePagine());
        EXPECT_EQ(anteprima->casellaPagina()->toPlainText(),
                  QString::fromUtf8("Lunedì ---\nDue\n"));
    }
    std::filesystem::remove(dir_ / "fd3");
    Anteprima senzaFile(test::PostazioneDi(dir_.path()));
    QTimer::singleShot(2000, &senzaFile, &QDialog::reject);  // a window shown by mistake
    senzaFile.mostra();
    EXPECT_FALSE(senzaFile.isVisible());
    EXPECT_FALSE(senzaFile.fileAperto());
}

TEST_F(AnteprimaTest, ZoomByOnePoint) {
    writeFile(dir_ / "FD3", Grafico(2));
    auto anteprima = Apri();
    EXPECT_DOUBLE_EQ(anteprima->casellaPagina()->font().pointSizeF(), 11.25);
    EXPECT_TRUE(anteprima->casellaPagina()->font().fixedPitch());
    anteprima->tastoRiduci_Click();
    EXPECT_DOUBLE_EQ(anteprima->casellaPagina()->font().pointSizeF(), 10.25);
    for (int i = 0; i < 40; ++i) {
        anteprima->tastoEspandi_Click();
    }
    EXPECT_DOUBLE_EQ(anteprima->casellaPagina()->font().pointSizeF(), 50.25);
    QFont piccolo = anteprima->casellaPagina()->font();
    piccolo.setPointSizeF(1);
    anteprima->casellaPagina()->setFont(piccolo);
    anteprima->tastoRiduci_Click();
    EXPECT_DOUBLE_EQ(anteprima->casellaPagina()->font().pointSizeF(), 1);
}

TEST_F(AnteprimaTest, SaveKeepsTheOtherPages) {
    const std::string grafico = Grafico(150);
    writeFile(dir_ / "FD3", grafico);
    auto anteprima = Apri();
    anteprima->tastoAvanti_Click();  // the second page: lines 101 to 150
    anteprima->casellaPagina()->setPlainText(QString::fromUtf8("Città modificata\nseconda riga\n"));
    anteprima->tastoSalva_Click();
    EXPECT_EQ(MessaggiMostrati(), 0);

    const std::string primaPagina = grafico.substr(0, 100 * 202);
    EXPECT_EQ(readFile(dir_ / "FD3"), primaPagina + "Citt\xE0 modificata\r\nseconda riga\r\n");
    // The box is left as it is; a second save replaces the same page again.
    EXPECT_FALSE(anteprima->AltrePagine());
    anteprima->casellaPagina()->setPlainText(QStringLiteral("una riga\n"));
    anteprima->tastoSalva_Click();
    EXPECT_EQ(readFile(dir_ / "FD3"), primaPagina + "una riga\r\n");
    // The file is read again from its start.
    anteprima->tastoInizio_Click();
    EXPECT_EQ(RigheMostrate(*anteprima), 101);
}

TEST_F(AnteprimaTest, EMailGoesToTheMailer) {
    writeFile(dir_ / "FD3", "Luned\xEC \xB3\r\n");
    TempDir bin;
    // The copy appears whole: the test reads it as soon as it exists.
    writeFile(bin / "Plicore.exe",
              "#!/bin/sh\ncp e-mail3.txt .consegna && mv .consegna consegnata.txt\n");
    std::filesystem::permissions(bin / "Plicore.exe", std::filesystem::perms::owner_all);
    {
        ScopedEnv percorso("PATH", (bin.path().string() + ":/usr/bin:/bin").c_str());
        auto anteprima = Apri();
        anteprima->tastoEMail_Click();
        for (int i = 0; i < 250 && !std::filesystem::exists(dir_ / "consegnata.txt"); ++i) {
            QTest::qWait(20);
        }
        EXPECT_EQ(MessaggiMostrati(), 0);
        EXPECT_EQ(readFile(dir_ / "e-mail3.txt"), "OGGETTO\r\nLuned\xEC |\r\n\r\n");
        EXPECT_EQ(readFile(dir_ / "consegnata.txt"), readFile(dir_ / "e-mail3.txt"));
    }
    // No mailer on the path: the failure is shown, the hand-off file stays.
    std::filesystem::remove(dir_ / "e-mail3.txt");
    ScopedEnv percorso("PATH", "/nonexistent");
    auto anteprima = Apri();
    anteprima->tastoEMail_Click();
    ASSERT_EQ(MessaggiMostrati(), 1);
    EXPECT_EQ(UltimoMessaggio()->titolo, QStringLiteral("Errore"));
    EXPECT_TRUE(UltimoMessaggio()->testo.contains(QStringLiteral("Plicore.exe")));
    EXPECT_TRUE(std::filesystem::exists(dir_ / "e-mail3.txt"));
    EXPECT_TRUE(anteprima->isVisible());
}

TEST_F(AnteprimaTest, TabMovesTheFocusAndNeverReachesTheChartFile) {
    const std::string grafico = Grafico(3);
    writeFile(dir_ / "FD3", grafico);
    auto anteprima = Apri();
    anteprima->Form_Activate();
    QApplication::setActiveWindow(anteprima.get());
    QPlainTextEdit* pagina = anteprima->casellaPagina();
    pagina->setFocus();
    QTest::keyClick(pagina, Qt::Key_Tab);
    EXPECT_FALSE(pagina->toPlainText().contains(QLatin1Char('\t')));
    EXPECT_EQ(QApplication::focusWidget(), anteprima->tastoRiduci());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), pagina);
    // Shift+Tab back from the page reaches the last button.
    QTest::keyClick(pagina, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), anteprima->tastoSalva());
    // Enter on the focused "Sa&lva" saves the page: three lines, no TAB in the file.
    QTest::keyClick(anteprima->tastoSalva(), Qt::Key_Return);
    const std::string salvato = readFile(dir_ / "FD3");
    EXPECT_EQ(salvato.find('\t'), std::string::npos);
    EXPECT_EQ(salvato.size(), grafico.size());
    // Escape closes nothing; Enter on "&Esci" closes the preview.
    QTest::keyClick(anteprima->tastoSalva(), Qt::Key_Escape);
    EXPECT_TRUE(anteprima->isVisible());
    anteprima->tastoEsci()->setFocus();
    QTest::keyClick(anteprima->tastoEsci(), Qt::Key_Return);
    EXPECT_FALSE(anteprima->isVisible());
}

}  // namespace
}  // namespace tableau::gui
