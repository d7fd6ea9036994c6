#include "gui/menu_stampa.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <vector>

#include "chart/chart_fixture.h"
#include "gui/msgbox_routine.h"
#include "gui/window_style.h"
#include "support/hotel_fixture.h"
#include "support/list_checks.h"

namespace tableau::gui {
namespace {

using test::HotelFixture;
using test::readFile;
using test::ScopedEnv;
using test::writeFile;

// Installed printers only; the menu never prints on them here.
class StampantiFinte final : public print::ServizioStampanti {
  public:
    explicit StampantiFinte(std::vector<std::string> nomi) : nomi_(std::move(nomi)) {}
    std::vector<std::string> stampantiInstallate() const override { return nomi_; }
    std::string nomeStampanteCorrente() const override { return {}; }
    void scegliStampante(const std::string&) override {}
    void scegliFilePdf(const std::filesystem::path&) override {}
    void impostaFronteRetro(int) override {}
    void impostaOrientamento(int) override {}
    void impostaNomeFont(const std::string&) override {}
    void impostaDimensioneFont(double) override {}
    double dimensioneFont() const override { return 10; }
    void impostaGrassetto(bool) override {}
    void stampaTesto(std::string_view) override {}
    void stampaRiga(std::string_view) override {}
    void nuovaPagina() override {}
    void fineDocumento() override {}
    void annullaDocumento() noexcept override {}

  private:
    std::vector<std::string> nomi_;
};

QStringList Voci(const QComboBox* combo) {
    QStringList voci;
    for (int i = 0; i < combo->count(); ++i) {
        voci << combo->itemText(i);
    }
    return voci;
}

class MenuStampaTest : public ::testing::Test {
  protected:
    MenuStampaTest() : postazione_("PCLocal", "3") {
        stato_.cartellaDati = hotel_.dir();
        stato_.numeroPostazione = "3";
        stato_.orologio =
            std::make_shared<routines::OrologioFisso>(routines::DataOra{2026, 12, 7, 10, 38});
        hotel_.hotel(1, "Hotel Sole", "KU");
        hotel_.hotel(2, "Lago", "X");
        Destinazione(1, "Laser");
        Destinazione(2, "PDF Altro albergo");
        Destinazione(1, "PDF Ufficio");
        Destinazione(1, "PDF Archivio");
        writeFile(hotel_.dir() / "FD3", "\xB3 Luned\xEC \xB3 1.234,56 \xB3\r\n");
        ImpostaRispostaAutomatica(Risposta::ok);
        DimenticaMessaggi();
    }
    ~MenuStampaTest() override { ImpostaRispostaAutomatica(std::nullopt); }

    void Destinazione(int hotel, const std::string& nome) {
        hotel_.add("Stampanti", {{"NumeroHotel", std::int64_t{hotel}}, {"Destinazione", nome}});
    }

    ServiziMenu Registratori() {
        ServiziMenu servizi;
        servizi.apri = [this](const std::filesystem::path& file) {
            aperti_.push_back(file);
            return programmaAssociato_;
        };
        servizi.avviso = [this](const QString& testo, const QString& titolo) {
            avvisi_ << titolo + QStringLiteral(": ") + testo;
        };
        servizi.mostraAnteprima = [this] { ++anteprime_; };
        servizi.stampa = [this](const print::OpzioniStampa& opzioni) {
            if (guasto_) {
                throw print::ErroreStampa("La destinazione \xC3\xA8 sconosciuta");
            }
            stampe_.push_back(opzioni);
            return "Inviato alla stampante " + opzioni.destinazione + ".";
        };
        return servizi;
    }

    std::unique_ptr<MenuStampa> Apri(std::vector<std::string> stampanti = {}) {
        stampanti_ = std::make_unique<StampantiFinte>(std::move(stampanti));
        auto menu = std::make_unique<MenuStampa>(stato_, *stampanti_, Registratori());
        menu->Form_Load();
        menu->Form_Activate();
        return menu;
    }

