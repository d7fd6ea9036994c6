// The chart file read back: charts built by the generator, the same charts as the preview
// saves them, and files damaged by hand.
#include "chart/chart_reader.h"
#include "support/workstation.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "chart/chart_layout.h"
#include "chart_fixture.h"
#include "routines/text.h"

namespace tableau::chart {
namespace {

using test::ChartFixture;

std::string Unisci(const std::vector<std::string>& righe) {
    std::string testo;
    for (const auto& riga : righe) {
        testo += riga + "\r\n";
    }
    return testo;
}

// The line number and message of the failure to read a text.
struct Rifiuto {
    std::size_t riga = 0;
    std::string messaggio;
};

Rifiuto Rifiuta(const std::string& testo) {
    try {
        LeggiTableau(testo, "FD7");
    } catch (const ErroreFileTableau& e) {
        return {e.riga(), e.what()};
    }
    ADD_FAILURE() << "read without complaint";
    return {};
}

class LetturaTableau : public ::testing::Test {
  protected:
    LetturaTableau() {
        test::SettimanaDiEsempio(fx);
        righe = fx.crea();
    }
    ChartFixture fx;
    std::vector<std::string> righe;
};

TEST_F(LetturaTableau, TitleDaysRoomsAndTotals) {
    const TableauLetto t = LeggiFileTableau(fx.fileTableau());
    EXPECT_EQ(t.hotel, "Hotel Bellavista");
    EXPECT_EQ(t.descrizione, "Primo piano");
    EXPECT_EQ(t.dataInizio, "16/03/2026");
    EXPECT_EQ(t.generazione, "14/03/2026 09:05");
    EXPECT_EQ(t.giorni[0].nome, "Luned\xEC");
    EXPECT_EQ(t.giorni[6].nome, "Domenica");
    EXPECT_EQ(t.giorni[6].testoData, "22/03/2026");
    EXPECT_EQ(t.giorni[6].data, (routines::Data{22, 3, 2026}));

    ASSERT_EQ(t.camere.size(), 4u);
    const CameraLetta& rossi = t.camere[0];
    EXPECT_EQ(rossi.numero, "101");
    EXPECT_EQ(rossi.tipo, "DOP");
    EXPECT_EQ(rossi.posti, "2");
    EXPECT_EQ(rossi.riga, 6u);
    EXPECT_EQ(t.camere[3].riga, 21u);
    const GiornoLetto& lunedi = rossi.giorni[0];
    EXPECT_EQ(lunedi.persone, 1);
    EXPECT_EQ(lunedi.stato, StatoSoggiorno::arrivata);
    EXPECT_EQ(lunedi.testoStato, "(arrivata)");
    EXPECT_EQ(lunedi.nome, "Rossi Mario");
    EXPECT_EQ(lunedi.ditta, "Caff\xE8 Nero \x80");
    EXPECT_EQ(lunedi.codice, "HB");
    EXPECT_EQ(lunedi.nota, "");
    EXPECT_EQ(rossi.giorni[1].stato, StatoSoggiorno::inFermata);
    EXPECT_EQ(rossi.giorni[3].stato, StatoSoggiorno::nessuno);
    EXPECT_EQ(rossi.giorni[3].persone, 0);
    EXPECT_EQ(rossi.giorni[3].nome, "");

    const CameraLetta& prenotata = t.camere[1];
    EXPECT_EQ(prenotata.giorni[2].stato, StatoSoggiorno::inArrivo);
    EXPECT_EQ(prenotata.giorni[2].persone, 2);
    EXPECT_EQ(prenotata.giorni[3].stato, StatoSoggiorno::prenotata);
    EXPECT_EQ(prenotata.giorni[3].nome,
              "G\xE0lli Ren\xE9"
              "e");
    EXPECT_EQ(prenotata.giorni[3].ditta, "Agenzia S\xF2le");
    EXPECT_EQ(prenotata.giorni[3].codice, "FB");
    EXPECT_EQ(prenotata.giorni[3].nota, "Vista mare");
    EXPECT_EQ(t.camere[2].giorni[6].stato, StatoSoggiorno::inFermata);

    EXPECT_EQ(t.totaleCC, (std::array<long, 7>{1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(t.totaleMP, (std::array<long, 7>{1, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(t.totalePC, (std::array<long, 7>{0, 0, 2, 2, 2, 0, 0}));
}

TEST_F(LetturaTableau, PageSavedByThePreviewReadsAlike) {
    const TableauLetto originale = LeggiTableau(Unisci(righe), "FD7");
    // The preview shows and saves the borders as "|" and "-"; editors may leave blank lines
    // at the end, and an edit may take the bottom line away.
    std::string salvato = Unisci(righe);
    routines::SostituisciBordi(salvato);
    const TableauLetto letto = LeggiTableau(salvato + "\r\n   \r\n", "FD7");
    EXPECT_EQ(letto.camere.size(), originale.camere.size());
    EXPECT_EQ(letto.camere[1].giorni[3].nome, originale.camere[1].giorni[3].nome);
    EXPECT_EQ(letto.totalePC, originale.totalePC);
    auto senzaFondo = righe;
    senzaFondo.pop_back();
    EXPECT_EQ(LeggiTableau(Unisci(senzaFondo), "FD7").totaleCC, originale.totaleCC);

    // A name typed longer in the preview pushes the vertical lines on: read whole.
    auto modificato = righe;
    std::string& nomi = modificato[11];  // room 102's names
    nomi.replace(chart::InizioCella(3), 17, "Galli Renee e Paolo Verdi");
    std::string& codici = modificato[13];
    codici.replace(chart::InizioCella(3), 17, "FB    Vista mare, piano alto");
    const TableauLetto t = LeggiTableau(Unisci(modificato), "FD7");
    EXPECT_EQ(t.camere[1].giorni[3].nome, "Galli Renee e Paolo Verdi");
    EXPECT_EQ(t.camere[1].giorni[4].nome,
              "G\xE0lli Ren\xE9"
              "e");
    EXPECT_EQ(t.camere[1].giorni[3].codice, "FB");
    EXPECT_EQ(t.camere[1].giorni[3].nota, "Vista mare, piano alto");
}

TEST(LetturaCelle, StatesCutByTheCellAndLongCodes) {
    ChartFixture fx;
    fx.camera("101");
    fx.camera("102");
    fx.prenotazione({.camera = "101",
                     .arrivo = "20260316",
                     .partenza = "20260318",
                     .persone = 32767,
                     .trattamento = "MEZZAPENS"});
    fx.prenotazione({.camera = "102",
                     .arrivo = "20260316",
                     .partenza = "20260317",
                     .numero = 2,
                     .trattamento = "SUITE",
                     .note = "*Culla*"});
    fx.crea();
    const TableauLetto t = LeggiFileTableau(fx.fileTableau());
    const GiornoLetto& tagliato = t.camere[0].giorni[0];
    EXPECT_EQ(tagliato.persone, 32767);
    EXPECT_EQ(tagliato.testoStato, "(in arriv");
    EXPECT_EQ(tagliato.stato, StatoSoggiorno::inArrivo);
    EXPECT_EQ(t.camere[0].giorni[1].stato, StatoSoggiorno::prenotata);
    EXPECT_EQ(tagliato.codice, "MEZZAPENS") << "a code longer than six without a note";
    EXPECT_EQ(tagliato.nota, "");
    EXPECT_EQ(t.camere[1].giorni[0].codice, "SUITE");
    EXPECT_EQ(t.camere[1].giorni[0].nota, "Culla");

    EXPECT_EQ(NomeStato(StatoSoggiorno::inFermata), "in fermata");
    EXPECT_EQ(NomeStato(StatoSoggiorno::nessuno), "");
}

TEST(LetturaCelle, AnEmptyChartAndUnknownStates) {
    ChartFixture fx;
    auto righe = fx.crea();
    ASSERT_EQ(righe.size(), 9u);
    const TableauLetto vuoto = LeggiTableau(Unisci(righe), "FD7");
    EXPECT_TRUE(vuoto.camere.empty());
    EXPECT_EQ(vuoto.totaleCC, (std::array<long, 7>{}));

    ChartFixture uno;
    uno.camera("101");
    righe = uno.crea();
    righe[5].replace(chart::InizioCella(0), 17, " (1)(in partenza)");
    righe[5].replace(chart::InizioCella(1), 17, std::string(17, ' '));
    const TableauLetto t = LeggiTableau(Unisci(righe), "FD7");
    EXPECT_EQ(t.camere[0].giorni[0].stato, StatoSoggiorno::altro);
    EXPECT_EQ(t.camere[0].giorni[0].testoStato, "(in partenza)");
    EXPECT_EQ(t.camere[0].giorni[1].stato, StatoSoggiorno::nessuno) << "a cell emptied by hand";
}

TEST_F(LetturaTableau, DamagedFilesNameTheLine) {
    struct Caso {
        const char* cosa;
        std::function<void(std::vector<std::string>&)> danno;
        std::size_t riga;
        const char* motivo;
    };
    const std::vector<Caso> casi = {
        {"no title", [](auto& r) { r[0] = "Tableau della settimana"; }, 1, "Hotel :"},
        {"no line over the days", [](auto& r) { r.erase(r.begin() + 1); }, 2,
         "la linea sopra i giorni"},
        {"a vertical line lost", [](auto& r) { r[7][chart::InizioCella(2) - 1] = 'x'; }, 8,
         "sette giorni"},
        {"persons without brackets",
         [](auto& r) { r[10].replace(chart::InizioCella(4), 4, " 2  "); }, 11,
         "della camera 102 non comincia con il numero delle persone"},
        {"a room line deleted", [](auto& r) { r.erase(r.begin() + 8); }, 9,
         "la camera 101 ha 3 righe invece di 4"},
        {"a total not a number",
         [](auto& r) { r[26].replace(chart::InizioCella(5), 17, "MP =   due"); }, 27,
         "il totale MP di Sabato"},
        {"cut in the middle of a room", [](auto& r) { r.resize(13); }, 13,
         "il file finisce qui, senza le righe della camera 102"},
        {"no totals", [](auto& r) { r.resize(25); }, 25, "senza le righe dei totali"},
        {"text after the end", [](auto& r) { r.push_back("Firma del portiere"); }, 30,
         "il file continua"},
        {"empty file", [](auto& r) { r.clear(); }, 1, "senza il titolo"},
    };
    ASSERT_EQ(righe.size(), 29u);
    for (const Caso& caso : casi) {
        auto danneggiate = righe;
        caso.danno(danneggiate);
        const Rifiuto r = Rifiuta(Unisci(danneggiate));
        EXPECT_EQ(r.riga, caso.riga) << caso.cosa << ": " << r.messaggio;
        EXPECT_NE(r.messaggio.find("Il file del tableau FD7 non segue pi\xC3\xB9 lo schema del "
                                   "tableau alla riga " +
                                   std::to_string(caso.riga) + ": "),
                  std::string::npos)
            << caso.cosa << ": " << r.messaggio;
        EXPECT_NE(r.messaggio.find(caso.motivo), std::string::npos)
            << caso.cosa << ": " << r.messaggio;
    }
}

TEST(LetturaCartella, MissingOrUnreadableChartFile) {
    ChartFixture fx;
    try {
        LeggiTableauDellaPostazione(test::PostazioneDi(fx.dir()));
        FAIL() << "no chart file yet";
    } catch (const routines::Errore& e) {
        EXPECT_NE(std::string(e.what()).find("File del tableau FD7 non trovato"), std::string::npos)
            << e.what();
    }
    fx.camera("101");
    fx.crea();
    std::filesystem::rename(fx.fileTableau(), fx.dir() / "fd7");  // found ignoring case
    EXPECT_EQ(LeggiTableauDellaPostazione(test::PostazioneDi(fx.dir())).camere.size(), 1u);
    EXPECT_THROW(LeggiFileTableau(fx.dir() / "FD8"), routines::Errore);
}

}  // namespace
}  // namespace tableau::chart
