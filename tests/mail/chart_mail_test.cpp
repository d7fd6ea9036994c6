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

TEST_F(TestiPosta, AttachmentNames) {
    const chart::TableauLetto tableau = letto();
    EXPECT_EQ(NomeAllegato(tableau, "pdf"),
              "Tableau Hotel Bellavista - Primo piano - 2026-03-16.pdf");
    EXPECT_EQ(NomeAllegato(tableau, "xlsx"),
              "Tableau Hotel Bellavista - Primo piano - 2026-03-16.xlsx");

    chart::TableauLetto strano = tableau;
    strano.hotel = "Sole/Mare";
    strano.descrizione = "D\xE9pendance: \"A\"";
    EXPECT_EQ(NomeAllegato(strano, "txt"),
              "Tableau Sole-Mare - D\xC3\xA9pendance- -A- - 2026-03-16.txt");
}

}  // namespace
}  // namespace tableau::mail
