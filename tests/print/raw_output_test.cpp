// The raw path of the print job, byte for byte, and what it resolves on the way.
#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "print/print_job_fixture.h"
#include "print/sample_chart.h"
#include "routines/text.h"

namespace tableau::print {
namespace {

using test::Compresso;
using test::Grassetto;
using test::readFile;
using test::Righe;
using test::writeFile;

class RawOutputTest : public test::PrintJobTest {};

TEST_F(RawOutputTest, WithoutSettingsRowFiveZeroBytesAndSixtyLinePages) {
    destinazione(1, "Grezza", 9, "uscita.prn");
    tableau(Righe(1, 61));
    esegui(opzioni("Grezza"));
    EXPECT_EQ(readFile(dir() / "uscita.prn"),
              std::string(5, '\0') + Righe(1, 60) + "\x0C" + Righe(61, 61) + "\x0C");
}

TEST_F(RawOutputTest, ControlCodesBordersAndFormFeedLines) {
    destinazione(1, "Grezza", 1, "uscita.prn");
    setStampa(1, Compresso(0), Grassetto(1, 0, 0));
    contatori(1, 4, 50);
    tableau("\xB3 a \xC5\xC4\xDA\r\n\x0C\r\nb\xCD\r\n");
    esegui(opzioni("Grezza"));
    // Margin line, the line with its borders replaced, the form feed line ending the page,
    // the next page's margin line and "b" (205 is left), the last page ended.
    EXPECT_EQ(readFile(dir() / "uscita.prn"),
              std::string("\x1B\x0F\x01\x02\x03") + " \r\n| a ---\r\n\x0C \r\nb\xCD\r\n\x0C");

    auto normale = opzioni("Grezza");
    normale.compressa = false;
    esegui(normale);
    EXPECT_EQ(readFile(dir() / "uscita.prn").substr(0, 5), "\x1B\x12\x04\x05\x06");
}

TEST_F(RawOutputTest, FillToFilePageLengthWithU) {
    // The worked case: 2 margin lines, 60 lines a page, pages filled to 66 lines.
    hotel.hotel(1, "Albergo", "XU");
    destinazione(1, "Grezza", 1, "uscita.prn");
    setStampa(1, Compresso(0), Grassetto(2, 66, 70));
    contatori(1, 60, 40);
    const std::string chart = test::TableauEsempio(25);  // 134 lines
    tableau(chart);
    auto o = opzioni("Grezza");
    o.codiceAssistenza = LeggiCodiceAssistenza(dir());
    esegui(o);

    const std::string testo = readFile(dir() / "uscita.prn");
    ASSERT_EQ(testo.substr(0, 5), "\x1B\x0F\x01\x02\x03");
    std::vector<std::string> righe;
    for (std::size_t inizio = 5; inizio < testo.size();) {
        const auto fine = testo.find("\r\n", inizio);
        ASSERT_NE(fine, std::string::npos);
        righe.push_back(testo.substr(inizio, fine - inizio));
        inizio = fine + 2;
    }
    ASSERT_EQ(righe.size(), 3u * 66u);  // 58 + 58 + 18 chart lines
    std::string chartLetto;
    for (int pagina = 0; pagina < 3; ++pagina) {
        const auto base = static_cast<std::size_t>(66 * pagina);
        EXPECT_EQ(righe[base], " ");
        EXPECT_EQ(righe[base + 1], " ");
        const std::size_t nelTableau = pagina < 2 ? 58 : 18;
        for (std::size_t i = 0; i < nelTableau; ++i) {
            EXPECT_EQ(righe[base + 2 + i].size(), 132u);
            chartLetto += righe[base + 2 + i] + "\r\n";
        }
        for (std::size_t i = 2 + nelTableau; i < 66; ++i) {
            EXPECT_EQ(righe[base + i], "") << "page " << pagina << " line " << i;
        }
    }
    std::string atteso = chart;
    routines::SostituisciBordi(atteso);
    EXPECT_EQ(chartLetto, atteso);
    EXPECT_EQ(testo.find('\x0C'), std::string::npos);
}

TEST_F(RawOutputTest, MarginsNotBelowPageLengthNeverEndAPage) {
    destinazione(1, "Grezza", 1, "uscita.prn");
    setStampa(1, Compresso(0), Grassetto(3, 0, 0));
    contatori(1, 3, 3);
    tableau(Righe(1, 5));
    esegui(opzioni("Grezza"));
    EXPECT_EQ(readFile(dir() / "uscita.prn"),
              std::string("\x1B\x0F\x01\x02\x03") + " \r\n \r\n \r\n" + Righe(1, 5) + "\x0C");
}

TEST_F(RawOutputTest, CapitalKLeavesLinesUnconverted) {
    destinazione(1, "Grezza", 9, "uscita.prn");
    tableau("\xB3x\xC4\r\n");
    auto o = opzioni("Grezza");
    o.codiceAssistenza = "k";
    esegui(o);
    EXPECT_EQ(readFile(dir() / "uscita.prn"), std::string(5, '\0') + "|x-\r\n\x0C");
    o.codiceAssistenza = "AK";
    esegui(o);
    EXPECT_EQ(readFile(dir() / "uscita.prn"), std::string(5, '\0') + "\xB3x\xC4\r\n\x0C");
}

TEST_F(RawOutputTest, OutputChosenByEnvironmentThenLineThenPrinterOverride) {
    destinazione(1, "Ufficio Primo", 9, "linea.prn");
    tableau("a\r\n");
    const std::string atteso = std::string(5, '\0') + "a\r\n\x0C";
    {
        test::ScopedEnv altra("UFFICIO PRIMO", "altra.prn");  // other letter case: not this one
        test::ScopedEnv variabile("Ufficio Primo", "ambiente.prn");
        esegui(opzioni("Ufficio Primo"));
        EXPECT_EQ(readFile(dir() / "ambiente.prn"), atteso);
        EXPECT_FALSE(std::filesystem::exists(dir() / "linea.prn"));
        EXPECT_FALSE(std::filesystem::exists(dir() / "altra.prn"));

        auto o = opzioni("Ufficio Primo");
        o.stampante = " scelta.prn";  // used as it stands once not blank
        esegui(o);
        EXPECT_EQ(readFile(dir() / " scelta.prn"), atteso);
        o.stampante = "   ";
        std::filesystem::remove(dir() / "ambiente.prn");
        esegui(o);
        EXPECT_EQ(readFile(dir() / "ambiente.prn"), atteso);
    }
    test::ScopedEnv vuota("Ufficio Primo", "");
    // The job says where the chart went.
    EXPECT_EQ(esegui(opzioni("Ufficio Primo")),
              "Scritto nel file " + (dir() / "linea.prn").lexically_normal().string() + ".");
    EXPECT_EQ(readFile(dir() / "linea.prn"), atteso);
}

TEST_F(RawOutputTest, DestinationNamedLikeAStandardVariableKeepsItsLine) {
    // $MAIL, $HOME and $PATH are the system's, not destinations: a destination "Mail" must
    // never write the chart over the mailbox.
    tableau("a\r\n");
    const std::string atteso = std::string(5, '\0') + "a\r\n\x0C";
    test::ScopedEnv mail("MAIL", (dir() / "casella").string().c_str());
    test::ScopedEnv home("HOME", (dir() / "casa").string().c_str());
    // PATH keeps its value: lpstat is looked up through it.
    writeFile(dir() / "casella", "posta");
    for (const std::string nome : {"Mail", "Home", "Path"}) {
        destinazione(1, nome, 9, nome + ".prn");
        esegui(opzioni(nome));
        EXPECT_EQ(readFile(dir() / (nome + ".prn")), atteso) << nome;
    }
    EXPECT_EQ(readFile(dir() / "casella"), "posta");
    EXPECT_FALSE(std::filesystem::exists(dir() / "casa"));
}

TEST_F(RawOutputTest, FirstRowOfTheDestinationWhateverHotelAndCurrentHotelPageLength) {
    destinazione(2, "Condivisa", 9, "hotel2.prn");
    destinazione(1, "Condivisa", 9, "hotel1.prn");
    contatori(1, 100, 100);
    contatori(2, 2, 100);
    tableau(Righe(1, 3));
    auto o = opzioni("Condivisa");
    o.hotelCorrente = 2;
    esegui(o);
    EXPECT_FALSE(std::filesystem::exists(dir() / "hotel1.prn"));
    EXPECT_EQ(readFile(dir() / "hotel2.prn"),
              std::string(5, '\0') + Righe(1, 2) + "\x0C" + Righe(3, 3) + "\x0C");
}

TEST_F(RawOutputTest, DestinationWithApostrophe) {
    destinazione(1, "Sala dell'Ufficio", 9, "sala.prn");
    tableau("a\r\n");
    esegui(opzioni("Sala dell'Ufficio"));
    EXPECT_TRUE(std::filesystem::exists(dir() / "sala.prn"));
}

TEST_F(RawOutputTest, FailuresAreReportedAndLeaveTheOutputAlone) {
    destinazione(1, "Grezza", 9, "uscita.prn");
    destinazione(1, "Fuori", 1, "uscita.prn");
    setStampa(1, Compresso(0, 300), Grassetto(0, 0, 0));
    destinazione(1, "Cartella", 9, "manca/uscita.prn");
    writeFile(dir() / "uscita.prn", "precedente");

    // No chart file: reported before the output is touched.
    EXPECT_THROW(
        {
            try {
                esegui(opzioni("Grezza"));
            } catch (const ErroreStampa& e) {
                EXPECT_NE(std::string(e.what()).find("FD3"), std::string::npos) << e.what();
                throw;
            }
        },
        ErroreStampa);
    tableau("a\r\n");
    // No Stampanti row.
    try {
        esegui(opzioni("Nessuna"));
        ADD_FAILURE() << "no error";
    } catch (const ErroreStampa& e) {
        EXPECT_NE(std::string(e.what()).find("\"Nessuna\""), std::string::npos) << e.what();
    }
    // A control code that is no byte fails half-way: the previous file stays whole.
    EXPECT_THROW(esegui(opzioni("Fuori")), ErroreStampa);
    // An output that cannot be opened.
    try {
        esegui(opzioni("Cartella"));
        ADD_FAILURE() << "no error";
    } catch (const ErroreStampa& e) {
        EXPECT_NE(std::string(e.what()).find("Impossibile aprire"), std::string::npos) << e.what();
    }
    EXPECT_EQ(readFile(dir() / "uscita.prn"), "precedente");
    for (const auto& voce : std::filesystem::directory_iterator(dir())) {
        EXPECT_EQ(voce.path().filename().string().find(".uscita.prn"), std::string::npos);
    }
}

TEST_F(RawOutputTest, DeviceOrPipeIsWrittenDirectly) {
    destinazione(1, "Porta", 9, (dir() / "porta").string());
    ASSERT_EQ(::mkfifo((dir() / "porta").c_str(), 0600), 0);
    tableau("a\xB3\r\n");
    std::string ricevuto;
    std::thread lettore([&] {
        std::ifstream in(dir() / "porta", std::ios::binary);
        ricevuto.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    });
    const std::string dove = esegui(opzioni("Porta"));
    lettore.join();
    EXPECT_EQ(dove,
              "Inviato al dispositivo " + (dir() / "porta").lexically_normal().string() + ".");
    EXPECT_EQ(ricevuto, std::string(5, '\0') + "a|\r\n\x0C");
    EXPECT_TRUE(stampante.operazioni.empty());
}

TEST_F(RawOutputTest, PipeWhoseReaderGoesAwayIsAPrintErrorNotTheEndOfTheProgram) {
    // SIGPIPE keeps its default action here: the output itself must not raise it.
    destinazione(1, "Porta", 9, (dir() / "porta").string());
    ASSERT_EQ(::mkfifo((dir() / "porta").c_str(), 0600), 0);
    tableau(Righe(1, 20000));  // far more than the pipe holds
    std::thread lettore([&] {
        std::ifstream in(dir() / "porta", std::ios::binary);
        char inizio[10];
        in.read(inizio, sizeof inizio);
    });
    try {
        esegui(opzioni("Porta"));
        ADD_FAILURE() << "no error";
    } catch (const ErroreStampa& e) {
        EXPECT_NE(std::string(e.what()).find((dir() / "porta").string()), std::string::npos)
            << e.what();
    }
    lettore.join();
}

TEST_F(RawOutputTest, PipeThatNobodyReadsIsGivenUpAfterTheWait) {
    destinazione(1, "Porta", 9, (dir() / "porta").string());
    ASSERT_EQ(::mkfifo((dir() / "porta").c_str(), 0600), 0);
    tableau("a\r\n");
    const test::ScopedEnv attesa("TABLEAU_ATTESA_USCITA", "0.3");
    const auto prima = std::chrono::steady_clock::now();
    try {
        esegui(opzioni("Porta"));
        ADD_FAILURE() << "no error";
    } catch (const ErroreStampa& e) {
        EXPECT_NE(std::string(e.what()).find((dir() / "porta").string()), std::string::npos)
            << e.what();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - prima, std::chrono::seconds(5));
}

TEST_F(RawOutputTest, DestinationsAndAssistanceCodeOfHotelOne) {
    destinazione(1, "Laser", 1, "a");
    destinazione(2, "Altra", 1, "b");
    destinazione(1, "PDF Ufficio", 1, "c");
    EXPECT_EQ(ElencoDestinazioni(dir()), (std::vector<std::string>{"Laser", "PDF Ufficio"}));
    EXPECT_EQ(LeggiCodiceAssistenza(dir()), "");
    hotel.hotel(2, "Secondo", "K");
    hotel.hotel(1, "Primo", "U");
    EXPECT_EQ(LeggiCodiceAssistenza(dir()), "U");
}

}  // namespace
}  // namespace tableau::print
