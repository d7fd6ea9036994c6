// The workbook read back by an independent reader, openpyxl (read_workbook.py): sheets,
// typed numbers and dates, fills, frozen panes, autofilter, print setup, accents and €.
#include "export/workbook_export.h"
#include "support/workstation.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "chart/chart_fixture.h"
#include "chart/chart_reader.h"
#include "routines/errors.h"
#include "support/cups_support.h"

namespace tableau::exports {
namespace {

namespace fs = std::filesystem;
using test::ChartFixture;

// What read_workbook.py says of a workbook: each line's first field, the rest.
std::map<std::string, std::string> LeggiCartellaLavoro(const fs::path& file) {
    const std::string uscita =
        test::Comando(std::string(TABLEAU_PYTHON) + " '" + TABLEAU_LETTORE_CARTELLA + "' '" +
                      file.string() + "' 2>&1");
    std::map<std::string, std::string> voci;
    std::istringstream righe(uscita);
    for (std::string riga; std::getline(righe, riga);) {
        const auto tab = riga.find('\t');
        if (tab != std::string::npos) {
            voci[riga.substr(0, tab)] = riga.substr(tab + 1);
        }
    }
    EXPECT_TRUE(voci.contains("sheets")) << "openpyxl could not read the workbook:\n" << uscita;
    return voci;
}

// A cell as "type<TAB>value<TAB>fill<TAB>number format<TAB>bold".
std::string Cella(const std::string& tipo, const std::string& valore,
                  const std::string& fondo = "-", const std::string& formato = "General",
                  const std::string& grassetto = "-") {
    return tipo + "\t" + valore + "\t" + fondo + "\t" + formato + "\t" + grassetto;
}

class CartellaLavoro : public ::testing::Test {
  protected:
    CartellaLavoro() {
        test::SettimanaDiEsempio(fx);
        fx.crea();
    }
    ChartFixture fx;
};

TEST_F(CartellaLavoro, TheChartAsAGrid) {
    const fs::path file = Esporta(kFormatoXlsx, test::PostazioneDi(fx.dir()));
    EXPECT_EQ(file, fx.dir() / "fd7.xlsx");
    auto voci = LeggiCartellaLavoro(file);
    EXPECT_EQ(voci["sheets"], "Tableau,Dati,Totali");

    EXPECT_EQ(voci["Tableau!A1"], Cella("str", "'Camera'", "FFEEEEEE", "General", "bold"));
    EXPECT_EQ(voci["Tableau!B1"],
              Cella("str", "'Luned\xC3\xAC\\n16/03/2026'", "FFEEEEEE", "General", "bold"));
    EXPECT_EQ(voci["Tableau!A2"], Cella("str", "'101\\nDOP\\n2 posti'", "-", "General", "bold"));
    EXPECT_EQ(voci["Tableau!B2"],
              Cella("str", "'(1) arrivata\\nRossi Mario\\nCaff\xC3\xA8 Nero \xE2\x82\xAC\\nHB'",
                    "FFC6EFCE"));
    EXPECT_TRUE(voci["Tableau!C2"].starts_with("str\t'(1) in fermata\\nRossi"));
    EXPECT_TRUE(voci["Tableau!C2"].ends_with("FFA9C8EB\tGeneral\t-"));
    EXPECT_EQ(voci["Tableau!D3"], Cella("str",
                                        "'(2) in arrivo\\nG\xC3\xA0lli Ren\xC3\xA9"
                                        "e\\nAgenzia S\xC3\xB2le\\nFB  Vista mare'",
                                        "FFFFEB9C"));
    EXPECT_TRUE(voci["Tableau!E3"].ends_with("FFDCC6F0\tGeneral\t-")) << "prenotata";
    EXPECT_FALSE(voci.contains("Tableau!E2")) << "a free day is a plain empty cell";
    // The totals below the rooms, as numbers.
    EXPECT_EQ(voci["Tableau!A6"], Cella("str", "'CC'", "-", "General", "bold"));
    EXPECT_EQ(voci["Tableau!D8"], Cella("int", "2", "-", "General", "bold"));

    EXPECT_EQ(voci["Tableau:freeze"], "B2");
    EXPECT_EQ(voci["Tableau:orientation"], "landscape");
    EXPECT_EQ(voci["Tableau:paper"], "9");
    EXPECT_TRUE(voci["Tableau:fit"] == "True\tNone\t0" || voci["Tableau:fit"] == "True\t1\t0")
        << "one page wide: " << voci["Tableau:fit"];
    EXPECT_EQ(voci["Tableau:title_rows"], "$1:$1");
    // Columns as wide as their longest line: "(1) in fermata" and "Agenzia Sòle".
    EXPECT_GE(std::stod(voci["Tableau:width:B"]), 14.0);
    EXPECT_LE(std::stod(voci["Tableau:width:B"]), 25.0);
    EXPECT_GE(std::stod(voci["Tableau:width:A"]), 7.0);
}

TEST_F(CartellaLavoro, ARowPerRoomAndDayWithTypedValues) {
    auto voci = LeggiCartellaLavoro(Esporta(kFormatoXlsx, test::PostazioneDi(fx.dir())));
    EXPECT_EQ(voci["Dati!A1"], Cella("str", "'Camera'", "-", "General", "bold"));
    // Room 101 on Monday: every column.
    EXPECT_EQ(voci["Dati!A2"], Cella("str", "'101'"));
    EXPECT_EQ(voci["Dati!C2"], Cella("int", "2"));
    EXPECT_EQ(voci["Dati!D2"],
              Cella("datetime", "datetime.datetime(2026, 3, 16, 0, 0)", "-", "dd/mm/yyyy"));
    EXPECT_EQ(voci["Dati!E2"], Cella("int", "1"));
    EXPECT_EQ(voci["Dati!F2"], Cella("str", "'arrivata'"));
    EXPECT_EQ(voci["Dati!G2"], Cella("str", "'Rossi Mario'"));
    EXPECT_EQ(voci["Dati!H2"], Cella("str", "'Caff\xC3\xA8 Nero \xE2\x82\xAC'"));
    EXPECT_FALSE(voci.contains("Dati!J2"));
    // Room 101 on Sunday: free, persons 0.
    EXPECT_EQ(voci["Dati!D8"],
              Cella("datetime", "datetime.datetime(2026, 3, 22, 0, 0)", "-", "dd/mm/yyyy"));
    EXPECT_EQ(voci["Dati!E8"], Cella("int", "0"));
    EXPECT_FALSE(voci.contains("Dati!F8"));
    // Room 102 on Thursday, the booking's second day.
    EXPECT_EQ(voci["Dati!E12"], Cella("int", "2"));
    EXPECT_EQ(voci["Dati!F12"], Cella("str", "'prenotata'"));
    EXPECT_EQ(voci["Dati!G12"], Cella("str",
                                      "'G\xC3\xA0lli Ren\xC3\xA9"
                                      "e'"));
    EXPECT_EQ(voci["Dati!J12"], Cella("str", "'Vista mare'"));
    EXPECT_EQ(voci["Dati!A29"], Cella("str", "'104'"));
    EXPECT_FALSE(voci.contains("Dati!A30"));
    EXPECT_EQ(voci["Dati:autofilter"], "A1:O29");
    // From a chart file the class and the classes' persons are not known; the block is.
    EXPECT_FALSE(voci.contains("Dati!K2"));
    EXPECT_FALSE(voci.contains("Dati!M2"));
    EXPECT_EQ(voci["Dati!O2"], Cella("str", "'Primo piano'"));
    EXPECT_EQ(voci["Dati:freeze"], "A2");

    EXPECT_EQ(voci["Totali!C1"], Cella("str", "'CC'", "-", "General", "bold"));
    EXPECT_EQ(voci["Totali!A2"],
              Cella("datetime", "datetime.datetime(2026, 3, 16, 0, 0)", "-", "dd/mm/yyyy"));
    EXPECT_EQ(voci["Totali!B2"], Cella("str", "'Luned\xC3\xAC'"));
    EXPECT_EQ(voci["Totali!C2"], Cella("int", "1"));
    EXPECT_EQ(voci["Totali!E6"], Cella("int", "2"));
    EXPECT_EQ(voci["Totali!D8"], Cella("int", "0"));
    EXPECT_FALSE(voci.contains("Totali!A9"));
}

TEST_F(CartellaLavoro, DatesAndBedsTheReaderCannotTypeStayTexts) {
    chart::TableauLetto tableau = chart::LeggiTableauDellaPostazione(test::PostazioneDi(fx.dir()));
    tableau.giorni[1].testoData = "17/3";  // edited in the preview
    tableau.giorni[1].data.reset();
    tableau.camere[0].posti = "2+1";
    ScriviXlsx(tableau, fx.dir() / "modificato.xlsx");
    auto voci = LeggiCartellaLavoro(fx.dir() / "modificato.xlsx");
    EXPECT_EQ(voci["Dati!D3"], Cella("str", "'17/3'"));
    EXPECT_EQ(voci["Dati!C3"], Cella("str", "'2+1'"));
    EXPECT_EQ(voci["Totali!A3"], Cella("str", "'17/3'"));
}

TEST_F(CartellaLavoro, WrittenWholeOrNotAtAll) {
    const fs::path file = Esporta(kFormatoXlsx, test::PostazioneDi(fx.dir()), "settimana.xlsx");
    EXPECT_EQ(file, fx.dir() / "settimana.xlsx");
    const std::string precedente = test::readFile(file);
    EXPECT_EQ(precedente.substr(0, 2), "PK");

    // A directory where the workbook should go: the rename fails, nothing is left behind.
    fs::create_directory(fx.dir() / "occupato.xlsx");
    EXPECT_THROW(Esporta(kFormatoXlsx, test::PostazioneDi(fx.dir()), "occupato.xlsx"),
                 routines::Errore);
    EXPECT_THROW(Esporta(kFormatoXlsx, test::PostazioneDi(fx.dir()), "manca/x.xlsx"),
                 routines::Errore);
    // A damaged chart leaves the previous workbook as it was.
    test::writeFile(fx.fileTableau(), " Hotel : x\r\n");
    EXPECT_THROW(Esporta(kFormatoXlsx, test::PostazioneDi(fx.dir()), "settimana.xlsx"),
                 chart::ErroreFileTableau);
    EXPECT_EQ(test::readFile(file), precedente);
    for (const auto& voce : fs::directory_iterator(fx.dir())) {
        EXPECT_FALSE(voce.path().filename().string().starts_with(".")) << voce.path();
    }
}

}  // namespace
}  // namespace tableau::exports
