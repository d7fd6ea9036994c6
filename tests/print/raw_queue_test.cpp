// Raw output to a CUPS queue: the printer receives exactly the bytes a file would get.
#include "print/print_job_fixture.h"
#include "print/sample_chart.h"
#include "support/cups_support.h"

namespace tableau::print {
namespace {

class RawQueueTest : public test::PrintJobTest {};

TEST_F(RawQueueTest, QueueReceivesTheSameBytesAsAFile) {
    if (const auto motivo = test::CodaAssente(test::kCodaGrezza)) {
        GTEST_SKIP() << *motivo;
    }
    hotel.hotel(1, "Albergo", "U");
    destinazione(1, "Su file", 1, "copia.prn");
    destinazione(1, "Su coda", 1, test::kCodaGrezza);
    setStampa(1, test::Compresso(0), test::Grassetto(2, 66, 70));
    tableau(test::TableauEsempio(14));
    auto o = opzioni("Su file");
    o.codiceAssistenza = LeggiCodiceAssistenza(dir());
    esegui(o);
    const std::string atteso = test::readFile(dir() / "copia.prn");

    const auto prima = test::FileDi(test::kCartellaCattura);
    o.destinazione = "Su coda";
    EXPECT_EQ(esegui(o), std::string("Inviato alla coda di stampa ") + test::kCodaGrezza + ".");
    const auto ricevuto = test::AttendiNuovoFile(test::kCartellaCattura, prima, [](const auto& f) {
        return f.filename().string().rfind("job-", 0) == 0;
    });
    ASSERT_TRUE(ricevuto) << "nessun lavoro ricevuto dalla coda " << test::kCodaGrezza;
    EXPECT_EQ(test::readFile(*ricevuto), atteso);
    EXPECT_FALSE(std::filesystem::exists(dir() / test::kCodaGrezza));
}

}  // namespace
}  // namespace tableau::print
