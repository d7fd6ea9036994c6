// The chart's PDF read back by poppler's tools: its text (pdftotext), its pages and paper
// (pdfinfo), its fonts (pdffonts) and its fills on a picture of the first page (pdftoppm).
#include "export/qt/pdf_export.h"
#include "support/workstation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "chart/chart_fixture.h"
#include "chart/chart_reader.h"
#include "chart/hotel_week.h"
#include "db/data_source.h"
#include "export/state_fills.h"
#include "routines/errors.h"
#include "support/cups_support.h"

namespace tableau::exports {
namespace {

namespace fs = std::filesystem;
using test::ChartFixture;
using test::Comando;

std::string Citato(const fs::path& file) {
    return "'" + file.string() + "'";
}

// The text of each page, laid out as on the page.
std::vector<std::string> PagineDi(const fs::path& pdf) {
    const std::string testo = Comando("pdftotext -layout " + Citato(pdf) + " - 2>/dev/null");
    std::vector<std::string> pagine;
    std::size_t inizio = 0;
    for (std::size_t fine = testo.find('\f'); fine != std::string::npos;
         fine = testo.find('\f', inizio)) {
        pagine.push_back(testo.substr(inizio, fine - inizio));
        inizio = fine + 1;
    }
    return pagine;
}

int Conta(const std::string& testo, const std::string& cosa) {
    int n = 0;
    for (auto p = testo.find(cosa); p != std::string::npos; p = testo.find(cosa, p + 1)) {
        ++n;
    }
    return n;
}

bool Contiene(const std::string& testo, const std::string& cosa) {
    return testo.find(cosa) != std::string::npos;
}

// The numbers after a label at the start of a line: the totals row "CC  1  1 ...".
std::vector<long> NumeriDellaRiga(const std::string& testo, const std::string& etichetta) {
    std::istringstream righe(testo);
    for (std::string riga; std::getline(righe, riga);) {
        std::istringstream parole(riga);
        std::string prima;
        if (parole >> prima && prima == etichetta) {
            std::vector<long> numeri;
            for (long n = 0; parole >> n;) {
                numeri.push_back(n);
            }
            return numeri;
        }
    }
    return {};
}

// A word of the page with its box, in points from the page's top left corner.
struct Parola {
    std::string testo;
    double x0, y0, x1, y1;
};

std::vector<Parola> ParoleDellaPrimaPagina(const fs::path& pdf) {
    const std::string html = Comando("pdftotext -f 1 -l 1 -bbox " + Citato(pdf) + " - 2>/dev/null");
    static const std::regex kParola(
        R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)re");
    std::vector<Parola> parole;
    for (std::sregex_iterator i(html.begin(), html.end(), kParola), fine; i != fine; ++i) {
        parole.push_back({(*i)[5], std::stod((*i)[1]), std::stod((*i)[2]), std::stod((*i)[3]),
                          std::stod((*i)[4])});
    }
    return parole;
}

// The occurrences of a word, from left to right.
std::vector<Parola> Occorrenze(const std::vector<Parola>& parole, const std::string& testo) {
    std::vector<Parola> trovate;
    std::copy_if(parole.begin(), parole.end(), std::back_inserter(trovate),
                 [&](const Parola& p) { return p.testo == testo; });
    std::sort(trovate.begin(), trovate.end(),
              [](const Parola& a, const Parola& b) { return a.x0 < b.x0; });
    return trovate;
}

// The first page drawn at 50 dots per inch, read as a PPM picture.
class Immagine {
  public:
    static constexpr double kPuntiPerPixel = 72.0 / 50.0;

    explicit Immagine(const fs::path& pdf) {
        const fs::path radice = pdf.parent_path() / "pagina";
        Comando("pdftoppm -r 50 -f 1 -l 1 -singlefile " + Citato(pdf) + " " + Citato(radice));
        std::ifstream in(radice.string() + ".ppm", std::ios::binary);
        std::string magia;
        int massimo = 0;
        in >> magia >> larghezza_ >> altezza_ >> massimo;
        in.get();
        pixel_.resize(static_cast<std::size_t>(larghezza_ * altezza_ * 3));
        in.read(reinterpret_cast<char*>(pixel_.data()),
                static_cast<std::streamsize>(pixel_.size()));
        EXPECT_EQ(magia, "P6");
        EXPECT_EQ(massimo, 255);
        EXPECT_TRUE(in) << "the picture of the page could not be read";
    }

    // The colour at a point given in points, as 0xRRGGBB.
    std::uint32_t Colore(double x, double y) const {
        const auto px = static_cast<int>(x / kPuntiPerPixel);
        const auto py = static_cast<int>(y / kPuntiPerPixel);
        if (px < 0 || py < 0 || px >= larghezza_ || py >= altezza_) {
            ADD_FAILURE() << "point outside the page";
            return 0;
        }
        const std::size_t i = static_cast<std::size_t>((py * larghezza_ + px) * 3);
        return static_cast<std::uint32_t>(pixel_[i] << 16 | pixel_[i + 1] << 8 | pixel_[i + 2]);
    }

