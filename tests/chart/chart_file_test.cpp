// The chart file's name and the workstation number it is made of.
#include "chart/chart_file.h"
#include "support/workstation.h"

#include <gtest/gtest.h>

#include <chrono>

#include "chart/chart_fixture.h"
#include "support/temp_dir.h"

namespace tableau::chart {
namespace {

TEST(ChartFile, WorkstationNumberThatWouldLeaveTheDataDirectoryIsRefused) {
    test::ChartFixture fx;
    std::filesystem::create_directory(fx.dir() / "FDx");
    const auto fuori = fx.dir().parent_path() / "ESCAPED";
    const RichiestaTableau richiesta{1, 1, "", "Z", "16/03/2026"};
    for (const char* valore : {"x/../../ESCAPED", "..", "a\\b", "7\x01", "7\n", "/tmp/x"}) {
        const test::ScopedEnv pc("PCLocal", valore);
        try {
            CreaTableau(test::PostazioneDi(fx.dir()), richiesta, test::kOrologio);
            ADD_FAILURE() << "accepted " << valore;
        } catch (const routines::ErrorePostazione& e) {
            EXPECT_NE(std::string(e.what()).find("PCLocal"), std::string::npos) << e.what();
        }
        EXPECT_THROW(NomeFileTableau(test::PostazioneDi(fx.dir())), routines::ErrorePostazione)
            << valore;
        EXPECT_THROW(TrovaFileTableau(test::PostazioneDi(fx.dir())), routines::ErrorePostazione)
            << valore;
    }
    EXPECT_FALSE(std::filesystem::exists(fuori));
    EXPECT_TRUE(std::filesystem::is_empty(fx.dir() / "FDx"));
    EXPECT_FALSE(std::filesystem::exists(fx.fileTableau()));

    const test::ScopedEnv pc("PCLocal", "03.b \xC3\xA0");
    EXPECT_EQ(NomeFileTableau(test::PostazioneDi(fx.dir())), "FD03.b \xE0");
}

TEST(ChartFile, FileFarBeyondAnyChartIsRefusedBeforeReading) {
    test::ChartFixture fx;
    fx.crea();
    EXPECT_EQ(LeggiTestoTableau(fx.fileTableau()), test::readFile(fx.fileTableau()));
    // 2 GB without a byte written: reading it whole would take the memory with it.
    std::filesystem::resize_file(fx.fileTableau(), std::uintmax_t{2} << 30);
    const auto prima = std::chrono::steady_clock::now();
    try {
        LeggiTestoTableau(fx.fileTableau());
        ADD_FAILURE() << "read";
    } catch (const ErroreLetturaTableau& e) {
        EXPECT_NE(std::string(e.what()).find(fx.fileTableau().string()), std::string::npos)
            << e.what();
        EXPECT_NE(std::string(e.what()).find("64 MB"), std::string::npos) << e.what();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - prima, std::chrono::seconds(1));
    std::filesystem::resize_file(fx.fileTableau(), kMassimoFileTableau);
    EXPECT_EQ(LeggiTestoTableau(fx.fileTableau()).size(), kMassimoFileTableau);
    std::filesystem::resize_file(fx.fileTableau(), kMassimoFileTableau + 1);
    EXPECT_THROW(LeggiTestoTableau(fx.fileTableau()), ErroreLetturaTableau);
    EXPECT_THROW(LeggiTestoTableau(fx.dir() / "manca"), ErroreLetturaTableau);
}

}  // namespace
}  // namespace tableau::chart
