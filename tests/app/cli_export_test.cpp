// tableau pdf and tableau xlsx, run in-process in a data directory, without a display.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/cli_commands.h"
#include "chart/chart_fixture.h"
#include "chart/chart_reader.h"
#include "support/command_runner.h"
#include "support/cups_support.h"

namespace tableau::app {
namespace {

namespace fs = std::filesystem;

class ComandiEsportazione : public ::testing::Test {
  public:
    // tableau pdf or tableau xlsx, which take the same parameters.
    using Comando = const char*;

  protected:
    ComandiEsportazione() { test::SettimanaDiEsempio(fx_); }

    test::EsitoComando esegui(Comando comando, const Argomenti& argomenti) {
        return test::EseguiComando(postazione_, comando, argomenti);
    }

  public:
    static std::string TestoPdf(const fs::path& pdf) {
        return test::Comando("pdftotext -layout '" + pdf.string() + "' - 2>/dev/null");
    }

  protected:
    test::ChartFixture fx_;  // PCLocal = 7
    test::PostazioneDiProva postazione_{fx_.dir(), "7"};
    test::SenzaDisplay cron_;
};

TEST_F(ComandiEsportazione, PdfFromTheChartFile) {
    auto esito = esegui("pdf", {});
    EXPECT_EQ(esito.stato, kFallito) << "no chart file yet";
    EXPECT_NE(esito.err.find("tableau pdf: File del tableau FD7 non trovato"), std::string::npos)
        << esito.err;

    fx_.crea();
    esito = esegui("pdf", {});
    ASSERT_EQ(esito.stato, kEseguito) << esito.err;
    EXPECT_EQ(esito.out, "PDF salvato in fd7.pdf.\n");
    EXPECT_NE(TestoPdf(fx_.dir() / "fd7.pdf").find("Rossi Mario"), std::string::npos);

    fs::create_directory(fx_.dir() / "stampe");
    esito = esegui("pdf", {"--a3", "--output", "stampe/settimana.pdf"});
    ASSERT_EQ(esito.stato, kEseguito) << esito.err;
    EXPECT_EQ(esito.out, "PDF salvato in stampe/settimana.pdf.\n");
    const std::string info =
        test::Comando("pdfinfo '" + (fx_.dir() / "stampe" / "settimana.pdf").string() + "'");
    EXPECT_NE(info.find("(A3)"), std::string::npos) << info;
    EXPECT_EQ(esegui("pdf", {"--output=altro.pdf"}).stato, kEseguito);
    EXPECT_TRUE(fs::exists(fx_.dir() / "altro.pdf"));
}

TEST_F(ComandiEsportazione, XlsxFromTheChartFile) {
    fx_.crea();
    auto esito = esegui("xlsx", {});
    ASSERT_EQ(esito.stato, kEseguito) << esito.err;
    EXPECT_EQ(esito.out, "Foglio di calcolo salvato in fd7.xlsx.\n");
    EXPECT_EQ(test::readFile(fx_.dir() / "fd7.xlsx").substr(0, 2), "PK");
    esito = esegui("xlsx", {"--output", "settimana.xlsx"});
    EXPECT_EQ(esito.out, "Foglio di calcolo salvato in settimana.xlsx.\n");
    EXPECT_TRUE(fs::exists(fx_.dir() / "settimana.xlsx"));
}

TEST_F(ComandiEsportazione, RefusedArgumentsAndDamagedCharts) {
    struct Caso {
        Comando comando;
        Argomenti argomenti;
        const char* messaggio;
    };
    const Caso casi[] = {
        {"pdf", {"--a4"}, "tableau pdf: opzione sconosciuta \"--a4\""},
        {"pdf", {"--output"}, "tableau pdf: manca il valore dell'opzione --output."},
        {"pdf", {"--output="}, "tableau pdf: --output non pu\xC3\xB2 essere vuoto."},
        {"pdf",
         {"--output", "a.pdf", "--output", "b.pdf"},
         "--output \xC3\xA8 indicata pi\xC3\xB9 volte"},
        {"pdf", {"--output", ""}, "tableau pdf: --output non pu\xC3\xB2 essere vuoto."},
        {"csv", {"settimana.csv"}, "tableau csv: argomento non previsto \"settimana.csv\""},
        {"xlsx", {"--a3"}, "tableau xlsx: opzione sconosciuta \"--a3\""},
    };
    for (const Caso& caso : casi) {
        const auto esito = esegui(caso.comando, caso.argomenti);
        EXPECT_EQ(esito.stato, kRifiutato) << caso.messaggio;
        EXPECT_NE(esito.err.find(caso.messaggio), std::string::npos) << esito.err;
        EXPECT_EQ(esito.out, "");
    }

    fx_.crea();
    test::writeFile(fx_.fileTableau(), test::readFile(fx_.fileTableau()) + "Firma\r\n");
    for (const char* comando : {"pdf", "xlsx"}) {
        const auto esito = esegui(comando, {});
        EXPECT_EQ(esito.stato, kFallito);
        EXPECT_NE(esito.err.find("non segue pi\xC3\xB9 lo schema del tableau alla riga 30"),
                  std::string::npos)
            << esito.err;
    }
    EXPECT_FALSE(fs::exists(fx_.dir() / "fd7.pdf"));
    EXPECT_FALSE(fs::exists(fx_.dir() / "fd7.xlsx"));
}

// The numbers of each line that starts with the label, brackets read as blanks: "Arrivi
// 2 (3) 0 (0) ..." gives 2, 3, 0, 0...; a line per occurrence, in the text's order.
std::vector<std::vector<long>> Righe(const std::string& testo, const std::string& etichetta) {
    std::vector<std::vector<long>> righe;
    std::istringstream linee(testo);
    for (std::string linea; std::getline(linee, linea);) {
        for (char& c : linea) {
            c = c == '(' || c == ')' ? ' ' : c;
        }
        std::istringstream parole(linea);
        std::string prima;
        if (parole >> prima && prima == etichetta) {
            std::vector<long> numeri;
            for (long n = 0; parole >> n;) {
                numeri.push_back(n);
            }
            righe.push_back(numeri);
        }
    }
    return righe;
}

// What read_workbook.py says of each cell: its type and value.
std::map<std::string, std::string> Celle(const fs::path& file) {
    const std::string uscita =
        test::Comando(std::string(TABLEAU_PYTHON) + " '" + TABLEAU_LETTORE_CARTELLA + "' '" +
                      file.string() + "'");
    std::map<std::string, std::string> celle;
    std::istringstream righe(uscita);
    for (std::string riga; std::getline(righe, riga);) {
        const auto tab = riga.find('\t');
        if (tab == std::string::npos) {
            continue;
        }
        std::string resto = riga.substr(tab + 1);
        if (riga.find('!') != std::string::npos) {
            // type, value: the value up to the next tab.
            const auto primo = resto.find('\t');
            resto = resto.substr(primo + 1, resto.find('\t', primo + 1) - primo - 1);
        }
        celle[riga.substr(0, tab)] = resto;
    }
    return celle;
}

long Numero(const std::map<std::string, std::string>& celle, const std::string& cella) {
    const auto trovata = celle.find(cella);
    return trovata == celle.end() ? 0 : std::stol(trovata->second);
}

// The whole hotel of three blocks, as tableau pdf and tableau xlsx make it from a request.
class EsportazioneDellAlbergo : public ::testing::Test {
  protected:
    EsportazioneDellAlbergo() : soggiorni_(test::AlbergoDiEsempio(fx_)) {}

