// The chart file as UTF-8 text.
#include "export/text_export.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "chart/chart_fixture.h"
#include "support/temp_dir.h"

namespace tableau::exports {
namespace {

TEST(TableauInUtf8, FrameDrawnNamesKept) {
    test::ChartFixture fx;
    fx.camera("101");
    // "Ä" is the byte of the horizontal line, "³" the byte of the vertical one.
    fx.ospite({.camera = "101",
               .arrivo = "20260316",
               .partenza = "20260318",
               .progressivo = 1,
               .nome = "\xC3\x84nder \xC2\xB3"});
    fx.crea();
    const std::string file = test::readFile(fx.fileTableau());
    const std::string testo = TableauInUtf8(file);
    EXPECT_NE(testo.find("\xC3\x84nder \xC2\xB3"), std::string::npos) << "the name as written";
    EXPECT_NE(testo.find("\xE2\x94\x82"
                         "\xC3\x84nder"),
              std::string::npos)
        << "the cell's vertical line before it";
    EXPECT_NE(
        testo.find("\xE2\x94\x80\xE2\x94\x80\xE2\x94\x80\xE2\x94\x80\xE2\x94\x80\xE2\x94\xBC"),
        std::string::npos);
    EXPECT_NE(testo.find(" Hotel : Hotel Bellavista"), std::string::npos);
    EXPECT_EQ(std::count(testo.begin(), testo.end(), '\n'),
              std::count(file.begin(), file.end(), '\n'));
    EXPECT_NE(testo.find("\r\n"), std::string::npos) << "line ends kept";
    // Every line that was 132 characters still is.
    std::istringstream righe(testo);
    for (std::string riga; std::getline(righe, riga);) {
        riga.pop_back();  // CR
        std::size_t caratteri = 0;
        for (const char c : riga) {
            caratteri += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        }
        EXPECT_EQ(caratteri, 132u) << riga;
    }
}

}  // namespace
}  // namespace tableau::exports
