// The texts of the chart's mail, from a real chart written and read back.
#include "mail/chart_mail.h"

#include <gtest/gtest.h>

#include <sstream>

#include "chart/chart_fixture.h"
#include "routines/codepage.h"

namespace tableau::mail {
namespace {

// The numbers of the text's line that starts with the label.
std::vector<std::string> Colonne(const std::string& testo, const std::string& etichetta) {
    std::istringstream righe(testo);
    for (std::string riga; std::getline(righe, riga);) {
        if (riga.starts_with(etichetta + "  ")) {
            std::istringstream campi(riga.substr(etichetta.size()));
            std::vector<std::string> valori;
            for (std::string campo; campi >> campo;) {
                valori.push_back(campo);
            }
            return valori;
        }
    }
    return {};
}

using Sette = std::vector<std::string>;

class TestiPosta : public ::testing::Test {
  protected:
    TestiPosta() {
        test::SettimanaDiEsempio(fx_);
        fx_.crea();
    }
    chart::TableauLetto letto() const { return chart::LeggiFileTableau(fx_.fileTableau()); }

    test::ChartFixture fx_;
};

TEST_F(TestiPosta, SubjectAndTextFromTheChart) {
    const chart::TableauLetto tableau = letto();
    EXPECT_EQ(OggettoPosta(tableau),
              "Tableau Hotel Bellavista \xE2\x80\x93 Primo piano \xE2\x80\x93 dal 16/03/2026");

    const std::string testo = TestoPosta(tableau);
    EXPECT_TRUE(testo.starts_with(OggettoPosta(tableau) + "\n")) << testo;
    EXPECT_EQ(Colonne(testo, "Data"), (Sette{"16/03/2026", "17/03/2026", "18/03/2026", "19/03/2026",
                                             "20/03/2026", "21/03/2026", "22/03/2026"}));
    EXPECT_EQ(Colonne(testo, "CC"), (Sette{"1", "1", "1", "1", "1", "1", "1"}));
    EXPECT_EQ(Colonne(testo, "MP"), (Sette{"1", "1", "1", "0", "0", "0", "0"}));
    EXPECT_EQ(Colonne(testo, "PC"), (Sette{"0", "0", "2", "2", "2", "0", "0"}));
    EXPECT_EQ(Colonne(testo, "Arrivi (camere)"), (Sette{"1", "0", "1", "0", "0", "0", "0"}));
    EXPECT_EQ(Colonne(testo, "Arrivi (persone)"), (Sette{"1", "0", "2", "0", "0", "0", "0"}));
    // No guest's or customer's name, no line drawing.
    for (const char* nome : {"Rossi", "Bianchi", "G\xC3\xA0lli", "Agenzia", "Caff"}) {
        EXPECT_EQ(testo.find(nome), std::string::npos) << nome;
    }
    EXPECT_EQ(testo.find("\xE2\x94"), std::string::npos);
    EXPECT_EQ(testo.find('|'), std::string::npos);
}

TEST_F(TestiPosta, TheTotalsAreTheChartsAsSaved) {
    // A total edited in the preview and saved is what the mail says.
    std::string file = test::readFile(fx_.fileTableau());
    const auto riga = file.find("CC =     1");
    ASSERT_NE(riga, std::string::npos);
    file.replace(riga, 10, "CC =     9");
    test::writeFile(fx_.fileTableau(), file);
    EXPECT_EQ(Colonne(TestoPosta(letto()), "CC"), (Sette{"9", "1", "1", "1", "1", "1", "1"}));
}

TEST_F(TestiPosta, AttachmentNamesAndTypes) {
    const chart::TableauLetto tableau = letto();
    EXPECT_EQ(NomeAllegato(tableau, FormatoPosta::pdf),
              "Tableau Hotel Bellavista - Primo piano - 2026-03-16.pdf");
    EXPECT_EQ(NomeAllegato(tableau, FormatoPosta::xlsx),
              "Tableau Hotel Bellavista - Primo piano - 2026-03-16.xlsx");
    EXPECT_EQ(TipoAllegato(FormatoPosta::xlsx),
              "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");
    EXPECT_EQ(TipoAllegato(FormatoPosta::totali), "");

    chart::TableauLetto strano = tableau;
    strano.hotel = "Sole/Mare";
    strano.descrizione = "D\xE9pendance: \"A\"";
    EXPECT_EQ(NomeAllegato(strano, FormatoPosta::testo),
              "Tableau Sole-Mare - D\xC3\xA9pendance- -A- - 2026-03-16.txt");

    for (const auto& [nome, formato] :
         {std::pair{"pdf", FormatoPosta::pdf}, std::pair{"xlsx", FormatoPosta::xlsx},
          std::pair{"text", FormatoPosta::testo}, std::pair{"totals", FormatoPosta::totali}}) {
        EXPECT_EQ(LeggiFormatoPosta(nome), formato);
        EXPECT_EQ(NomeFormatoPosta(formato), nome);
    }
    EXPECT_FALSE(LeggiFormatoPosta("PDF"));
    EXPECT_FALSE(LeggiFormatoPosta("csv"));
}

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
}  // namespace tableau::mail
