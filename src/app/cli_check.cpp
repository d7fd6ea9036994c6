// tableau check: the administrator's report on the data directory (the current directory)
// before first use. Every database file the program reads, its format, every table read in
// it with its rows and every field read in that table, present or missing; then the list of
// problems and the summary.
#include <algorithm>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <utility>

#include "app/cli_commands.h"
#include "chart/data_directory_check.h"

namespace tableau::app {
namespace {

// "1.234.567": the row count as an Italian reader writes it.
std::string ConPuntiMigliaia(std::size_t n) {
    std::string cifre = std::to_string(n);
    for (std::size_t fine = cifre.size(); fine > 3; fine -= 3) {
        cifre.insert(fine - 3, 1, '.');
    }
    return cifre;
}

std::string Righe(std::size_t n) {
    return ConPuntiMigliaia(n) + (n == 1 ? " riga" : " righe");
}

// Width of the name column: every name, indented by its level, plus two spaces.
std::size_t LarghezzaNomi(const chart::RapportoArchivi& rapporto) {
    std::size_t larghezza = 0;
    for (const auto& archivio : rapporto.archivi) {
        larghezza = std::max(larghezza, archivio.nome.size());
        for (const auto& tabella : archivio.tabelle) {
            larghezza = std::max(larghezza, 2 + tabella.nome.size());
            for (const auto& campo : tabella.campi) {
                larghezza = std::max(larghezza, 4 + campo.nome.size());
            }
        }
    }
    return larghezza + 2;
}

void Riga(std::ostream& out, std::size_t larghezza, std::size_t rientro, const std::string& nome,
          const std::string& valore) {
    std::string testo = std::string(rientro, ' ') + nome;
    testo.resize(std::max(larghezza, testo.size() + 1), ' ');
    out << testo << valore << '\n';
}

void ScriviRapporto(std::ostream& out, const chart::RapportoArchivi& rapporto) {
    const std::size_t larghezza = LarghezzaNomi(rapporto);
    for (const auto& archivio : rapporto.archivi) {
        if (!archivio.formato) {
            Riga(out, larghezza, 0, archivio.nome, "ERRORE: " + archivio.errore);
            continue;
        }
        Riga(out, larghezza, 0, archivio.nome,
             std::string("formato ") + db::formatName(*archivio.formato));
        for (const auto& tabella : archivio.tabelle) {
            if (!tabella.righe) {
                Riga(out, larghezza, 2, tabella.nome, "ERRORE: " + tabella.errore);
                continue;
            }
            Riga(out, larghezza, 2, tabella.nome,
                 Righe(*tabella.righe) +
                     (tabella.righeDichiarate
                          ? " (l'archivio ne dichiara " +
                                ConPuntiMigliaia(*tabella.righeDichiarate) + ": DANNEGGIATO?)"
                          : std::string()));
            for (const auto& campo : tabella.campi) {
                Riga(out, larghezza, 4, campo.nome, campo.presente ? "presente" : "MANCANTE");
            }
        }
    }
}

// The settings of tableau mail that are set, each with where it came from.
void ScriviImpostazioniPosta(std::ostream& out, const routines::Impostazioni& impostazioni) {
    const std::pair<const char*, const std::optional<routines::Impostazione>*> chiavi[] = {
        {"mail.recipients", &impostazioni.destinatari},
        {"mail.format", &impostazioni.formatoPosta},
        {"mail.hotel", &impostazioni.hotelPosta},
        {"mail.tableau", &impostazioni.tableauPosta},
        {"mail.from", &impostazioni.primaCameraPosta},
        {"mail.to", &impostazioni.ultimaCameraPosta},
        {"mittente", &impostazioni.mittente},
        {"sendmail", &impostazioni.sendmail}};
    for (const auto& [chiave, impostazione] : chiavi) {
        if (*impostazione) {
            out << "Posta, " << chiave << ": " << (*impostazione)->valore << " (da "
                << (*impostazione)->origine << ")\n";
        }
    }
}

}  // namespace

int comandoCheck(const Argomenti& argomenti, std::ostream& out, std::ostream& err,
                 const routines::Impostazioni& impostazioni) {
    if (!argomenti.empty()) {
        if (argomenti.size() == 1 && (argomenti[0] == "--help" || argomenti[0] == "-h")) {
            out << "Uso: tableau check\n";
            return kEseguito;
        }
        err << "tableau check: il comando non ha opzioni.\nUso: tableau check\n";
        return kRifiutato;
    }
    chart::RapportoArchivi rapporto;
    std::filesystem::path cartellaDati;
    try {
        cartellaDati = std::filesystem::current_path();
        rapporto = chart::RapportoVerificaArchivi(cartellaDati);
    } catch (const std::exception& e) {
        err << "tableau check: " << e.what() << '\n';
        return kFallito;
    }
    out << "Cartella dei dati: " << cartellaDati.string() << " ("
        << (impostazioni.cartellaDati ? "da " + impostazioni.cartellaDati->origine
                                      : std::string("la cartella corrente"))
        << ")\n";
    out << "Postazione: "
        << (impostazioni.postazione
                ? impostazioni.postazione->valore + " (da " + impostazioni.postazione->origine + ")"
                : std::string("nessuna (PCLocal non impostata)"))
        << "\n";
    ScriviImpostazioniPosta(out, impostazioni);
    out << '\n';
    out << "Archivi della cartella " << cartellaDati.string() << "\n\n";
    ScriviRapporto(out, rapporto);
    const auto problemi = rapporto.problemi();
    if (problemi.empty()) {
        out << "\nControllo completato: tutti gli archivi, le tabelle e i campi sono presenti.\n";
        return kEseguito;
    }
    out << "\nProblemi:\n";
    for (const auto& problema : problemi) {
        out << "  - " << problema << '\n';
    }
    out << "Controllo completato: "
        << (problemi.size() == 1 ? std::string("1 problema trovato")
                                 : std::to_string(problemi.size()) + " problemi trovati")
        << ".\n";
    return kFallito;
}

}  // namespace tableau::app
