#include "export/output_format.h"

#include <utility>

#include "chart/chart_file.h"
#include "export/csv_export.h"
#include "routines/codepage.h"

namespace tableau::exports {

TableauDaEsportare::TableauDaEsportare(std::string testo, std::string nomeFile)
    : testo_(std::move(testo)), nomeFile_(std::move(nomeFile)) {}

TableauDaEsportare::TableauDaEsportare(chart::SettimanaAlbergo settimana, std::string testo,
                                       std::string nomeFile)
    : testo_(std::move(testo)), nomeFile_(std::move(nomeFile)), settimana_(std::move(settimana)) {}

TableauDaEsportare TableauDaEsportare::DellaPostazione(const routines::Postazione& postazione) {
    const std::filesystem::path file = chart::FileTableauEsistente(postazione);
    return TableauDaEsportare(chart::LeggiTestoTableau(file), file.filename().string());
}

const chart::TableauLetto& TableauDaEsportare::letto() const {
    if (settimana_ && !settimana_->tableau.empty()) {
        return settimana_->tableau.front();
    }
    if (!letto_) {
        letto_ = chart::LeggiTableau(testo_, nomeFile_);
    }
    return *letto_;
}

std::vector<const chart::TableauLetto*> TableauDaEsportare::sezioni() const {
    if (!settimana_) {
        return {&letto()};
    }
    std::vector<const chart::TableauLetto*> sezioni;
    for (const chart::TableauLetto& tableau : settimana_->tableau) {
        sezioni.push_back(&tableau);
    }
    return sezioni;
}

OpzioniUscita OpzioniDellaPostazione(const routines::Postazione& postazione, FormatoCarta carta) {
    return OpzioniUscita{carta, LeggiSeparatoriXLS(postazione.cartellaDati())};
}

std::string NomeFile(const FormatoUscita& formato, const routines::Postazione& postazione) {
    return chart::NomeFilePostazione(postazione, "fd", "." + std::string(formato.estensione));
}

std::filesystem::path Esporta(const FormatoUscita& formato, const routines::Postazione& postazione,
                              const std::filesystem::path& file, FormatoCarta carta) {
    const std::filesystem::path destinazione =
        file.empty() ? postazione.percorso(NomeFile(formato, postazione))
                     : postazione.cartellaDati() / file;
    const TableauDaEsportare tableau = TableauDaEsportare::DellaPostazione(postazione);
    formato.scrivi(tableau, destinazione, OpzioniDellaPostazione(postazione, carta));
    return destinazione;
}

}  // namespace tableau::exports
