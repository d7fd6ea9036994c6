#include "gui/set_desk.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <chrono>
#include <vector>

#include "db/errors.h"
#include "db/server/server_connection.h"
#include "db/server/server_sync.h"
#include "db/writer/jet_writer.h"
#include "gui/error_message.h"
#include "gui/msgbox_routine.h"
#include "support/hotel_fixture.h"
#include "support/list_checks.h"
#include "support/temp_dir.h"
#include "support/test_server.h"
#include "support/workstation.h"

namespace tableau::gui {
namespace {

using test::HotelFixture;

constexpr int kInvio = 13;  // the key code of Enter

class SetDeskTest : public ::testing::Test {
  protected:
    SetDeskTest() {
        stato_.cartellaDati = hotel_.dir();
        stato_.orologio =
            std::make_shared<routines::OrologioFisso>(routines::DataOra{2026, 3, 5, 10, 38});
        hotel_.hotel(7, "Hotel Sole");
        hotel_.hotel(12, "Lago");
        hotel_.tableau(7, 1, "Piano terra");
        hotel_.tableau(7, 12, "Dependance");
        hotel_.tableau(12, 4, "Torre");
        hotel_.tipoCamera("DB", "C");
        hotel_.tipoCamera("SU", "S");
        for (const char* camera : {"101", "102", "99"}) {
            hotel_.camera(7, 1, camera, "DB", 2);
        }
        hotel_.camera(7, 1, "100", "SU", 2);
        hotel_.camera(7, 12, "7", "DB", 2);
        hotel_.camera(12, 4, "40", "DB", 2);
        ImpostaRispostaAutomatica(Risposta::ok);
        DimenticaMessaggi();
    }
    ~SetDeskTest() override { ImpostaRispostaAutomatica(std::nullopt); }

    // The request window with the chart generator and the print menu replaced by recorders.
    std::unique_ptr<SetDesk> Finestra() {
        ServiziRichiesta servizi;
        servizi.creaTableau = [this](const chart::RichiestaTableau& r) {
            if (guasto_) {
                throw db::ErroreArchivio("Tabella Scheda_Cliente assente in Scheda_Cliente.mdb");
            }
            richieste_.push_back(r);
            if (costruzione_) {
                costruzione_();
            }
        };
        servizi.mostraMenuStampa = [this] {
            ++menu_;
            if (duranteMenu_) {
                duranteMenu_();
            }
        };
        auto finestra = std::make_unique<SetDesk>(stato_, std::move(servizi));
        return finestra;
    }

    static void Digita(QLineEdit* casella, const QString& testo) {
        casella->setFocus();
        casella->selectAll();
        QTest::keyClicks(casella, testo);
        QTest::keyClick(casella, Qt::Key_Return);
    }

    // The last message shown, its line breaks taken out.
    static QString UltimoTesto() {
        return UltimoMessaggio() ? UltimoMessaggio()->testo.remove(QStringLiteral("\r\n"))
                                 : QString();
    }

    static QStringList Voci(const QComboBox* combo) {
        QStringList voci;
        for (int i = 0; i < combo->count(); ++i) {
            voci << combo->itemText(i);
        }
        return voci;
    }

