#include "chart/data_directory_check.h"

#include <algorithm>
#include <memory>

#include "db/errors.h"
#include "db/hotel_schema.h"

namespace tableau::chart {
namespace {

RapportoArchivi::Tabella VerificaTabella(db::Database& archivio,
                                         const db::TableDescription& descrizione) {
    RapportoArchivi::Tabella tabella{
        std::string(descrizione.table), std::nullopt, std::nullopt, {}, {}};
    try {
        // Counted as they stream by: a table of years of stays is not held in memory.
        const db::TableSummary righe = archivio.summarize(tabella.nome);
        tabella.righe = righe.rows;
        if (righe.declaredRows && *righe.declaredRows != righe.rows) {
            tabella.righeDichiarate = righe.declaredRows;
        }
        for (const auto& colonna : descrizione.columns) {
            tabella.campi.push_back(
                {std::string(colonna.name), db::HasField(righe.fields, colonna.name)});
        }
    } catch (const db::ErroreArchivio& e) {
        tabella.errore = e.what();
    }
    return tabella;
}

}  // namespace

std::vector<std::string> RapportoArchivi::problemi() const {
    std::vector<std::string> righe;
    for (const auto& archivio : archivi) {
        if (!archivio.formato) {
            righe.push_back(archivio.errore);
            continue;
        }
        for (const auto& tabella : archivio.tabelle) {
            if (!tabella.righe) {
                // The layer's message names the table and the file.
                righe.push_back(tabella.errore);
                continue;
            }
            if (tabella.righeDichiarate) {
                righe.push_back("Tabella " + tabella.nome + " dell'archivio " + archivio.nome +
                                ": lette " + std::to_string(*tabella.righe) +
                                " righe, l'archivio ne dichiara " +
                                std::to_string(*tabella.righeDichiarate) +
                                ": l'archivio potrebbe essere danneggiato");
            }
            for (const auto& campo : tabella.campi) {
                if (!campo.presente) {
                    righe.push_back(
                        db::MissingFieldMessage(archivio.nome, tabella.nome, campo.nome));
                }
            }
        }
    }
    return righe;
}

RapportoArchivi RapportoVerificaArchivi(const std::filesystem::path& cartellaDati) {
    db::DataSource origine(cartellaDati, std::nullopt);
    return RapportoVerificaArchivi(origine);
}

RapportoArchivi RapportoVerificaArchivi(db::DataSource& origine) {
    RapportoArchivi rapporto;
    const auto& schema = db::hotelSchema();
    for (const auto& primaTabella : schema) {
        const auto giaVisto = [&](const RapportoArchivi::Archivio& a) {
            return a.nome == primaTabella.file;
        };
        if (std::any_of(rapporto.archivi.begin(), rapporto.archivi.end(), giaVisto)) {
            continue;  // a file the schema reads several tables of is reported once
        }
        RapportoArchivi::Archivio archivio{std::string(primaTabella.file), std::nullopt, {}, {}};
        try {
            // Open only while its tables are read: a Jet file keeps its tables in memory.
            const auto database = origine.open(primaTabella.file);
            archivio.formato = database->format();
            for (const auto& descrizione : schema) {
                if (descrizione.file == primaTabella.file) {
                    archivio.tabelle.push_back(VerificaTabella(*database, descrizione));
                }
            }
        } catch (const db::ErroreArchivio& e) {
            archivio.errore = e.what();
        }
        rapporto.archivi.push_back(std::move(archivio));
    }
    return rapporto;
}

std::vector<std::string> VerificaArchivi(const std::filesystem::path& cartellaDati) {
    return RapportoVerificaArchivi(cartellaDati).problemi();
}

}  // namespace tableau::chart
