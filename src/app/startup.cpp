#include "app/startup.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>

#include "db/server/server_schema.h"
#include "routines/codepage.h"
#include "routines/errors.h"
#include "routines/system_log.h"

namespace tableau::app {

routines::Impostazioni ApplicaImpostazioni(const OpzioniGenerali& opzioni,
                                           routines::FontiImpostazioni fonti) {
    if (fonti.fileUtente.empty()) {
        fonti.fileUtente = routines::FileUtentePredefinito();
    }
    fonti.opzioneCartella = opzioni.cartella;
    fonti.opzioneServer = opzioni.server;
    fonti.opzioneSchema = opzioni.schema;
    routines::Impostazioni impostazioni = routines::RisolviImpostazioni(fonti);
    // A schema name goes into statements: anything but a plain name is refused before a
    // server is contacted or a file is touched.
    if (auto& schema = impostazioni.schema) {
        try {
            schema->valore = db::server::CheckSchemaName(schema->valore);
        } catch (const routines::RichiestaRifiutata& e) {
            throw routines::RichiestaRifiutata(std::string(e.what()) + " Indicato da " +
                                               schema->origine + ".");
        }
    }
    if (const auto& cartella = impostazioni.cartellaDati) {
        std::error_code errore;
        const std::filesystem::path percorso(cartella->valore);
        if (!std::filesystem::is_directory(percorso, errore)) {
            throw routines::Errore(
                "La cartella dei dati " + cartella->valore + " indicata da " + cartella->origine +
                (std::filesystem::exists(percorso, errore) ? " non \xC3\xA8 una cartella."
                                                           : " non esiste."));
        }
    }
    routines::ImpostaPostazioneRegistro(PostazioneImpostata(impostazioni).numeroIndicato());
    return impostazioni;
}

std::optional<db::ServerSetting> ServerImpostato(const routines::Impostazioni& impostazioni) {
    if (!impostazioni.server || impostazioni.server->valore.empty()) {
        return std::nullopt;
    }
    db::ServerSetting server;
    server.conninfo = impostazioni.server->valore;
    if (impostazioni.schema) {
        server.schema = db::server::CheckSchemaName(impostazioni.schema->valore);
    }
    return server;
}

std::filesystem::path CartellaDati(const routines::Impostazioni& impostazioni) {
    // Made absolute as the workstation makes it.
    return routines::Postazione(
               impostazioni.cartellaDati ? impostazioni.cartellaDati->valore : std::string("."), "")
        .cartellaDati();
}

routines::Postazione PostazioneImpostata(const routines::Impostazioni& impostazioni) {
    return routines::Postazione(
        CartellaDati(impostazioni),
        impostazioni.postazione ? routines::InCp1252(impostazioni.postazione->valore) : "");
}

std::unique_ptr<db::DataSource> ApriSorgenteDati(const routines::Impostazioni& impostazioni) {
    return std::make_unique<db::DataSource>(CartellaDati(impostazioni),
                                            ServerImpostato(impostazioni));
}

}  // namespace tableau::app