    HotelFixture hotel_;
    StatoProgramma stato_;
    std::vector<chart::RichiestaTableau> richieste_;
    int menu_ = 0;
    bool guasto_ = false;
    std::function<void()> duranteMenu_;
    std::function<void()> costruzione_;  // runs while the chart is "built"
};

TEST_F(SetDeskTest, ActivationFillsTheListsAndProposesTheRange) {
    auto desk = Finestra();
    ASSERT_TRUE(desk->avvia());
    QApplication::setActiveWindow(desk.get());
    EXPECT_EQ(desk->windowTitle(), QStringLiteral("Tableau Tavornelide"));
    EXPECT_EQ(Voci(desk->elencoHotel()), (QStringList{"  7 Hotel Sole", " 12 Lago"}));
    EXPECT_EQ(Voci(desk->elencoTableau()), (QStringList{"  1 Piano terra", " 12 Dependance"}));
    EXPECT_EQ(desk->elencoHotel()->currentIndex(), 0);
    EXPECT_EQ(desk->elencoTableau()->currentIndex(), 0);
    EXPECT_EQ(stato_.hotelCorrente, 7);
    EXPECT_EQ(stato_.tableauCorrente, 1);
    // Text order and class "C": 101 is the lowest, 99 the highest, 100 is left out.
    EXPECT_EQ(desk->casellaPrimaCamera()->text(), QStringLiteral("101"));
    EXPECT_EQ(desk->casellaUltimaCamera()->text(), QStringLiteral("99"));
    EXPECT_EQ(desk->casellaData()->text(), QStringLiteral("05/03/2026"));
    EXPECT_EQ(desk->focusWidget(), desk->tastoStampa());

    // The user picks the second block, then the second hotel.
    desk->elencoTableau()->setCurrentIndex(1);
    emit desk->elencoTableau()->activated(1);
    EXPECT_EQ(stato_.tableauCorrente, 12);
    EXPECT_EQ(desk->casellaPrimaCamera()->text(), QStringLiteral("7"));
    EXPECT_EQ(desk->casellaUltimaCamera()->text(), QStringLiteral("7"));
    desk->elencoHotel()->setCurrentIndex(1);
    emit desk->elencoHotel()->activated(1);
    EXPECT_EQ(stato_.hotelCorrente, 12);
    EXPECT_EQ(Voci(desk->elencoTableau()), (QStringList{"  4 Torre"}));
    EXPECT_EQ(desk->casellaPrimaCamera()->text(), QStringLiteral("40"));
    EXPECT_EQ(MessaggiMostrati(), 0);
    // From the files there is no server line.
    EXPECT_FALSE(desk->rigaServer()->isVisible());
}

TEST_F(SetDeskTest, FromTheServerTheWindowSaysWhichCopyItShows) {
    TABLEAU_RICHIEDE_SERVER();
    const test::SchemaDiProva schema(false);
    {
        db::server::ServerConnection connessione(test::ServerPrimario());
        db::server::SyncToServer(hotel_.dir(), connessione, schema.nome(), {});
    }
    const auto altezzaDaiFile = Finestra()->height();
    // The office's directory holds none of the hotel files.
    test::TempDir ufficio;
    stato_.cartellaDati = ufficio.path();
    const db::ServerSetting server{test::ServerPrimario(), schema.nome()};
    int aperture = 0;
    stato_.apriSorgente = [&] {
        ++aperture;
        return std::make_unique<db::DataSource>(ufficio.path(), server);
    };
    auto desk = Finestra();
    ASSERT_TRUE(desk->avvia());
    EXPECT_EQ(Voci(desk->elencoHotel()), (QStringList{"  7 Hotel Sole", " 12 Lago"}));
    EXPECT_EQ(Voci(desk->elencoTableau()), (QStringList{"  1 Piano terra", " 12 Dependance"}));
    EXPECT_EQ(desk->casellaPrimaCamera()->text(), QStringLiteral("101"));
    EXPECT_EQ(desk->casellaUltimaCamera()->text(), QStringLiteral("99"));
    desk->elencoTableau()->setCurrentIndex(1);
    emit desk->elencoTableau()->activated(1);
    EXPECT_EQ(desk->casellaPrimaCamera()->text(), QStringLiteral("7"));
    // The lists read once, the room types at each block picked; no connection kept.
    EXPECT_EQ(aperture, 3);

    const QLabel* riga = desk->rigaServer();
    ASSERT_TRUE(riga->isVisible());
    const auto adesso = routines::OrologioDiSistema().adesso();
    const QString oggi = QStringLiteral("%1/%2/%3")
                             .arg(adesso.giorno, 2, 10, QLatin1Char('0'))
                             .arg(adesso.mese, 2, 10, QLatin1Char('0'))
                             .arg(adesso.anno);
    EXPECT_TRUE(riga->text().startsWith(
        QStringLiteral("Dati dal server 127.0.0.1:55432/postgres, schema %1, sincronizzati il %2 ")
            .arg(QString::fromStdString(schema.nome()), oggi)))
        << riga->text().toStdString();
    EXPECT_EQ(riga->toolTip(), QStringLiteral("Copiati dalla cartella %1")
                                   .arg(QString::fromStdString(hotel_.dir().string())));
    // The line has a place of its own under the buttons, inside the window.
    EXPECT_GT(desk->height(), altezzaDaiFile);
    EXPECT_TRUE(desk->rect().contains(riga->geometry()));
    EXPECT_GE(riga->geometry().top(), desk->tastoStampa()->geometry().bottom());
    EXPECT_EQ(MessaggiMostrati(), 0);

    // A server that does not answer: the lists are not read and the failure names it.
    stato_.apriSorgente = [&] {
        return std::make_unique<db::DataSource>(
            ufficio.path(), db::ServerSetting{test::ServerPrimario() + " port=1", schema.nome()});
    };
    auto senzaServer = Finestra();
    try {
        senzaServer->Form_Load();
        FAIL() << "no server, yet the lists were read";
    } catch (const db::ErroreServer& e) {
        EXPECT_NE(std::string(e.what()).find("127.0.0.1:1/postgres"), std::string::npos)
            << e.what();
    }
}

// The lists keep their peach and read well, closed and open. A name longer than its list
// is cut off on screen: its tooltip gives it whole, and the list's tooltip follows the
// entry chosen, in the hotel list and in the block list filled for each hotel.
TEST_F(SetDeskTest, ListsReadWellAndGiveLongNamesWhole) {
    hotel_.hotel(30, "Grand Hotel delle Terme e della Spiaggia di Levante");
    hotel_.tableau(30, 2, "Dependance del giardino, ala est verso il mare");
    hotel_.camera(30, 2, "201", "DB", 2);
    auto desk = Finestra();
    ASSERT_TRUE(desk->avvia());
    QComboBox* hotel = desk->elencoHotel();
    QComboBox* tableau = desk->elencoTableau();
    test::ExpectElencoLeggibile(hotel);
    test::ExpectElencoLeggibile(tableau);
    test::ExpectVociIntere(hotel);
    test::ExpectVociIntere(tableau);
    EXPECT_EQ(hotel->toolTip(), QStringLiteral("  7 Hotel Sole"));

    hotel->setCurrentIndex(2);
    emit hotel->activated(2);
    const QString lungo = QStringLiteral(" 30 Grand Hotel delle Terme e della Spiaggia di Levante");
    ASSERT_EQ(hotel->currentText(), lungo);
    EXPECT_GT(hotel->fontMetrics().horizontalAdvance(lungo), hotel->width());
    EXPECT_EQ(hotel->toolTip(), lungo);
    EXPECT_EQ(tableau->toolTip(),
              QStringLiteral("  2 Dependance del giardino, ala est verso il mare"));
    test::ExpectVociIntere(hotel);
    test::ExpectVociIntere(tableau);
}

TEST_F(SetDeskTest, EnterCleansAndChecksEachBox) {
    auto desk = Finestra();
    ASSERT_TRUE(desk->avvia());
    QApplication::setActiveWindow(desk.get());

    Digita(desk->casellaPrimaCamera(), QStringLiteral("ab'c"));
    EXPECT_EQ(desk->casellaPrimaCamera()->text(), QStringLiteral("ABC"));
    EXPECT_EQ(desk->focusWidget(), desk->casellaUltimaCamera());
    Digita(desk->casellaUltimaCamera(), QStringLiteral("abd"));
    EXPECT_EQ(desk->casellaUltimaCamera()->text(), QStringLiteral("ABD"));
    EXPECT_EQ(desk->focusWidget(), desk->casellaData());
    Digita(desk->casellaData(), QStringLiteral("050324"));
    EXPECT_EQ(desk->casellaData()->text(), QStringLiteral("05/03/2024"));
    EXPECT_EQ(desk->focusWidget(), desk->tastoStampa());
    EXPECT_EQ(MessaggiMostrati(), 0);
    EXPECT_EQ(menu_, 0);  // Enter never presses "&Stampa"

    // Equal rooms are refused by Enter; the message box closing starts the form over.
    Digita(desk->casellaPrimaCamera(), QStringLiteral("7"));
    Digita(desk->casellaUltimaCamera(), QStringLiteral("7"));
    ASSERT_EQ(MessaggiMostrati(), 1);
    EXPECT_EQ(UltimoMessaggio()->testo,
              QStringLiteral("Controllare l'intervallo di camere richiesto!"));
    EXPECT_EQ(UltimoMessaggio()->titolo, QStringLiteral("Camere errate!"));
    EXPECT_EQ(UltimoMessaggio()->tipo, TipoMessaggio::okAvviso);
    EXPECT_EQ(desk->casellaPrimaCamera()->text(), QStringLiteral("101"));

    Digita(desk->casellaData(), QStringLiteral("31/02/2024"));
    ASSERT_EQ(MessaggiMostrati(), 2);
    EXPECT_EQ(UltimoMessaggio()->titolo, QStringLiteral("Data errata!"));
    EXPECT_EQ(UltimoMessaggio()->testo,
              QStringLiteral("La data deve essere inserita \r\nnel formato gg/mm/aaaa"));
    EXPECT_EQ(desk->casellaData()->text(), QStringLiteral("05/03/2026"));

    // An emptied box becomes a single space; as a date it is refused.
    desk->casellaData()->clear();
    desk->casellaData_KeyPress(kInvio);
    EXPECT_EQ(MessaggiMostrati(), 3);
    EXPECT_EQ(desk->casellaData()->text(), QStringLiteral("05/03/2026"));
    desk->casellaPrimaCamera()->clear();
    desk->casellaPrimaCamera_KeyPress(kInvio);
    EXPECT_EQ(desk->casellaPrimaCamera()->text(), QStringLiteral(" "));

    // Typing is limited, but a proposal is never cut.
    EXPECT_EQ(desk->casellaPrimaCamera()->maxLength(), 6);
    EXPECT_EQ(desk->casellaData()->maxLength(), 10);
}

TEST_F(SetDeskTest, StampaChecksBuildsTheChartAndStartsOver) {
    auto desk = Finestra();
    ASSERT_TRUE(desk->avvia());

    // 10 lies before 9 as text: refused, nothing built.
    desk->casellaPrimaCamera()->setText(QStringLiteral("9"));
    desk->casellaUltimaCamera()->setText(QStringLiteral("10"));
    QTest::mouseClick(desk->tastoStampa(), Qt::LeftButton);
    EXPECT_EQ(UltimoMessaggio()->titolo, QStringLiteral("Camere errate!"));
    EXPECT_TRUE(richieste_.empty());
    EXPECT_EQ(desk->focusWidget(), desk->casellaPrimaCamera());

    // A date left as typed is not completed: refused, reset to today.
    desk->casellaData()->setText(QStringLiteral("050324"));
    QTest::mouseClick(desk->tastoStampa(), Qt::LeftButton);
    EXPECT_EQ(UltimoMessaggio()->titolo, QStringLiteral("Data errata!"));
    EXPECT_EQ(desk->casellaData()->text(), QStringLiteral("05/03/2026"));
    EXPECT_TRUE(richieste_.empty());

    // Equal rooms pass; the texts go as they stand in the boxes.
    desk->elencoHotel()->setCurrentIndex(1);
    emit desk->elencoHotel()->activated(1);
    desk->casellaPrimaCamera()->setText(QStringLiteral("7"));
    desk->casellaUltimaCamera()->setText(QStringLiteral("7"));
    desk->casellaData()->setText(QStringLiteral("06-03-2026"));
    duranteMenu_ = [&] {
        EXPECT_EQ(stato_.hotelCorrente, 12);
        desk->casellaPrimaCamera()->setText(QStringLiteral("zzz"));
    };
    const int messaggi = MessaggiMostrati();
    desk->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(desk.get()));
    QTest::keyClick(desk->focusWidget(), Qt::Key_S, Qt::AltModifier);
    for (int i = 0; i < 100 && menu_ == 0; ++i) {
        QTest::qWait(20);  // the access key's click is animated
    }
    ASSERT_EQ(richieste_.size(), 1u);
    EXPECT_EQ(richieste_[0].hotel, 12);
    EXPECT_EQ(richieste_[0].tableau, 4);
    EXPECT_EQ(richieste_[0].primaCamera, "7");
    EXPECT_EQ(richieste_[0].ultimaCamera, "7");
    EXPECT_EQ(richieste_[0].dataInizio, "06-03-2026");  // separators are not checked
    EXPECT_EQ(menu_, 1);
    EXPECT_EQ(MessaggiMostrati(), messaggi);

