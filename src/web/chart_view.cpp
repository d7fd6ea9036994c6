#include "web/chart_view.h"

#include <cerrno>
#include <charconv>

#include "chart/hotel_week.h"
#include "export/day_figures.h"
#include "routines/codepage.h"
#include "routines/errors.h"
#include "routines/shared_tables.h"

namespace tableau::web {
namespace {

std::int16_t Numero(const std::string& testo, std::string_view cosa) {
    int valore = 0;
    const auto [fine, errore] = std::from_chars(testo.data(), testo.data() + testo.size(), valore);
    if (testo.empty() || errore != std::errc() || fine != testo.data() + testo.size() ||
        valore < -32768 || valore > 32767) {
        throw routines::RichiestaRifiutata(std::string(cosa) +
                                           " deve essere un numero intero tra -32768 e 32767.");
    }
    return static_cast<std::int16_t>(valore);
}

routines::Data Oggi(const routines::Orologio& orologio) {
    const routines::DataOra adesso = orologio.adesso();
    return routines::Data{adesso.giorno, adesso.mese, adesso.anno};
}

std::string DueCifre(int n) {
    return (n < 10 ? "0" : "") + std::to_string(n);
}

}  // namespace

RichiestaPagina LeggiRichiestaPagina(const std::optional<std::string>& hotel,
                                     const std::optional<std::string>& tableau,
                                     const std::optional<std::string>& data,
                                     const routines::Orologio& orologio) {
    if (!hotel) {
        throw routines::RichiestaRifiutata("Indicare l'albergo (hotel=numero).");
    }
    RichiestaPagina richiesta;
    richiesta.hotel = Numero(*hotel, "Il numero dell'albergo");
    if (tableau && !tableau->empty()) {
        richiesta.tableau = Numero(*tableau, "Il numero del tableau");
    }
    if (data && !data->empty()) {
        std::string testo = routines::InCp1252(*data);
        std::optional<routines::Data> letta;
        if (routines::DataValida(testo)) {
            letta = routines::LeggiData(testo);
        }
        if (!letta) {
            throw routines::RichiestaRifiutata("La data \"" + *data +
                                               "\" non è una data valida (GG/MM/AAAA).");
        }
        richiesta.inizio = *letta;
    } else {
        richiesta.inizio = Oggi(orologio);
    }
    return richiesta;
}

PaginaTableau CostruisciPagina(db::DataSource& origine, const RichiestaPagina& richiesta,
                               const routines::Orologio& orologio) {
    const std::vector<chart::AlbergoElencato> alberghi = chart::ElencaAlberghi(origine);
    const chart::AlbergoElencato& albergo = chart::TrovaAlbergo(alberghi, richiesta.hotel);
    PaginaTableau pagina;
    pagina.hotel = albergo.numero;
    pagina.nomeHotel = albergo.nome;
    pagina.tableauScelto = richiesta.tableau;
    pagina.inizio = richiesta.inizio;
    pagina.oggi = Oggi(orologio);
    const routines::DataOra adesso = orologio.adesso();
    pagina.generazione = DueCifre(adesso.giorno) + "/" + DueCifre(adesso.mese) + "/" +
                         std::to_string(adesso.anno) + " " + DueCifre(adesso.ore) + ":" +
                         DueCifre(adesso.minuti);
    const auto primo = static_cast<std::size_t>(routines::GiornoSettimana(richiesta.inizio));
    for (std::size_t g = 0; g < chart::kGiorniTableau; ++g) {
        const routines::Data giorno =
            routines::AggiungiGiorni(richiesta.inizio, static_cast<int>(g));
        pagina.giorni[g] = chart::GiornoIntestazione{
            std::string(routines::kNomiGiorni[(primo + g) % chart::kGiorniTableau]),
            routines::TestoData(giorno), giorno};
    }

    // Every room of each block, of every type, as tableau chart makes it without --from and
    // --to; the whole week read once for all the blocks with rooms.
    std::vector<const chart::TableauDellAlbergo*> blocchi;
    if (richiesta.tableau) {
        blocchi.push_back(&chart::TrovaTableau(albergo, *richiesta.tableau));
    } else {
        for (const chart::TableauDellAlbergo& blocco : albergo.tableau) {
            blocchi.push_back(&blocco);
        }
    }
    std::vector<chart::RichiestaTableau> conCamere;
    for (const chart::TableauDellAlbergo* blocco : blocchi) {
        if (!blocco->camere.empty()) {
            const chart::IntervalloCamere tutte = chart::TutteLeCamere(*blocco);
            conCamere.push_back({albergo.numero, blocco->codice, tutte.prima, tutte.ultima,
                                 routines::TestoData(richiesta.inizio)});
        }
    }
    std::optional<chart::SettimanaAlbergo> settimana;
    if (!conCamere.empty()) {
        settimana = chart::CreaSettimanaAlbergo(origine, conCamere, !richiesta.tableau, orologio,
                                                /*testiInteri=*/false);
    }
    std::size_t letto = 0;
    for (const chart::TableauDellAlbergo* blocco : blocchi) {
        TableauPagina parte;
        parte.codice = blocco->codice;
        parte.descrizione = blocco->descrizione;
        if (!blocco->camere.empty()) {
            parte.tableau = std::move(settimana->tableau.at(letto++));
            for (const exports::RigaFigureGiorno& riga :
                 exports::RigheFigureGiorno(parte.tableau->conteggi.value())) {
                parte.conteggi.push_back({std::string(riga.etichetta), riga.valori});
            }
        }
        pagina.tableau.push_back(std::move(parte));
    }

    if (origine.fromServer()) {
        pagina.provenienza = "Dati dal " + origine.describe();
        if (const auto sincronizzazione = origine.lastSync()) {
            pagina.provenienza += ", sincronizzati il " + sincronizzazione->when;
        }
        pagina.provenienza += ".";
    } else {
        pagina.provenienza =
            "Dati dalla cartella " + routines::SoloUtf8(origine.cartellaDati().string()) + ".";
    }
    return pagina;
}

}  // namespace tableau::web
