#include "hotel_bench.h"

#include <algorithm>
#include <iomanip>
#include <sstream>
#include <vector>

#include "bare_week.h"
#include "chart/crea_tableau.h"
#include "db/database.h"
#include "db/hotel_schema.h"
#include "large_hotel.h"
#include "peak_memory.h"
#include "timing.h"

namespace tableau::bench {
namespace {

constexpr int kVolte = 7;

// What the chart does with the week's codes (chart/crea_tableau.cpp): each table narrowed
// to the rows whose CodiceCliente is one of them.
std::size_t LeggiCodiciTableau(const std::filesystem::path& cartellaDati,
                               const std::vector<db::Value>& codici) {
    std::size_t righe = 0;
    for (const char* tabella : {"Arrangiamento", "Ditta_Intestataria"}) {
        const auto file =
            db::OpenDatabase(cartellaDati, std::string(db::tableDescription(tabella).file));
        righe += file->select(db::SelectStatement{
                                  tabella, db::Criteria(""), std::nullopt,
                                  db::SelectStatement::ValuesIn{"CodiceCliente", codici, true}})
                     .rowCount();
    }
    return righe;
}

}  // namespace

MisuraAlbergo Misura(const AlbergoDiProva& albergo, const routines::Orologio& orologio) {
    const std::string dal = routines::ChiaveData(albergo.inizio);
    const std::string al = routines::ChiaveData(routines::AggiungiGiorni(albergo.inizio, 6));
    const auto tableau = [&] {
        chart::CreaTableau(
            routines::Postazione(albergo.cartellaDati, ""),
            {1, 1, numeroCamera(1), numeroCamera(kCamere), routines::TestoData(albergo.inizio)},
            orologio);
    };
    SettimanaNuda settimana;
    const auto nudo = [&] { settimana = LeggiSettimanaNuda(albergo.cartellaDati, dal, al); };
    nudo();  // warms the page cache for both
    tableau();

    MisuraAlbergo misura;
    misura.righe = settimana.righe;
    misura.codici = settimana.codici.size();
    AzzeraPicco();
    nudo();
    misura.piccoNudo = PiccoMB();
    AzzeraPicco();
    tableau();
    misura.piccoTableau = PiccoMB();

    std::vector<db::Value> codici;
    for (const std::int64_t codice : settimana.codici) {
        codici.push_back(db::Value::integer(codice));
    }
    const auto codiciTableau = [&] { LeggiCodiciTableau(albergo.cartellaDati, codici); };
    const auto codiciNudi = [&] { LeggiCodiciNudi(albergo.cartellaDati, settimana.codici); };
    // Taken in turns, so that both ways meet the machine's other work alike.
    misura.nudo = misura.tableau = misura.codiciNudo = misura.codiciTableau = 1e9;
    for (int i = 0; i < kVolte; ++i) {
        misura.nudo = std::min(misura.nudo, Migliore(1, nudo));
        misura.tableau = std::min(misura.tableau, Migliore(1, tableau));
        misura.codiciNudo = std::min(misura.codiciNudo, Migliore(1, codiciNudi));
        misura.codiciTableau = std::min(misura.codiciTableau, Migliore(1, codiciTableau));
    }
    return misura;
}

void StampaIntestazione(std::ostream& out) {
    out << std::left << std::setw(30) << "albergo" << std::right << std::setw(12) << "settimana"
        << std::setw(8) << "righe" << std::setw(8) << "codici" << std::setw(11) << "tableau s"
        << std::setw(9) << "picco MB" << std::setw(11) << "sqlite3 s" << std::setw(9) << "picco MB"
        << std::setw(10) << "rapporto"
        << "   per codice: tableau / sqlite3 ms\n";
}

void StampaRiga(std::ostream& out, const AlbergoDiProva& albergo, const MisuraAlbergo& misura) {
    std::ostringstream riga;
    riga << std::left << std::setw(30) << albergo.nome << std::right << std::setw(12)
         << routines::TestoData(albergo.inizio) << std::setw(8) << misura.righe << std::setw(8)
         << misura.codici << std::fixed << std::setprecision(3) << std::setw(11) << misura.tableau
         << std::setw(9) << misura.piccoTableau << std::setw(11) << misura.nudo << std::setw(9)
         << misura.piccoNudo << std::setprecision(2) << std::setw(10)
         << misura.tableau / misura.nudo << std::setprecision(1) << std::setw(12)
         << misura.codiciTableau * 1000 << " / " << misura.codiciNudo * 1000 << "\n";
    out << riga.str() << std::flush;
}

}  // namespace tableau::bench
