// The page-printer path of the print job: the exact sequence of printer operations.
#include "print/print_job_fixture.h"

namespace tableau::print {
namespace {

using test::Compresso;
using test::Grassetto;
using Operazioni = std::vector<std::string>;

class PageOutputTest : public test::PrintJobTest {
  protected:
    void SetUp() override {
        // C1 = 8, C6 = 1, C7 = 11; one margin line; 3 lines a page compressed.
        destinazione(1, "Laser", 1, "Ufficio");
        setStampa(1, Compresso(1, 8, 11), Grassetto(1, 0, 0));
        contatori(1, 3, 50);
        stampante.installate = {"ufficio", "Ufficio", "Ufficio"};
    }
};

TEST_F(PageOutputTest, SequenceWithPageBreakAndFormFeed) {
    test::writeFile(dir() / "FontStp.txt", "Lucida Console\r\n");
    tableau(
        "\xB3\xE7"
        "a\xE7\xC4\r\nb\r\n\x0C\r\nc\r\n");
    auto o = opzioni("Laser");
    o.orizzontale = true;
    o.fronteRetro = true;
    esegui(o);
    const Operazioni nuovaPagina = {"nuova pagina", "orientamento 2", "font Times New Roman",
                                    "dimensione 8", "riga [ ]",       "font Lucida Console",
                                    "dimensione 8", "riga [ ]"};
    Operazioni atteso = {
        "stampante Ufficio", "fronteretro 2", "orientamento 2",      "font Times New Roman",
        "dimensione 8",      "riga [ ]",      "font Lucida Console", "riga [ ]",
        "dimensione 8",      "testo [|]",     "dimensione 7.6",      "grassetto si",
        "testo [a]",         "dimensione 8",  "grassetto no",        "riga [-]",
        "riga [b]"};
    // Margin line + 2 lines reach 3: a new page with its head.
    atteso.insert(atteso.end(), nuovaPagina.begin(), nuovaPagina.end());
    // The form feed: a page holding only the margin line, then a new page with its head.
    for (const char* op : {"nuova pagina", "orientamento 2", "riga [ ]"}) {
        atteso.emplace_back(op);
    }
    atteso.insert(atteso.end(), nuovaPagina.begin(), nuovaPagina.end());
    atteso.emplace_back("riga [c]");
    atteso.emplace_back("fine");
    atteso.emplace_back("orientamento 1");
    EXPECT_EQ(stampante.operazioni, atteso);
}

TEST_F(PageOutputTest, NormalSizeKAndNoPrinterMatch) {
    stampante.installate = {"ufficio"};
    tableau("\xB3x\r\n");
    auto o = opzioni("Laser");
    o.compressa = false;  // LungPagNoComp 50 and C7
    o.codiceAssistenza = "K";
    esegui(o);
    EXPECT_EQ(
        stampante.operazioni,
        (Operazioni{"orientamento 1", "font Times New Roman", "dimensione 8", "riga [ ]",
                    "font Courier New", "riga [ ]", "dimensione 11", "riga [\xB3x]", "fine"}));
}

TEST_F(PageOutputTest, PdfFileOutputAndPrinterOverride) {
    destinazione(1, "PDF Archivio", 1, "archivio.PDF");
    tableau("x\r\n");
    esegui(opzioni("PDF Archivio"));
    ASSERT_FALSE(stampante.operazioni.empty());
    EXPECT_EQ(stampante.operazioni.front(), "pdf archivio.PDF");

    stampante.operazioni.clear();
    auto o = opzioni("PDF Archivio");
    o.stampante = "Ufficio";
    esegui(o);
    EXPECT_EQ(stampante.operazioni.front(), "stampante Ufficio");
}

TEST_F(PageOutputTest, MissingChartIsReportedBeforeAnyPrinterIsChosen) {
    // A PDF file chosen for a job that then fails would take the next job's pages.
    destinazione(1, "PDF Archivio", 1, "archivio.pdf");
    EXPECT_THROW(esegui(opzioni("PDF Archivio")), ErroreStampa);
    EXPECT_THROW(esegui(opzioni("Laser")), ErroreStampa);
    EXPECT_TRUE(stampante.operazioni.empty());
}

}  // namespace
}  // namespace tableau::print
