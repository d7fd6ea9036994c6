// The week of a whole hotel made from its tables: every block in order, the departures
// counted from the stays the test itself lists, the hotel's figures the sums of the
// blocks', the cells and totals those of each block's chart file, names whole, and the
// request refused before anything is read when it names what is not there.
#include "chart/hotel_week.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "chart/chart_fixture.h"
#include "chart/chart_reader.h"
#include "routines/codepage.h"
#include "routines/errors.h"
#include "routines/text.h"
#include "support/workstation.h"

namespace tableau::chart {
namespace {

using test::ChartFixture;
using test::SoggiornoDiEsempio;

class SettimanaDellAlbergo : public ::testing::Test {
  protected:
    SettimanaDellAlbergo() : soggiorni_(test::AlbergoDiEsempio(fx_)) {}

    SettimanaAlbergo crea(RichiestaAlbergo richiesta) {
        db::DataSource origine(fx_.dir(), std::nullopt);
        return CreaSettimanaAlbergo(origine, richiesta, test::kOrologio);
    }

    static RichiestaAlbergo TuttoLAlbergo() { return {1, std::nullopt, {}, {}, "16/03/2026"}; }

    ChartFixture fx_;
    std::vector<SoggiornoDiEsempio> soggiorni_;
};

TEST_F(SettimanaDellAlbergo, EveryBlockInOrderAndTheHotelTheSumOfItsBlocks) {
    const SettimanaAlbergo settimana = crea(TuttoLAlbergo());
    EXPECT_TRUE(settimana.interoAlbergo);
    EXPECT_EQ(settimana.nomeHotel, "Hotel Bellavista");
    ASSERT_EQ(settimana.tableau.size(), 3u);
    EXPECT_EQ(settimana.codiciTableau, (std::vector<std::int16_t>{1, 2, 3}));
    EXPECT_EQ(settimana.tableau[1].descrizione, "Secondo piano");
    EXPECT_EQ(settimana.tableau[2].descrizione, "D\xE9pendance");
    EXPECT_EQ(settimana.tableau[0].camere.size(), 4u);
    EXPECT_EQ(settimana.tableau[2].camere.back().numero, "D02");
    EXPECT_EQ(settimana.tableau[0].giorni[0].nome, "Luned\xEC");
    EXPECT_EQ(settimana.tableau[0].generazione, "14/03/2026 09:05");

    for (std::size_t g = 0; g < kGiorniTableau; ++g) {
        ConteggioGiorno somma;
        long cc = 0;
        long mp = 0;
        long pc = 0;
        for (const TableauLetto& tableau : settimana.tableau) {
            ASSERT_TRUE(tableau.conteggi);
            somma += (*tableau.conteggi)[g];
            cc += tableau.totaleCC[g];
            mp += tableau.totaleMP[g];
            pc += tableau.totalePC[g];
            const ConteggioGiorno& conta = (*tableau.conteggi)[g];
            EXPECT_EQ(conta.camereOccupate + conta.camereLibere,
                      static_cast<long>(tableau.camere.size()));
        }
        EXPECT_EQ(settimana.totale.conteggi[g], somma) << g;
        EXPECT_EQ(settimana.totale.totaleCC[g], cc);
        EXPECT_EQ(settimana.totale.totaleMP[g], mp);
        EXPECT_EQ(settimana.totale.totalePC[g], pc);
        EXPECT_EQ(somma.camereOccupate + somma.camereLibere, 9);
    }
    // Monday: 101 and 202 arriving (1 + 2 persons), 103 and D01 staying; 202's booking of
    // three left.
    const ConteggioGiorno& lunedi = settimana.totale.conteggi[0];
    EXPECT_EQ(lunedi.arrivi, 2);
    EXPECT_EQ(lunedi.personeInArrivo, 3);
    EXPECT_EQ(lunedi.camereOccupate, 4);
    EXPECT_EQ(lunedi.persone, 5);
    EXPECT_EQ(lunedi.partenze, 1);
    EXPECT_EQ(lunedi.personeInPartenza, 3);
}

// The departures of each day and block are the stays of the tables that end that day and
// that the chart counted: counted here from the list the tables were written from.
TEST_F(SettimanaDellAlbergo, TheDeparturesAreTheStaysEndingThatDay) {
    const SettimanaAlbergo settimana = crea(TuttoLAlbergo());
    for (std::size_t b = 0; b < settimana.tableau.size(); ++b) {
        const TableauLetto& tableau = settimana.tableau[b];
        for (int g = 0; g < static_cast<int>(kGiorniTableau); ++g) {
            long camere = 0;
            long persone = 0;
            for (const SoggiornoDiEsempio& s : soggiorni_) {
                if (s.tableau == settimana.codiciTableau[b] && s.partenza == g && s.contato) {
                    ++camere;
                    persone += s.persone;
                }
            }
            const ConteggioGiorno& conta = (*tableau.conteggi)[static_cast<std::size_t>(g)];
            EXPECT_EQ(conta.partenze, camere) << "block " << b << " day " << g;
            EXPECT_EQ(conta.personeInPartenza, persone) << "block " << b << " day " << g;
        }
        // Each departure is marked in its room's cell on its day.
        for (const CameraLetta& camera : tableau.camere) {
            for (std::size_t g = 0; g < kGiorniTableau; ++g) {
                const bool attesa = std::any_of(
                    soggiorni_.begin(), soggiorni_.end(), [&](const SoggiornoDiEsempio& s) {
                        return s.camera == camera.numero && s.partenza == static_cast<int>(g) &&
                               s.contato;
                    });
                EXPECT_EQ(camera.giorni[g].partenza, attesa) << camera.numero << " day " << g;
            }
        }
    }
    // 201's one night: arrived Tuesday, its departure on Wednesday, the room free again.
    const GiornoLetto& mercoledi = settimana.tableau[1].camere[0].giorni[2];
    EXPECT_EQ(settimana.tableau[1].camere[0].giorni[1].stato, StatoSoggiorno::arrivata);
    EXPECT_EQ(mercoledi.stato, StatoSoggiorno::nessuno);
    EXPECT_EQ(mercoledi.persone, 0);
    EXPECT_TRUE(mercoledi.partenza);
    EXPECT_EQ(mercoledi.personeInPartenza, 1);
}

// Each block of the week shows what its chart file shows, the names whole where the file
// cuts them at 17 characters; the class of each code as the totals count it.
TEST_F(SettimanaDellAlbergo, EachBlockIsItsChartWithTheTextsWhole) {
    const SettimanaAlbergo settimana = crea(TuttoLAlbergo());
    const routines::Postazione postazione = test::PostazioneDi(fx_.dir());
    for (std::size_t b = 0; b < settimana.tableau.size(); ++b) {
        const TableauLetto& tableau = settimana.tableau[b];
        CreaTableau(postazione, {1, settimana.codiciTableau[b], "", "\xFF", "16/03/2026"},
                    test::kOrologio);
        const TableauLetto file = LeggiTableauDellaPostazione(postazione);
        EXPECT_EQ(file.totaleCC, tableau.totaleCC) << b;
        EXPECT_EQ(file.totaleMP, tableau.totaleMP) << b;
        EXPECT_EQ(file.totalePC, tableau.totalePC) << b;
        ASSERT_EQ(file.camere.size(), tableau.camere.size());
        for (std::size_t c = 0; c < file.camere.size(); ++c) {
            EXPECT_EQ(file.camere[c].numero, tableau.camere[c].numero);
            for (std::size_t g = 0; g < kGiorniTableau; ++g) {
                const GiornoLetto& letto = file.camere[c].giorni[g];
                const GiornoLetto& modello = tableau.camere[c].giorni[g];
                EXPECT_EQ(letto.persone, modello.persone);
                EXPECT_EQ(letto.stato, modello.stato);
                EXPECT_EQ(letto.nome, routines::TogliSpazi(modello.nome.substr(0, 17)));
                EXPECT_EQ(letto.ditta, routines::TogliSpazi(modello.ditta.substr(0, 17)));
                EXPECT_EQ(letto.codice, modello.codice);
            }
        }
    }
    const GiornoLetto& verdi = settimana.tableau[1].camere[0].giorni[1];
    EXPECT_EQ(verdi.ditta, "Universit\xE0 degli Studi di Bologna");
    EXPECT_EQ(verdi.classe, "");
    EXPECT_EQ(verdi.perClasse, (std::array<long, 3>{0, 0, 0})) << "SO counts under no class";
    const GiornoLetto& dellOrto = settimana.tableau[2].camere[0].giorni[0];
    EXPECT_EQ(dellOrto.nome, "Dell'Orto J\xFCrgen Maximilian von Hohenzollern-Sigmaringen");
    EXPECT_EQ(dellOrto.classe, "CC");
    EXPECT_EQ(dellOrto.perClasse, (std::array<long, 3>{1, 0, 0}));
    const GiornoLetto& neri = settimana.tableau[1].camere[1].giorni[0];
    EXPECT_EQ(neri.classe, "MP");
    EXPECT_EQ(neri.perClasse, (std::array<long, 3>{0, 2, 0}));

    // Every code shown, with its class, in the order first shown.
    std::vector<std::pair<std::string, std::string>> codici;
    for (const CodiceSettimana& codice : settimana.codici) {
        codici.emplace_back(codice.codice, codice.classe);
    }
    EXPECT_EQ(codici, (std::vector<std::pair<std::string, std::string>>{
                          {"HB", "MP"}, {"FB", "PC"}, {"BB", "CC"}, {"SO", ""}}));
}

TEST_F(SettimanaDellAlbergo, OneBlockAndItsRooms) {
    const SettimanaAlbergo settimana = crea({1, 2, "202", {}, "17/03/2026"});
    EXPECT_FALSE(settimana.interoAlbergo);
    ASSERT_EQ(settimana.tableau.size(), 1u);
    ASSERT_EQ(settimana.tableau[0].camere.size(), 2u);
    EXPECT_EQ(settimana.tableau[0].camere[0].numero, "202");
    EXPECT_EQ(settimana.tableau[0].dataInizio, "17/03/2026");
    EXPECT_EQ(settimana.totale.conteggi[0], (*settimana.tableau[0].conteggi)[0]);
}

TEST_F(SettimanaDellAlbergo, RequestsRefusedBeforeAnythingIsRead) {
    struct Caso {
        RichiestaAlbergo richiesta;
        const char* messaggio;
    };
    const Caso casi[] = {
        {{9, std::nullopt, {}, {}, "16/03/2026"},
         "l'albergo 9 non esiste. Alberghi: 1 Hotel Bellavista."},
        {{1, 7, {}, {}, "16/03/2026"}, "il tableau 7 dell'albergo 1 non esiste"},
        {{1, std::nullopt, "101", {}, "16/03/2026"}, "per un solo tableau"},
        {{1, 2, "300", "399", "16/03/2026"}, "le camere vanno da 201 a 203"},
        {{1, std::nullopt, {}, {}, "31/02/2026"}, "gg/mm/aaaa"},
    };
    for (const Caso& caso : casi) {
        try {
            crea(caso.richiesta);
            ADD_FAILURE() << caso.messaggio;
        } catch (const routines::RichiestaRifiutata& e) {
            EXPECT_NE(std::string(e.what()).find(caso.messaggio), std::string::npos) << e.what();
        }
    }
    // A hotel without blocks.
    fx_.db().hotel(2, "Villa Vuota");
    try {
        crea({2, std::nullopt, {}, {}, "16/03/2026"});
        ADD_FAILURE();
    } catch (const routines::RichiestaRifiutata& e) {
        EXPECT_NE(std::string(e.what()).find("l'albergo 2 non ha tableau"), std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists(fx_.fileTableau())) << "nothing written";
}

}  // namespace
}  // namespace tableau::chart
