// The request checks shared by the request window, the command line and the generator.
#include "chart/request_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "chart/crea_tableau.h"
#include "chart_fixture.h"
#include "support/hotel_fixture.h"

namespace tableau::chart {
namespace {

TEST(ControlloRichiesta, RoomsCompareAsTextNotAsNumbers) {
    EXPECT_EQ(DifettoRichiesta("101", "130", "16/03/2026"), std::nullopt);
    EXPECT_EQ(DifettoRichiesta("101", "101", "16/03/2026"), std::nullopt);
    // "9" comes after "10" character by character: the range 9..10 is reversed.
    EXPECT_EQ(DifettoRichiesta("9", "10", "16/03/2026"), Difetto::camere);
    EXPECT_EQ(DifettoRichiesta("10", "9", "16/03/2026"), std::nullopt);
    EXPECT_EQ(DifettoRichiesta("", "", "16/03/2026"), std::nullopt);
    EXPECT_EQ(DifettoRichiesta("A", "", "16/03/2026"), Difetto::camere);
}

TEST(ControlloRichiesta, DateAsTypedAndRangeFirst) {
    EXPECT_EQ(DifettoRichiesta("1", "2", " 16/03/2026 "), std::nullopt);
    for (const char* data : {"29/02/2025", "16/3/2026", "16-03-2026x", "", "32/01/2026"}) {
        EXPECT_EQ(DifettoRichiesta("1", "2", data), Difetto::data) << data;
    }
    // Both wrong: the range is reported, as the window checks it first.
    EXPECT_EQ(DifettoRichiesta("2", "1", "xx"), Difetto::camere);
}

TEST(ControlloRichiesta, RefusalCarriesTheMessageBoxTexts) {
    try {
        ControllaRichiesta("2", "1", "16/03/2026");
        FAIL() << "nessun rifiuto";
    } catch (const routines::RichiestaRifiutata& e) {
        const auto& rifiuto = dynamic_cast<const RichiestaRifiutata&>(e);
        EXPECT_EQ(rifiuto.difetto(), Difetto::camere);
        EXPECT_STREQ(e.what(), "Controllare l'intervallo di camere richiesto!");
        EXPECT_EQ(rifiuto.titolo(), "Camere errate!");
    }
    const RichiestaRifiutata data(Difetto::data);
    EXPECT_STREQ(data.what(), "La data deve essere inserita \r\nnel formato gg/mm/aaaa");
    EXPECT_EQ(data.titolo(), "Data errata!");
}

TEST(ControlloRichiesta, GeneratorRefusesAReversedRangeAndKeepsThePreviousChart) {
    test::ChartFixture fx;
    fx.camera("101");
    fx.crea("100", "200");
    const std::string file = test::readFile(fx.fileTableau());
    EXPECT_THROW(fx.creaSoltanto("200", "100", "16/03/2026"), RichiestaRifiutata);
    EXPECT_EQ(test::readFile(fx.fileTableau()), file);
}

}  // namespace
}  // namespace tableau::chart
