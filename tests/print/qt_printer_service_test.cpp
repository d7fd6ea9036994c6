// The page-printer path through Qt PrintSupport: real PDF files, and a real CUPS queue.
#include <unistd.h>

#include <QPrinterInfo>

#include "print/print_job_fixture.h"
#include "print/qt/qt_printer_service.h"
#include "print/sample_chart.h"
#include "support/cups_support.h"
#include "support/workstation.h"

namespace tableau::print {
namespace {

using test::Compresso;
using test::Grassetto;

int Conta(const std::string& testo, const std::string& cosa) {
    int n = 0;
    for (auto p = testo.find(cosa); p != std::string::npos; p = testo.find(cosa, p + 1)) {
        ++n;
    }
    return n;
}

std::string TestoPdf(const std::filesystem::path& pdf) {
    return test::Comando("pdftotext -layout '" + pdf.string() + "' - 2>/dev/null");
}

class QtPrinterTest : public test::PrintJobTest {
  protected:
    ServizioStampantiQt qt;

    void SetUp() override {
        // C1 = 7 compressed, C6 = 1 page printer, C7 = 9; 60 lines a page.
        setStampa(1, Compresso(1, 7, 9), Grassetto(0, 0, 0));
        contatori(1, 60, 60);
        tableau(test::TableauEsempio(25));  // 134 lines: pages of 60, 60 and 14
    }
};

TEST_F(QtPrinterTest, PdfDestinationHoldsTheChartPageByPage) {
    destinazione(1, "PDF Archivio", 1, "archivio.pdf");
    auto o = opzioni("PDF Archivio");
    o.orizzontale = true;
    EseguiStampa(test::PostazioneDi(dir()), o, qt);

    const auto pdf = dir() / "archivio.pdf";
    ASSERT_TRUE(std::filesystem::exists(pdf));
    const std::string testo = TestoPdf(pdf);
    EXPECT_EQ(Conta(testo, "\f"), 3) << testo;
    EXPECT_NE(testo.find("Hotel : Albergo Bella Vista"), std::string::npos) << testo;
    EXPECT_NE(testo.find("| (2)(arrivata)    | (0)"), std::string::npos) << testo;
    EXPECT_NE(testo.find("Rossi Mario"), std::string::npos);
    EXPECT_NE(testo.find("Luned\xC3\xAC"), std::string::npos);  // UTF-8 in pdftotext's output
    EXPECT_NE(testo.find("MP    1.234,56"), std::string::npos);
    EXPECT_EQ(Conta(testo, "Rossi Mario"), 25);

    // Every page landscape, and the current printer back to portrait afterwards.
    const std::string info = test::Comando("pdfinfo -f 1 -l 3 '" + pdf.string() + "'");
    for (int pagina = 1; pagina <= 3; ++pagina) {
        const auto riga = info.find("Page    " + std::to_string(pagina) + " size:");
        ASSERT_NE(riga, std::string::npos) << info;
        double larghezza = 0;
        double altezza = 0;
        std::sscanf(info.c_str() + riga, "Page %*d size: %lf x %lf", &larghezza, &altezza);
        EXPECT_GT(larghezza, altezza) << info;
    }
    EXPECT_EQ(qt.stampanteCorrente().pageLayout().orientation(), QPageLayout::Portrait);
}

TEST_F(QtPrinterTest, UnknownPrinterIsReportedNotTurnedIntoPdf) {
    EXPECT_THROW(qt.scegliStampante("stampante-che-non-esiste"), ErroreStampa);
}

TEST_F(QtPrinterTest, NoPrinterAtAllIsReported) {
    if (!QPrinterInfo::availablePrinterNames().isEmpty()) {
        GTEST_SKIP() << "printers are installed here";
    }
    destinazione(1, "Laser", 1, "Ufficio");
    try {
        EseguiStampa(test::PostazioneDi(dir()), opzioni("Laser"), qt);
        ADD_FAILURE() << "printed without a printer";
    } catch (const ErroreStampa& e) {
        EXPECT_NE(std::string(e.what()).find("Nessuna stampante disponibile"), std::string::npos)
            << e.what();
    }
}

TEST_F(QtPrinterTest, PdfThatCannotBeWrittenIsReported) {
    destinazione(1, "PDF Rotto", 1, "manca/archivio.pdf");
    EXPECT_THROW(EseguiStampa(test::PostazioneDi(dir()), opzioni("PDF Rotto"), qt), ErroreStampa);
    // The service is usable again afterwards.
    destinazione(1, "PDF Buono", 1, "buono.pdf");
    EXPECT_EQ(EseguiStampa(test::PostazioneDi(dir()), opzioni("PDF Buono"), qt),
              "PDF salvato in " + (dir() / "buono.pdf").lexically_normal().string() + ".");
    EXPECT_NE(TestoPdf(dir() / "buono.pdf").find("Rossi Mario"), std::string::npos);
}

TEST_F(QtPrinterTest, CupsPdfQueueThroughThePagePrinter) {
    if (const auto motivo = test::CodaAssente(test::kCodaPdf)) {
        GTEST_SKIP() << *motivo;
    }
    ASSERT_TRUE(QPrinterInfo::availablePrinterNames().contains(test::kCodaPdf));
    destinazione(1, "Ufficio", 1, "non-usata");
    const std::string titolo = "tableau-prova-" + std::to_string(::getpid());
    qt.impostaNomeDocumento(titolo);
    const auto prima = test::FileDi(test::kCartellaPdf);
    auto o = opzioni("Ufficio");
    o.stampante = test::kCodaPdf;  // the printer chosen in the menu
    EseguiStampa(test::PostazioneDi(dir()), o, qt);
    EXPECT_EQ(qt.stampanteCorrente().printerName().toStdString(), test::kCodaPdf);

    const auto pdf = test::AttendiNuovoFile(test::kCartellaPdf, prima, [&](const auto& f) {
        return f.extension() == ".pdf" && f.filename().string().find(titolo) != std::string::npos;
    });
    ASSERT_TRUE(pdf) << "nessun PDF di " << titolo << " in " << test::kCartellaPdf;
    // cups-pdf writes the file in place: wait until its text is complete.
    std::string testo;
    for (int i = 0; i < 120 && Conta(testo, "Rossi Mario") < 25; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        testo = TestoPdf(*pdf);
    }
    EXPECT_EQ(Conta(testo, "Rossi Mario"), 25) << testo;
    EXPECT_NE(testo.find("| (2)(arrivata)    | (0)"), std::string::npos) << testo;
    std::filesystem::remove(*pdf);
}

}  // namespace
}  // namespace tableau::print