    // The print menu has closed: first hotel, first block, its range and today again.
    EXPECT_EQ(desk->elencoHotel()->currentIndex(), 0);
    EXPECT_EQ(stato_.hotelCorrente, 7);
    EXPECT_EQ(stato_.tableauCorrente, 1);
    EXPECT_EQ(desk->casellaPrimaCamera()->text(), QStringLiteral("101"));
    EXPECT_EQ(desk->casellaData()->text(), QStringLiteral("05/03/2026"));
    EXPECT_FALSE(desk->scaricata());

    // Empty rooms pass too.
    duranteMenu_ = nullptr;
    desk->casellaPrimaCamera()->clear();
    desk->casellaUltimaCamera()->clear();
    desk->tastoStampa_Click();
    EXPECT_EQ(richieste_.size(), 2u);
}

TEST_F(SetDeskTest, TheChartIsWrittenBeforeThePrintMenuOpens) {
    test::ScopedEnv postazione("PCLocal", "3");
    ServiziRichiesta servizi;
    servizi.creaTableau = [this](const chart::RichiestaTableau& r) {
        chart::CreaTableau(test::PostazioneDi(stato_.cartellaDati), r, *stato_.orologio);
    };
    bool graficoPresente = false;
    servizi.mostraMenuStampa = [&] {
        graficoPresente = std::filesystem::exists(hotel_.dir() / "FD3");
    };
    SetDesk desk(stato_, std::move(servizi));
    ASSERT_TRUE(desk.avvia());
    desk.tastoStampa_Click();
    EXPECT_TRUE(graficoPresente);
    EXPECT_EQ(MessaggiMostrati(), 0);
    const std::string grafico = test::readFile(hotel_.dir() / "FD3");
    EXPECT_NE(grafico.find("Hotel Sole"), std::string::npos);
    EXPECT_NE(grafico.find("05/03/2026"), std::string::npos);
}

TEST_F(SetDeskTest, AFailureIsShownAndTheWindowStays) {
    auto desk = Finestra();
    ASSERT_TRUE(desk->avvia());
    guasto_ = true;
    desk->casellaPrimaCamera()->setText(QStringLiteral("1"));
    desk->tastoStampa_Click();
    ASSERT_TRUE(UltimoMessaggio().has_value());
    EXPECT_EQ(UltimoMessaggio()->titolo, QStringLiteral("Errore"));
    EXPECT_TRUE(UltimoMessaggio()->testo.contains(QStringLiteral("Scheda_Cliente")));
    EXPECT_EQ(menu_, 0);
    EXPECT_FALSE(desk->scaricata());
    EXPECT_EQ(desk->casellaPrimaCamera()->text(), QStringLiteral("1"));  // as the user left it

    // A room-type file gone: the failure is reported, the window stays.
    std::filesystem::remove(hotel_.dir() / "TipiCamere.mdb");
    desk->elencoTableau()->setCurrentIndex(1);
    emit desk->elencoTableau()->activated(1);
    EXPECT_TRUE(UltimoMessaggio()->testo.contains(QStringLiteral("TipiCamere")));
    EXPECT_FALSE(desk->scaricata());
}

// A copy of a Jet file that makes libmdb loop while reading the catalog.
std::string JetBloccante() {
    std::string bytes = test::readFile(test::testData("jet/testodbc.mdb"));
    bytes.at(42767) = '\x69';
    return bytes;
}

TEST_F(SetDeskTest, DamagedJetFileAtStartEndsTheProgramAsAMissingOne) {
    // The start of the program: a failure of the load is shown, then the program ends.
    const auto avvio = [this]() -> std::optional<QString> {
        auto desk = Finestra();
        try {
            desk->avvia();
        } catch (const db::ErroreArchivio& errore) {
            EXPECT_FALSE(desk->isVisible());
            MostraErrore(errore);
            EXPECT_EQ(UltimoMessaggio()->titolo, QStringLiteral("Errore"));
            return UltimoTesto();
        }
        return std::nullopt;
    };
    const std::filesystem::path anagrafica = hotel_.dir() / "AnagraficaHotels.mdb";
    const std::string originale = test::readFile(anagrafica);
    std::filesystem::remove(anagrafica);
    const auto mancante = avvio();
    ASSERT_TRUE(mancante.has_value());
    EXPECT_TRUE(mancante->contains(QStringLiteral("AnagraficaHotels.mdb")))
        << mancante->toStdString();

    test::writeFile(anagrafica, test::readFile(test::testData("jet/nwind.mdb")).substr(0, 3000));
    const auto troncato = avvio();
    ASSERT_TRUE(troncato.has_value());
    EXPECT_TRUE(troncato->contains(
        QStringLiteral("L'archivio AnagraficaHotels.mdb \u00E8 danneggiato o illeggibile")))
        << troncato->toStdString();

    test::writeFile(anagrafica, JetBloccante());
    test::ScopedEnv attesa("TABLEAU_ATTESA_JET", "1");
    const auto inizio = std::chrono::steady_clock::now();
    const auto bloccato = avvio();
    EXPECT_LT(std::chrono::steady_clock::now() - inizio, std::chrono::seconds(8));
    ASSERT_TRUE(bloccato.has_value());
    EXPECT_TRUE(bloccato->contains(QStringLiteral("AnagraficaHotels.mdb")))
        << bloccato->toStdString();
    EXPECT_TRUE(bloccato->contains(QStringLiteral("interrotta"))) << bloccato->toStdString();
    EXPECT_EQ(MessaggiMostrati(), 3);

    // The same file as a sound Jet file: the window starts.
    test::writeFile(anagrafica, originale);
    db::writer::ConvertHotelFileToJet(anagrafica, hotel_.dir() / "anagrafica.jet");
    std::filesystem::rename(hotel_.dir() / "anagrafica.jet", anagrafica);
    auto desk = Finestra();
    ASSERT_TRUE(desk->avvia());
    EXPECT_EQ(Voci(desk->elencoHotel()), (QStringList{"  7 Hotel Sole", " 12 Lago"}));
    EXPECT_EQ(MessaggiMostrati(), 3);
}

TEST_F(SetDeskTest, DamagedGuestFileFailsTheRequestAndTheWindowGoesOn) {
    test::ScopedEnv postazione("PCLocal", "3");
    test::ScopedEnv attesa("TABLEAU_ATTESA_JET", "1");
    const std::filesystem::path ospiti = hotel_.dir() / "Scheda_Cliente.mdb";
    const std::filesystem::path grafico = hotel_.dir() / "FD3";
    hotel_.add("Scheda_Cliente", {{"NumeroHotel", std::int64_t{7}},
                                  {"NumeroCamera", std::string("102")},
                                  {"DataArrivo", std::string("20260309")},
                                  {"DataPartenza", std::string("20260311")},
                                  {"Partito", std::string("")},
                                  {"NumeroProgressivo", std::int64_t{1}},
                                  {"NumeroComponente", std::int64_t{1}},
                                  {"CodiceCapoFamiglia", std::int64_t{0}},
                                  {"CodiceCapoGruppo", std::int64_t{0}},
                                  {"NomeCliente", std::string("Rossi")}});
    ServiziRichiesta servizi;
    servizi.creaTableau = [this](const chart::RichiestaTableau& r) {
        chart::CreaTableau(test::PostazioneDi(stato_.cartellaDati), r, *stato_.orologio);
    };
    servizi.mostraMenuStampa = [this] { ++menu_; };
    SetDesk desk(stato_, std::move(servizi));
    ASSERT_TRUE(desk.avvia());
    desk.tastoStampa_Click();
    ASSERT_EQ(menu_, 1);
    const std::string precedente = test::readFile(grafico);

    db::writer::ConvertHotelFileToJet(ospiti, hotel_.dir() / "ospiti.jet");
    const std::string jet = test::readFile(hotel_.dir() / "ospiti.jet");
    const std::string danni[] = {jet.substr(0, 3000), JetBloccante()};
    for (const std::string& danno : danni) {
        test::writeFile(ospiti, danno);
        desk.casellaPrimaCamera()->setText(QStringLiteral("102"));
        desk.casellaData()->setText(QStringLiteral("09/03/2026"));
        const int messaggi = MessaggiMostrati();
        QTest::mouseClick(desk.tastoStampa(), Qt::LeftButton);
        ASSERT_EQ(MessaggiMostrati(), messaggi + 1);
        EXPECT_EQ(UltimoMessaggio()->titolo, QStringLiteral("Errore"));
        EXPECT_TRUE(UltimoTesto().contains(QStringLiteral("L'archivio Scheda_Cliente.mdb \u00E8")))
            << UltimoTesto().toStdString();
        EXPECT_EQ(menu_, 1);
        EXPECT_EQ(test::readFile(grafico), precedente);
        EXPECT_FALSE(desk.scaricata());
        EXPECT_TRUE(desk.isVisible());
        EXPECT_EQ(desk.casellaPrimaCamera()->text(), QStringLiteral("102"));  // as the user left it
    }

    // The file put right (as a sound Jet file): the same request builds the chart.
    std::filesystem::rename(hotel_.dir() / "ospiti.jet", ospiti);
    const int messaggi = MessaggiMostrati();
    QTest::mouseClick(desk.tastoStampa(), Qt::LeftButton);
    EXPECT_EQ(MessaggiMostrati(), messaggi);
    EXPECT_EQ(menu_, 2);
    const std::string nuovo = test::readFile(grafico);
    EXPECT_NE(nuovo.find("dal 09/03/2026"), std::string::npos);
    EXPECT_EQ(nuovo.find("\r\n101 "), std::string::npos);
    EXPECT_NE(nuovo.find("\r\n102 "), std::string::npos);
    EXPECT_NE(nuovo.find("\xB3Rossi "), std::string::npos) << "the guest read from the Jet file";
    EXPECT_EQ(desk.casellaPrimaCamera()->text(),
              QStringLiteral("101"));  // started over after the menu
}

TEST_F(SetDeskTest, EsciAndEmptyListsCloseTheWindow) {
    {
        auto desk = Finestra();
        ASSERT_TRUE(desk->avvia());
        QTest::mouseClick(desk->tastoEsci(), Qt::LeftButton);
        EXPECT_TRUE(desk->scaricata());
        EXPECT_FALSE(desk->isVisible());
    }
    {
        HotelFixture senzaBlocchi;
        senzaBlocchi.hotel(3, "Solo");
        senzaBlocchi.tableau(3, 0, "Modello");
        stato_.cartellaDati = senzaBlocchi.dir();
        auto desk = Finestra();
        EXPECT_FALSE(desk->avvia());
        EXPECT_TRUE(desk->scaricata());
    }
    {
        HotelFixture vuoto;
        stato_.cartellaDati = vuoto.dir();
        auto desk = Finestra();
        EXPECT_FALSE(desk->avvia());
        std::filesystem::remove(vuoto.dir() / "NumeriCamere.mdb");
        auto senzaFile = Finestra();
        EXPECT_THROW(senzaFile->Form_Load(), db::ErroreArchivio);
    }
    EXPECT_EQ(MessaggiMostrati(), 0);
}

TEST_F(SetDeskTest, TheKeyboardRoadBuildsTheChart) {
    auto desk = Finestra();
    ASSERT_TRUE(desk->avvia());
    QApplication::setActiveWindow(desk.get());
    // Enter in a box checks it and moves on; it never presses "&Stampa".
    Digita(desk->casellaPrimaCamera(), QStringLiteral("101"));
    Digita(desk->casellaUltimaCamera(), QStringLiteral("102"));
    Digita(desk->casellaData(), QStringLiteral("160326"));
    EXPECT_TRUE(richieste_.empty());
    EXPECT_EQ(desk->casellaData()->text(), QStringLiteral("16/03/2026"));
    // The date's Enter put the focus on "&Stampa": Enter again builds the chart.
    ASSERT_EQ(QApplication::focusWidget(), desk->tastoStampa());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_EQ(richieste_.size(), 1U);
    EXPECT_EQ(richieste_[0].primaCamera, "101");
    EXPECT_EQ(richieste_[0].dataInizio, "16/03/2026");
    EXPECT_EQ(menu_, 1);
    // The keypad's Enter and Space press it too; Escape closes nothing.
    desk->tastoStampa()->setFocus();
    QTest::keyClick(desk->tastoStampa(), Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(desk->tastoStampa(), Qt::Key_Space);
    EXPECT_EQ(richieste_.size(), 3U);
    QTest::keyClick(desk->tastoStampa(), Qt::Key_Escape);
    EXPECT_TRUE(desk->isVisible());
    // Enter on "&Esci" ends the program's window.
    desk->tastoEsci()->setFocus();
    QTest::keyClick(desk->tastoEsci(), Qt::Key_Return);
    EXPECT_TRUE(desk->scaricata());
}

TEST_F(SetDeskTest, APressWhileTheChartIsBuiltIsDropped) {
    auto desk = Finestra();
    ASSERT_TRUE(desk->avvia());
    QApplication::setActiveWindow(desk.get());
    bool occupato = false;
    bool disabilitata = false;
    QAbstractButton* stampa = desk->tastoStampa();
    costruzione_ = [&] {
        occupato = QApplication::overrideCursor() != nullptr &&
                   QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        disabilitata = !desk->isEnabled();
        // The user presses "&Stampa" again while the chart is being built.
        const QPoint centro = stampa->rect().center();
        for (const QEvent::Type tipo : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QCoreApplication::postEvent(
                stampa,
                new QMouseEvent(tipo, centro, stampa->mapToGlobal(centro), Qt::LeftButton,
                                tipo == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                Qt::NoModifier));
        }
    };
    QTest::mouseClick(stampa, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_TRUE(occupato);
    EXPECT_TRUE(disabilitata);
    EXPECT_EQ(richieste_.size(), 1U);
    EXPECT_EQ(menu_, 1);
    EXPECT_TRUE(desk->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace tableau::gui