    test::EsitoComando esegui(ComandiEsportazione::Comando comando, const Argomenti& argomenti) {
        return test::EseguiComando(postazione_, comando, argomenti, routines::Impostazioni{},
                                   test::kOrologio);
    }

    // The departures (rooms, persons) of each day of a block, from the stays the tables hold.
    std::vector<long> Partenze(int tableau) const {
        std::vector<long> numeri;
        for (int g = 0; g < 7; ++g) {
            long camere = 0;
            long persone = 0;
            for (const test::SoggiornoDiEsempio& s : soggiorni_) {
                if (s.tableau == tableau && s.partenza == g && s.contato) {
                    ++camere;
                    persone += s.persone;
                }
            }
            numeri.push_back(camere);
            numeri.push_back(persone);
        }
        return numeri;
    }

    test::ChartFixture fx_;  // PCLocal = 7
    std::vector<test::SoggiornoDiEsempio> soggiorni_;
    test::PostazioneDiProva postazione_{fx_.dir(), "7"};
    test::SenzaDisplay cron_;
};

TEST_F(EsportazioneDellAlbergo, PdfOfEveryBlockAndTheHotel) {
    const auto esito = esegui("pdf", {"--hotel", "1", "--date=16/03/2026"});
    ASSERT_EQ(esito.stato, kEseguito) << esito.err;
    EXPECT_EQ(esito.out, "PDF salvato in fd7.pdf.\n");
    EXPECT_FALSE(fs::exists(fx_.fileTableau())) << "one chart file cannot hold three blocks";

    const std::string testo = ComandiEsportazione::TestoPdf(fx_.dir() / "fd7.pdf");
    std::vector<std::string> pagine;
    for (std::size_t inizio = 0, fine = 0; (fine = testo.find('\f', inizio)) != std::string::npos;
         inizio = fine + 1) {
        pagine.push_back(testo.substr(inizio, fine - inizio));
    }
    ASSERT_EQ(pagine.size(), 4u) << testo;
    EXPECT_NE(pagine[0].find("Tableau: Primo piano"), std::string::npos);
    EXPECT_NE(pagine[1].find("Tableau: Secondo piano"), std::string::npos);
    EXPECT_NE(pagine[2].find("Tableau: D\xC3\xA9pendance"), std::string::npos);
    EXPECT_NE(pagine[3].find("Tutto l'albergo (3 tableau)"), std::string::npos);
    EXPECT_NE(pagine[3].find("Pagina 4 di 4"), std::string::npos);
    // Texts whole, set smaller or wrapped within their line.
    const std::string parole =
        test::Comando("pdftotext -raw '" + (fx_.dir() / "fd7.pdf").string() + "' -");
    for (const char* intero :
         {"Universit\xC3\xA0 degli Studi di Bologna", "Maximilian", "Hohenzollern-Sigmaringen"}) {
        EXPECT_NE(parole.find(intero), std::string::npos) << intero << "\n" << parole;
    }
    // The departures marked, and in the legend.
    EXPECT_NE(pagine[1].find("partenza (1)"), std::string::npos) << pagine[1];
    EXPECT_NE(pagine[0].find("Legenda:"), std::string::npos);
    EXPECT_NE(pagine[0].find("partenza"), std::string::npos);

    // Each block's figures under its days, the hotel's their sums; the departures those of
    // the tables' stays.
    const std::vector<std::string> etichette = {"CC",       "MP",       "PC",     "Arrivi",
                                                "Partenze", "Occupate", "Libere", "Persone"};
    for (const std::string& etichetta : etichette) {
        std::vector<long> somma;
        for (std::size_t b = 0; b < 3; ++b) {
            const auto righe = Righe(pagine[b], etichetta);
            ASSERT_EQ(righe.size(), 1u) << etichetta << "\n" << pagine[b];
            somma.resize(righe[0].size());
            for (std::size_t i = 0; i < righe[0].size(); ++i) {
                somma[i] += righe[0][i];
            }
            if (etichetta == "Partenze") {
                EXPECT_EQ(righe[0], Partenze(static_cast<int>(b) + 1)) << b;
            }
        }
        const auto albergo = Righe(pagine[3], etichetta);
        ASSERT_EQ(albergo.size(), 1u) << etichetta;
        EXPECT_EQ(albergo[0], somma) << etichetta;
    }
    EXPECT_EQ(Righe(pagine[3], "Libere")[0].size(), 7u);
}

TEST_F(EsportazioneDellAlbergo, WorkbookRowsAddUpToTheTotals) {
    const auto esito =
        esegui("xlsx", {"--hotel", "1", "--date", "16/03/2026", "--output", "albergo.xlsx"});
    ASSERT_EQ(esito.stato, kEseguito) << esito.err;
    const auto celle = Celle(fx_.dir() / "albergo.xlsx");
    EXPECT_EQ(celle.at("sheets"),
              "Tableau 1 Primo piano,Tableau 2 Secondo piano,Tableau 3 D\xC3\xA9pendance,Dati,"
              "Totali");
    EXPECT_EQ(celle.at("Dati!K1"), "'Classe'");
    EXPECT_EQ(celle.at("Dati!O1"), "'Tableau'");
    EXPECT_EQ(celle.at("Totali!H1"), "'Partenze (camere)'");

    // Dati: 9 rooms of 7 days; each class's column, day by day, sums to the hotel's Totali.
    std::map<std::string, std::array<long, 3>> perGiorno;
    std::set<std::string> blocchi;
    for (int riga = 2; riga <= 64; ++riga) {
        const std::string n = std::to_string(riga);
        ASSERT_TRUE(celle.contains("Dati!D" + n)) << n;
        for (int c = 0; c < 3; ++c) {
            perGiorno[celle.at("Dati!D" + n)][static_cast<std::size_t>(c)] +=
                Numero(celle, std::string("Dati!") + static_cast<char>('L' + c) + n);
        }
        blocchi.insert(celle.at("Dati!O" + n));
    }
    EXPECT_FALSE(celle.contains("Dati!A65"));
    EXPECT_EQ(blocchi,
              (std::set<std::string>{"'Primo piano'", "'Secondo piano'", "'D\xC3\xA9pendance'"}));
    // Totali: three blocks of seven days, then the hotel's seven, the sums of the blocks'.
    EXPECT_EQ(celle.at("Totali!M2"), "'Primo piano'");
    EXPECT_EQ(celle.at("Totali!M23"), "\"Tutto l'albergo\"");
    EXPECT_FALSE(celle.contains("Totali!A30"));
    for (int g = 0; g < 7; ++g) {
        for (char colonna = 'C'; colonna <= 'L'; ++colonna) {
            long somma = 0;
            for (int b = 0; b < 3; ++b) {
                somma +=
                    Numero(celle, std::string("Totali!") + colonna + std::to_string(2 + 7 * b + g));
            }
            EXPECT_EQ(Numero(celle, std::string("Totali!") + colonna + std::to_string(23 + g)),
                      somma)
                << colonna << g;
        }
        const std::string data = celle.at("Totali!A" + std::to_string(23 + g));
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(perGiorno[data][static_cast<std::size_t>(c)],
                      Numero(celle, std::string("Totali!") + static_cast<char>('C' + c) +
                                        std::to_string(23 + g)))
                << data << " class " << c;
        }
        for (int b = 0; b < 3; ++b) {
            const std::string riga = std::to_string(2 + 7 * b + g);
            EXPECT_EQ(Numero(celle, "Totali!H" + riga),
                      Partenze(b + 1)[static_cast<std::size_t>(2 * g)]);
            EXPECT_EQ(Numero(celle, "Totali!I" + riga),
                      Partenze(b + 1)[static_cast<std::size_t>(2 * g + 1)]);
        }
    }
    // The one-night stay's class: "SO" counts under none, its row's class is empty.
    EXPECT_EQ(celle.at("Dati!I31"), "'SO'") << "201 on Tuesday";
    EXPECT_FALSE(celle.contains("Dati!K31"));
    EXPECT_EQ(celle.at("Dati!H31"), "'Universit\xC3\xA0 degli Studi di Bologna'");
}

TEST_F(EsportazioneDellAlbergo, OneBlockWritesItsChartFileFirst) {
    const auto esito = esegui("pdf", {"--hotel", "1", "--tableau", "2", "--date", "16/03/2026",
                                      "--output", "secondo.pdf"});
    ASSERT_EQ(esito.stato, kEseguito) << esito.err;
    EXPECT_EQ(esito.out, "Tableau scritto nel file FD7.\nPDF salvato in secondo.pdf.\n");
    const chart::TableauLetto file = chart::LeggiFileTableau(fx_.fileTableau());
    EXPECT_EQ(file.descrizione, "Secondo piano");
    EXPECT_EQ(file.camere[0].giorni[1].ditta, "Universit\xE0 degli") << "the file as ever";
    const std::string parole =
        test::Comando("pdftotext -raw '" + (fx_.dir() / "secondo.pdf").string() + "' -");
    EXPECT_NE(parole.find("Universit\xC3\xA0 degli Studi di Bologna"), std::string::npos);
    EXPECT_NE(parole.find("Pagina 1 di 1"), std::string::npos);
}

TEST_F(EsportazioneDellAlbergo, RequestsRefusedBeforeAnythingIsWritten) {
    fx_.crea();
    const std::string precedente = test::readFile(fx_.fileTableau());
    struct Caso {
        ComandiEsportazione::Comando comando;
        Argomenti argomenti;
        const char* messaggio;
    };
    const Caso casi[] = {
        {"pdf",
         {"--hotel", "9", "--date", "16/03/2026"},
         "tableau pdf: l'albergo 9 non esiste. Alberghi: 1 Hotel Bellavista."},
        {"xlsx",
         {"--hotel", "1", "--tableau", "4", "--date", "16/03/2026"},
         "il tableau 4 dell'albergo 1 non esiste"},
        {"pdf", {"--tableau", "1", "--date", "16/03/2026"}, "manca l'opzione --hotel"},
        {"pdf", {"--hotel", "1"}, "manca l'opzione --date"},
        {"pdf", {"--hotel", "1", "--from", "201", "--date", "16/03/2026"}, "per un solo tableau"},
        {"xlsx", {"--hotel", "1", "--date", "30/02/2026"}, "gg/mm/aaaa"},
        {"xlsx", {"--hotel", "x", "--date", "16/03/2026"}, "numero intero"},
    };
    for (const Caso& caso : casi) {
        const auto esito = esegui(caso.comando, caso.argomenti);
        EXPECT_EQ(esito.stato, kRifiutato) << caso.messaggio << esito.err;
        EXPECT_NE(esito.err.find(caso.messaggio), std::string::npos) << esito.err;
        EXPECT_EQ(esito.out, "");
    }
    EXPECT_EQ(test::readFile(fx_.fileTableau()), precedente);
    EXPECT_FALSE(fs::exists(fx_.dir() / "fd7.pdf"));
    EXPECT_FALSE(fs::exists(fx_.dir() / "fd7.xlsx"));
}

TEST(Uso, HelpNamesTheTwoOutputs) {
    const auto esito = test::EseguiRiga({"--help"});
    EXPECT_EQ(esito.stato, kEseguito);
    EXPECT_NE(esito.out.find("pdf [--output FILE] [--a3]"), std::string::npos);
    EXPECT_NE(esito.out.find("xlsx [--output FILE]"), std::string::npos);
}

}  // namespace
}  // namespace tableau::app
