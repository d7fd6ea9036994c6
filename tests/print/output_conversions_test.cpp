#include "print/output_conversions.h"

#include <gtest/gtest.h>

#include "print/recording_printer.h"
#include "print/sample_chart.h"

namespace tableau::print {
namespace {

using Operazioni = std::vector<std::string>;

TEST(Converti2, RulesInOrderAndEveryOtherByteKept) {
    struct Caso {
        unsigned char codice;
        char atteso;
    };
    const Caso casi[] = {
        {180, '\''},   {192, '\xE0'}, {200, '\xE8'}, {201, '\xE9'}, {204, '\xEC'}, {217, '\xF9'},
        {210, '\xF2'}, {187, '-'},    {188, '-'},    {191, '-'},    {193, '-'},    {194, '-'},
        {196, '-'},    {197, '-'},    {202, '-'},    {203, '-'},    {206, '-'},    {218, '-'},
        {179, '|'},    {183, '|'},    {186, '|'},    {195, '|'},
    };
    for (const auto& caso : casi) {
        EXPECT_EQ(Converti2(std::string(1, static_cast<char>(caso.codice))),
                  std::string(1, caso.atteso))
            << int(caso.codice);
    }
    // Small accented letters, the double line 205 and plain text stay.
    const std::string invariato = "\xE0\xE8\xE9\xEC\xF9\xF2\xCD\xE7 abc 1.234,56 |-";
    EXPECT_EQ(Converti2(invariato), invariato);
    EXPECT_EQ(Converti2(""), "");
}

TEST(Converti2, ChartFrameLines) {
    const auto righe = test::RigheTableauEsempio({{"101", "DOP", 2, "Rossi"}});
    EXPECT_EQ(Converti2(righe[1]), std::string(132, '-'));  // top border
    const std::string vuota = Converti2(righe[5]);          // a room line
    EXPECT_EQ(vuota[5], '|');
    EXPECT_EQ(vuota[23], '|');
    EXPECT_EQ(vuota[131], '|');
    EXPECT_EQ(Converti2(righe[4]).back(), '\'');        // separator line ends with 180
    EXPECT_EQ(Converti2(righe.back()).back(), '\xF9');  // bottom-right corner 217
}

TEST(StampaLaser, BoldSwitchWithinALine) {
    test::StampanteRegistrata stampante;
    stampante.dimensione = 8;
    StampaLaser(
        "aa\xE7"
        "bbb\xE7"
        "cc",
        stampante);
    EXPECT_EQ(stampante.operazioni,
              (Operazioni{"testo [aa]", "dimensione 7.6", "grassetto si", "testo [bbb]",
                          "dimensione 8", "grassetto no", "riga [cc]"}));
}

TEST(StampaLaser, SingleSwitchPersistsAndStacksOnTheNextLine) {
    test::StampanteRegistrata stampante;
    stampante.dimensione = 8;
    StampaLaser("x\xE7y", stampante);
    StampaLaser("\xE7z", stampante);
    EXPECT_EQ(stampante.operazioni,
              (Operazioni{"testo [x]", "dimensione 7.6", "grassetto si", "riga [y]", "testo []",
                          "dimensione 7.2", "grassetto si", "riga [z]"}));
}

TEST(StampaLaser, EmptyLinePrintsAnEmptyLine) {
    test::StampanteRegistrata stampante;
    StampaLaser("", stampante);
    EXPECT_EQ(stampante.operazioni, (Operazioni{"riga []"}));
}

}  // namespace
}  // namespace tableau::print
