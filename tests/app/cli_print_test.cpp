// tableau print: a printer named on the command line is a queue of the system, or nothing
// is printed.
#include <gtest/gtest.h>

#include "chart/chart_fixture.h"
#include "support/command_runner.h"
#include "support/cups_support.h"

namespace tableau::app {
namespace {

TEST(ComandoStampa, APrinterThatIsNoQueueIsRefusedNamingTheQueues) {
    if (const auto motivo = test::CodaAssente(test::kCodaPdf)) {
        GTEST_SKIP() << *motivo;
    }
    test::ChartFixture fx;
    test::SettimanaDiEsempio(fx);
    fx.crea();
    const auto prima = test::FileDi(test::kCartellaPdf);
    const test::EsitoComando rifiuto =
        test::EseguiRiga({"-C", fx.dir().string(), "print", "--destination", "Laser ufficio",
                          "--printer", "Reception"});
    EXPECT_EQ(rifiuto.stato, kRifiutato) << rifiuto.err;
    EXPECT_NE(rifiuto.err.find("la stampante \"Reception\" non \xC3\xA8 una coda di stampa"),
              std::string::npos)
        << rifiuto.err;
    EXPECT_NE(rifiuto.err.find(test::kCodaPdf), std::string::npos) << "the queues are listed";
    EXPECT_TRUE(rifiuto.out.empty());

    // A real queue passes this check; the destination, not configured here, is what fails.
    const test::EsitoComando coda =
        test::EseguiRiga({"-C", fx.dir().string(), "print", "--destination", "Laser ufficio",
                          "--printer", test::kCodaPdf});
    EXPECT_EQ(coda.stato, kFallito) << coda.err;
    EXPECT_EQ(coda.err.find("coda di stampa"), std::string::npos) << coda.err;
    EXPECT_EQ(test::FileDi(test::kCartellaPdf), prima) << "nothing was printed";
}

}  // namespace
}  // namespace tableau::app