  private:
    int larghezza_ = 0;
    int altezza_ = 0;
    std::vector<unsigned char> pixel_;
};

// Colours equal within what anti-aliasing and colour conversion leave.
::testing::AssertionResult ColoreVicino(std::uint32_t visto, std::uint32_t atteso) {
    for (const int spostamento : {16, 8, 0}) {
        const int a = static_cast<int>(visto >> spostamento & 0xFF);
        const int b = static_cast<int>(atteso >> spostamento & 0xFF);
        if (std::abs(a - b) > 6) {
            std::ostringstream messaggio;
            messaggio << std::hex << "colour " << visto << " instead of " << atteso;
            return ::testing::AssertionFailure() << messaggio.str();
        }
    }
    return ::testing::AssertionSuccess();
}

std::string Pdfinfo(const fs::path& pdf) {
    return Comando("pdfinfo " + Citato(pdf) + " 2>/dev/null");
}

TEST(ChartPdf, EveryNameStateAndTotal) {
    ChartFixture fx;
    test::SettimanaDiEsempio(fx);
    fx.crea();
    const fs::path pdf = Esporta(kFormatoPdf, test::PostazioneDi(fx.dir()));
    EXPECT_EQ(pdf, fx.dir() / "fd7.pdf");

    const auto pagine = PagineDi(pdf);
    ASSERT_EQ(pagine.size(), 1u);
    const std::string& testo = pagine[0];
    for (const char* atteso :
         {"Hotel Bellavista", "Tableau: Primo piano", "Settimana dal 16/03/2026 al 22/03/2026",
          "Creato il 14/03/2026 09:05", "Luned\xC3\xAC", "Domenica", "22/03/2026", "Pagina 1 di 1",
          "Legenda:", "libera", "DOP", "2 posti", "1 posto", "Vista mare"}) {
        EXPECT_TRUE(Contiene(testo, atteso)) << atteso << "\n" << testo;
    }
    EXPECT_EQ(Conta(testo, "Rossi Mario"), 3);
    EXPECT_EQ(Conta(testo, "Caff\xC3\xA8 Nero \xE2\x82\xAC"), 3) << "accents and the euro sign";
    EXPECT_EQ(Conta(testo,
                    "G\xC3\xA0lli Ren\xC3\xA9"
                    "e"),
              3);
    EXPECT_EQ(Conta(testo, "Agenzia S\xC3\xB2le"), 3);
    EXPECT_EQ(Conta(testo, "Bianchi Luca"), 7);
    EXPECT_FALSE(Contiene(testo, "partenza")) << "a chart file knows no departures";
    EXPECT_EQ(Conta(testo, "(1) arrivata"), 1);
    EXPECT_EQ(Conta(testo, "(1) in fermata"), 9);
    EXPECT_EQ(Conta(testo, "(2) in arrivo"), 1);
    EXPECT_EQ(Conta(testo, "(2) prenotata"), 2);
    EXPECT_EQ(NumeriDellaRiga(testo, "CC"), (std::vector<long>{1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(NumeriDellaRiga(testo, "MP"), (std::vector<long>{1, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(NumeriDellaRiga(testo, "PC"), (std::vector<long>{0, 0, 2, 2, 2, 0, 0}));

    const std::string caratteri = Comando("pdffonts " + Citato(pdf) + " 2>/dev/null");
    EXPECT_TRUE(Contiene(caratteri, "LiberationSans ")) << caratteri;
    EXPECT_TRUE(Contiene(caratteri, "LiberationSans-Bold")) << caratteri;
    EXPECT_TRUE(Contiene(Pdfinfo(pdf), "842 x 595 pts (A4)")) << "A4 landscape";
}

TEST(ChartPdf, FillsTellTheStatesApart) {
    ChartFixture fx;
    test::SettimanaDiEsempio(fx);
    fx.crea();
    const fs::path pdf = Esporta(kFormatoPdf, test::PostazioneDi(fx.dir()));
    const auto parole = ParoleDellaPrimaPagina(pdf);
    const Immagine pagina(pdf);
    // Just right of a name, inside its cell.
    const auto accanto = [&](const Parola& p) {
        return pagina.Colore(p.x1 + 6, (p.y0 + p.y1) / 2);
    };

    const auto mario = Occorrenze(parole, "Mario");
    const auto galli = Occorrenze(parole,
                                  "Ren\xC3\xA9"
                                  "e");
    const auto bianchi = Occorrenze(parole, "Luca");
    ASSERT_EQ(mario.size(), 3u);
    ASSERT_EQ(galli.size(), 3u);
    ASSERT_EQ(bianchi.size(), 7u);
    EXPECT_TRUE(ColoreVicino(accanto(mario[0]), 0xC6EFCE)) << "arrivata";
    EXPECT_TRUE(ColoreVicino(accanto(mario[1]), 0xA9C8EB)) << "in fermata";
    EXPECT_TRUE(ColoreVicino(accanto(galli[0]), 0xFFEB9C)) << "in arrivo";
    EXPECT_TRUE(ColoreVicino(accanto(galli[1]), 0xDCC6F0)) << "prenotata";
    EXPECT_TRUE(ColoreVicino(accanto(bianchi[6]), 0xA9C8EB)) << "in fermata on Sunday";

    // Room 104 is free: its Monday cell, below Monday's names, is plain.
    const auto camera104 = Occorrenze(parole, "104");
    ASSERT_EQ(camera104.size(), 1u);
    EXPECT_TRUE(ColoreVicino(pagina.Colore(mario[0].x0 + 10, camera104[0].y1), 0xFFFFFF));
    // Room 101 on Thursday is free too, though the week around it is not.
    EXPECT_TRUE(ColoreVicino(pagina.Colore(galli[1].x0 + 10, mario[0].y1), 0xFFFFFF));
}

// The week of block 2 from the tables: 201's one night leaves a free Wednesday filled as a
// departure; on Monday 202's booking leaves as two guests arrive, a band along the cell's
// side. The day's figures under the totals.
TEST(ChartPdf, DeparturesHaveTheirOwnFill) {
    ChartFixture fx;
    test::AlbergoDiEsempio(fx);
    db::DataSource origine(fx.dir(), std::nullopt);
    const chart::SettimanaAlbergo settimana =
        chart::CreaSettimanaAlbergo(origine, {1, 2, {}, {}, "16/03/2026"}, test::kOrologio);
    const fs::path pdf = fx.dir() / "secondo.pdf";
    ScriviPdfTableau({&settimana.tableau[0]}, &settimana, pdf, FormatoCarta::a4);

    const std::string testo = PagineDi(pdf).at(0);
    EXPECT_TRUE(Contiene(testo, "(2) arrivata, partenza (3)")) << testo;
    EXPECT_EQ(Conta(testo, "partenza (1)"), 1);
    EXPECT_EQ(Conta(testo, "partenza (2)"), 1) << "202 on Friday";
    EXPECT_EQ(NumeriDellaRiga(testo, "Occupate"), (std::vector<long>{1, 2, 1, 1, 0, 0, 0}));
    EXPECT_EQ(NumeriDellaRiga(testo, "Libere"), (std::vector<long>{2, 1, 2, 2, 3, 3, 3}));

    const auto parole = ParoleDellaPrimaPagina(pdf);
    const Immagine pagina(pdf);
    const auto carlo = Occorrenze(parole, "Carlo");
    ASSERT_FALSE(carlo.empty());
    // 201 on Wednesday: "partenza (1)" in a cell of the departure's fill.
    const auto partenze = Occorrenze(parole, "partenza");
    ASSERT_FALSE(partenze.empty());
    bool mercoledi = false;
    for (const Parola& p : partenze) {
        if (ColoreVicino(pagina.Colore(p.x1 + 30, (p.y0 + p.y1) / 2), kColorePartenza)) {
            mercoledi = true;
        }
    }
    EXPECT_TRUE(mercoledi) << "a free day's departure fills its cell";
    // 202 on Monday: green as arrived, the departure's band at the cell's left edge.
    EXPECT_TRUE(
        ColoreVicino(pagina.Colore(carlo[0].x1 + 6, (carlo[0].y0 + carlo[0].y1) / 2), 0xC6EFCE));
    const auto neri = Occorrenze(parole, "Neri");
    ASSERT_FALSE(neri.empty());
    EXPECT_TRUE(ColoreVicino(pagina.Colore(neri[0].x0 - 0.9, (neri[0].y0 + neri[0].y1) / 2),
                             kColorePartenza));
}

// Thirty rooms: ten to a page, the totals on a fourth page of their own.
TEST(ChartPdf, HeaderOnEveryPageAndRoomsNeverSplit) {
    ChartFixture fx;
    constexpr int kCamere = 30;
    const auto due = [](int i) { return (i < 10 ? "0" : "") + std::to_string(i); };
    for (int i = 1; i <= kCamere; ++i) {
        fx.camera("1" + due(i), 1, "K" + due(i), 2);
        fx.ospite({.camera = "1" + due(i),
                   .arrivo = "20260301",
                   .partenza = "20260401",
                   .progressivo = i,
                   .nome = "Ospite" + due(i) + "x"});
    }
    fx.crea();
    const fs::path pdf = Esporta(kFormatoPdf, test::PostazioneDi(fx.dir()));
    const auto pagine = PagineDi(pdf);
    ASSERT_EQ(pagine.size(), 4u);
    for (std::size_t n = 0; n < pagine.size(); ++n) {
        const std::string& pagina = pagine[n];
        for (const char* atteso :
             {"Hotel Bellavista", "Tableau: Primo piano", "Camera", "Luned\xC3\xAC",
              "Marted\xC3\xAC", "Domenica", "16/03/2026", "22/03/2026", "Legenda:"}) {
            EXPECT_TRUE(Contiene(pagina, atteso)) << "page " << n + 1 << ": " << atteso;
        }
        EXPECT_TRUE(Contiene(pagina, "Pagina " + std::to_string(n + 1) + " di 4")) << pagina;
        EXPECT_EQ(NumeriDellaRiga(pagina, "PC").size(), n == 3 ? 7u : 0u) << "totals at the end";
    }
    // Each room's number (first line), type (second line), beds (third line) and its
    // seven days on one page only.
    for (int i = 1; i <= kCamere; ++i) {
        const std::regex numero("(^|\\n)\\s*1" + due(i) + "\\s");
        std::vector<std::size_t> dove;
        for (std::size_t n = 0; n < pagine.size(); ++n) {
            if (std::regex_search(pagine[n], numero)) {
                dove.push_back(n);
                EXPECT_EQ(Conta(pagine[n], "K" + due(i)), 1) << "room " << i;
                EXPECT_EQ(Conta(pagine[n], "Ospite" + due(i) + "x"), 7) << "room " << i;
            }
        }
        EXPECT_EQ(dove, std::vector<std::size_t>{static_cast<std::size_t>((i - 1) / 10)})
            << "room " << i;
    }
    EXPECT_EQ(Conta(pagine[3], "2 posti"), 0) << "no room on the totals' page";
}

TEST(ChartPdf, TextsWiderThanTheCellAreShrunkNotCut) {
    ChartFixture fx;
    fx.camera("101");
    const std::string larghissimo(17, 'W');  // the widest name the chart can hold
    fx.ospite({.camera = "101", .arrivo = "20260316", .partenza = "20260318", .nome = larghissimo});
    auto righe = fx.crea();
    // A longer name typed into the preview moves the vertical lines on.
    righe[6].replace(chart::InizioCella(1), 17, "WWWWWWWWW e Paolo Verdi Rossini");
    std::string testo;
    for (const auto& riga : righe) {
        testo += riga + "\r\n";
    }
    test::writeFile(fx.fileTableau(), testo);
    const auto pagine = PagineDi(Esporta(kFormatoPdf, test::PostazioneDi(fx.dir())));
    ASSERT_EQ(pagine.size(), 1u);
    EXPECT_TRUE(Contiene(pagine[0], larghissimo)) << pagine[0];
    EXPECT_TRUE(Contiene(pagine[0], "WWWWWWWWW e Paolo Verdi Rossini")) << pagine[0];
}

TEST(ChartPdf, A3AndFailures) {
    ChartFixture fx;
    EXPECT_THROW(Esporta(kFormatoPdf, test::PostazioneDi(fx.dir())), routines::Errore)
        << "no chart yet";
    test::SettimanaDiEsempio(fx);
    fx.crea();

    const fs::path a3 =
        Esporta(kFormatoPdf, test::PostazioneDi(fx.dir()), "grande.pdf", FormatoCarta::a3);
    EXPECT_EQ(a3, fx.dir() / "grande.pdf");
    EXPECT_TRUE(Contiene(Pdfinfo(a3), "1191 x 842 pts (A3)")) << Pdfinfo(a3);
    EXPECT_EQ(Conta(PagineDi(a3).at(0), "Rossi Mario"), 3);

    // A damaged chart and a directory that is not there leave the previous PDF whole.
    const std::string precedente = test::readFile(a3);
    test::writeFile(fx.fileTableau(), "non un tableau\r\n");
    try {
        Esporta(kFormatoPdf, test::PostazioneDi(fx.dir()), "grande.pdf", FormatoCarta::a3);
        FAIL() << "a damaged chart must be refused";
    } catch (const chart::ErroreFileTableau& e) {
        EXPECT_EQ(e.riga(), 1u);
    }
    EXPECT_EQ(test::readFile(a3), precedente);
    const chart::TableauLetto vuoto;
    EXPECT_THROW(ScriviPdfTableau(vuoto, fx.dir() / "manca" / "x.pdf", FormatoCarta::a4),
                 routines::Errore);
    EXPECT_FALSE(fs::exists(fx.dir() / "manca"));
}

}  // namespace
}  // namespace tableau::exports