    HotelFixture hotel_;
    ScopedEnv postazione_;
    StatoProgramma stato_;
    std::unique_ptr<StampantiFinte> stampanti_;
    std::vector<std::filesystem::path> aperti_;
    QStringList avvisi_;
    int anteprime_ = 0;
    bool guasto_ = false;
    bool programmaAssociato_ = true;
    std::vector<print::OpzioniStampa> stampe_;
};

TEST_F(MenuStampaTest, LoadAndActivationFillTheMenu) {
    auto menu = Apri();
    EXPECT_EQ(menu->windowTitle(), QStringLiteral("Stampe non modificabili"));
    EXPECT_TRUE(menu->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(stato_.hotelCorrente, 1);  // 0 on entry becomes 1
    EXPECT_EQ(Voci(menu->elencoDestinazioni()),
              (QStringList{"Laser", "PDF Ufficio", "PDF Archivio"}));
    EXPECT_EQ(menu->elencoDestinazioni()->currentIndex(), 0);
    EXPECT_EQ(Voci(menu->elencoStampanti()), (QStringList{"<nessuna stampante>"}));
    EXPECT_EQ(menu->elencoStampanti()->currentIndex(), -1);
    EXPECT_EQ(menu->CodiceAssistenza(), "KU");
    EXPECT_TRUE(menu->opzioneCompressa()->isChecked());
    EXPECT_FALSE(menu->opzioneOrizzontale()->isChecked());
    EXPECT_FALSE(menu->opzioneFronteRetro()->isChecked());
    EXPECT_EQ(menu->PercorsoDoc(), std::filesystem::path("doc/fd3202612071038.doc"));
    EXPECT_EQ(readFile(hotel_.dir() / "doc/fd3202612071038.doc"), readFile(hotel_.dir() / "FD3"));

    // A second menu of the same minute keeps the first copy.
    stato_.hotelCorrente = 5;
    auto secondo = Apri({"Ufficio", "Reception"});
    EXPECT_EQ(secondo->PercorsoDoc(), std::filesystem::path("doc/fd3202612071038_2.doc"));
    EXPECT_EQ(stato_.hotelCorrente, 5);
    EXPECT_EQ(Voci(secondo->elencoStampanti()), (QStringList{"Ufficio", "Reception"}));
    EXPECT_EQ(secondo->elencoStampanti()->currentIndex(), -1);
    EXPECT_EQ(MessaggiMostrati(), 0);
}

// On the menu's blue the labels and check boxes read well; the lists keep their peach,
// read well closed and open, and give each entry whole in its tooltip.
TEST_F(MenuStampaTest, LabelsAndListsReadWell) {
    auto menu = Apri({"Stampante laser del secondo piano, ufficio amministrazione"});
    const auto leggibile = [](const QWidget* controllo, const QString& testo) {
        SCOPED_TRACE(testo.toStdString());
        const QPalette colori = controllo->palette();
        EXPECT_GE(
            RapportoContrasto(colori.color(QPalette::WindowText), colori.color(QPalette::Window)),
            kContrastoMinimo);
    };
    const auto etichette = menu->findChildren<QLabel*>();
    const auto caselle = menu->findChildren<QCheckBox*>();
    ASSERT_GE(etichette.size(), 3);
    ASSERT_EQ(caselle.size(), 3);
    for (const QLabel* etichetta : etichette) {
        leggibile(etichetta, etichetta->text());
    }
    for (const QCheckBox* casella : caselle) {
        leggibile(casella, casella->text());
    }
    EXPECT_EQ(menu->palette().color(QPalette::Window), kSfondoMenuStampa);

    // No printer is chosen yet: the list has no tooltip until one is.
    QComboBox* stampanti = menu->elencoStampanti();
    test::ExpectVociIntere(stampanti);
    EXPECT_TRUE(stampanti->toolTip().isEmpty());
    test::ExpectElencoLeggibile(menu->elencoDestinazioni());
    test::ExpectElencoLeggibile(stampanti);
    EXPECT_EQ(stampanti->toolTip(),
              QStringLiteral("Stampante laser del secondo piano, ufficio amministrazione"));
    test::ExpectVociIntere(menu->elencoDestinazioni());
    test::ExpectVociIntere(stampanti);
}

TEST_F(MenuStampaTest, PrintAndPdfButtons) {
    auto menu = Apri({"Ufficio"});
    menu->elencoStampanti()->setCurrentIndex(0);
    menu->opzioneCompressa()->setChecked(false);
    menu->opzioneFronteRetro()->setChecked(true);
    QTest::mouseClick(menu->tastoStampa(), Qt::LeftButton);
    ASSERT_EQ(stampe_.size(), 1u);
    EXPECT_EQ(stampe_[0].destinazione, "Laser");
    EXPECT_EQ(stampe_[0].stampante, "Ufficio");
    EXPECT_FALSE(stampe_[0].compressa);
    EXPECT_TRUE(stampe_[0].fronteRetro);
    EXPECT_FALSE(stampe_[0].orizzontale);
    EXPECT_EQ(stampe_[0].hotelCorrente, 1);
    EXPECT_EQ(stampe_[0].codiceAssistenza, "KU");

    // The last destination holding "PDF" is chosen and printed on, once.
    menu->tastoPdf_Click();
    ASSERT_EQ(stampe_.size(), 2u);
    EXPECT_EQ(stampe_[1].destinazione, "PDF Archivio");
    EXPECT_EQ(menu->elencoDestinazioni()->currentText(), QStringLiteral("PDF Archivio"));
    EXPECT_TRUE(avvisi_.isEmpty());

    // A print failure is shown; the menu stays as it was.
    guasto_ = true;
    menu->tastoStampa_Click();
    ASSERT_EQ(MessaggiMostrati(), 1);
    EXPECT_EQ(UltimoMessaggio()->testo, QString::fromUtf8("La destinazione è sconosciuta"));
    EXPECT_FALSE(menu->scaricata());
    EXPECT_EQ(menu->elencoDestinazioni()->currentText(), QStringLiteral("PDF Archivio"));
}

TEST_F(MenuStampaTest, PdfWithoutAPdfDestinationWarns) {
    HotelFixture altro;
    altro.add("Stampanti",
              {{"NumeroHotel", std::int64_t{1}}, {"Destinazione", std::string("Pdf Ufficio")}});
    stato_.cartellaDati = altro.dir();
    auto menu = Apri();
    menu->tastoPdf_Click();
    EXPECT_TRUE(stampe_.empty());
    EXPECT_EQ(avvisi_, (QStringList{"Stampa: Nessuna stampante PDF impostata!"}));
    // The printer placeholder is no printer.
    menu->elencoStampanti()->setCurrentIndex(0);
    EXPECT_EQ(menu->opzioni().stampante, "");
}

TEST_F(MenuStampaTest, PreviewDocumentAndSpreadsheet) {
    auto menu = Apri();
    menu->elencoDestinazioni()->setCurrentIndex(1);
    menu->tastoAnteprima_Click();
    EXPECT_EQ(anteprime_, 1);
    EXPECT_EQ(menu->elencoDestinazioni()->currentIndex(),
              0);  // activated again: the first destination

    menu->tastoDocumento_Click();
    menu->tastoFoglio_Click();
    ASSERT_EQ(aperti_.size(), 2u);
    EXPECT_EQ(aperti_[0], hotel_.dir() / "doc/fd3202612071038.doc");
    EXPECT_EQ(aperti_[1], hotel_.dir() / "fd3.csv");
    EXPECT_NE(readFile(hotel_.dir() / "fd3.csv").find("1234.56"), std::string::npos);
    EXPECT_EQ(MessaggiMostrati(), 0);

    menu->show();
    menu->tastoChiudi_Click();
    EXPECT_TRUE(menu->scaricata());
    EXPECT_FALSE(menu->isVisible());
}

TEST_F(MenuStampaTest, WithoutDestinationsTheMenuClosesAtOnce) {
    HotelFixture vuoto;
    stato_.cartellaDati = vuoto.dir();
    stampanti_ = std::make_unique<StampantiFinte>(std::vector<std::string>{});
    MenuStampa menu(stato_, *stampanti_, Registratori());
    QTimer::singleShot(2000, &menu, &QDialog::reject);  // a menu shown by mistake
    menu.mostra();
    EXPECT_TRUE(menu.scaricata());
    // The user learns where the chart is and what to configure.
    ASSERT_EQ(MessaggiMostrati(), 1);
    EXPECT_EQ(UltimoMessaggio()->titolo, QStringLiteral("Stampa"));
    EXPECT_EQ(UltimoMessaggio()->testo,
              QString::fromUtf8("Nessuna destinazione di stampa configurata: il tableau è nel "
                                "file FD3.\r\nAggiungere le destinazioni dell'albergo 1 nella "
                                "tabella Stampanti di Stampanti.mdb."));
    DimenticaMessaggi();

    // A missing printer configuration is a failure: shown, then back to the request window.
    std::filesystem::remove(vuoto.dir() / "Stampanti.mdb");
    MenuStampa senzaFile(stato_, *stampanti_, Registratori());
    senzaFile.mostra();
    EXPECT_TRUE(senzaFile.scaricata());
    ASSERT_EQ(MessaggiMostrati(), 1);
    EXPECT_TRUE(UltimoMessaggio()->testo.contains(QStringLiteral("Stampanti")));
}

TEST_F(MenuStampaTest, TheStatusLineSaysWhatWasDoneAndWhere) {
    auto menu = Apri({"Ufficio"});
    menu->show();
    QApplication::setActiveWindow(menu.get());
    EXPECT_TRUE(menu->rigaStato()->text().isEmpty());
    // Enter on the focused "Stampa" prints and says where the chart went.
    menu->tastoStampa()->setFocus();
    QTest::keyClick(menu->tastoStampa(), Qt::Key_Return);
    ASSERT_EQ(stampe_.size(), 1u);
    EXPECT_EQ(menu->rigaStato()->text(), QStringLiteral("Inviato alla stampante Laser."));
    // The window takes input again, with the focus where it was.
    EXPECT_TRUE(menu->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), menu->tastoStampa());

    const QString cartella = QString::fromStdString(hotel_.dir().lexically_normal().string());
    menu->tastoFoglio_Click();
    EXPECT_EQ(menu->rigaStato()->text(),
              QStringLiteral("Foglio di calcolo aperto con il programma associato: ") + cartella +
                  QStringLiteral("/fd3.csv"));
    programmaAssociato_ = false;
    menu->tastoFoglio_Click();
    EXPECT_EQ(menu->rigaStato()->text(),
              QString::fromUtf8("Nessun programma associato ai file .csv: il file è in ") +
                  cartella + QStringLiteral("/fd3.csv"));
    menu->tastoDocumento_Click();
    EXPECT_EQ(menu->rigaStato()->text(),
              QString::fromUtf8("Nessun programma associato ai file .doc: il file è in ") +
                  cartella + QStringLiteral("/doc/fd3202612071038.doc"));

    // A failure clears the line: the message box says what went wrong.
    guasto_ = true;
    menu->tastoPdf_Click();
    EXPECT_TRUE(menu->rigaStato()->text().isEmpty());
    EXPECT_EQ(MessaggiMostrati(), 1);
    // Escape closes nothing.
    QTest::keyClick(menu->tastoStampa(), Qt::Key_Escape);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_FALSE(menu->scaricata());
}

TEST_F(MenuStampaTest, LaidOutChartAndWorkbookButtons) {
    // A chart file that is no chart: the message names the line, nothing is opened.
    auto menu = Apri();
    menu->tastoGrafico_Click();
    ASSERT_EQ(MessaggiMostrati(), 1);
    EXPECT_TRUE(UltimoMessaggio()->testo.contains(QStringLiteral("riga")))
        << UltimoMessaggio()->testo.toStdString();
    EXPECT_TRUE(aperti_.empty());
    EXPECT_FALSE(std::filesystem::exists(hotel_.dir() / "fd3.pdf"));

    // A real week: the PDF and the workbook are written, opened and said.
    test::ChartFixture settimana;
    test::SettimanaDiEsempio(settimana);
    settimana.crea();
    settimana.db().add("Stampanti",
                       {{"NumeroHotel", std::int64_t{1}}, {"Destinazione", std::string("Laser")}});
    stato_.cartellaDati = settimana.dir();
    stato_.numeroPostazione = "7";
    auto altro = Apri();
    QApplication::setActiveWindow(altro.get());
    altro->show();
    altro->tastoGrafico()->setFocus();
    QTest::keyClick(altro->tastoGrafico(), Qt::Key_Return);
    altro->tastoExcel_Click();
    ASSERT_EQ(aperti_.size(), 2u);
    EXPECT_EQ(aperti_[0].filename(), "fd7.pdf");
    EXPECT_EQ(aperti_[1].filename(), "fd7.xlsx");
    EXPECT_TRUE(readFile(aperti_[0]).starts_with("%PDF"));
    EXPECT_TRUE(readFile(aperti_[1]).starts_with("PK"));
    EXPECT_TRUE(altro->rigaStato()->text().startsWith(
        QStringLiteral("Foglio Excel aperto con il programma associato: ")));
    EXPECT_EQ(MessaggiMostrati(), 1);
}

}  // namespace
}  // namespace tableau::gui
