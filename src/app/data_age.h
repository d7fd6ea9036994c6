#pragma once
// Where the data of a chart came from, said where nobody watches: the data directory, or
// the chain's server and schema with the time of their last sync; and whether that sync is
// older than the setting server.max-age allows. Texts are UTF-8.
#include <optional>
#include <string>

#include "app/cli_commands.h"
#include "routines/clock.h"
#include "routines/settings.h"

namespace tableau::app {

// The hours of the setting server.max-age (36 unless set).
int OreMassimeDati(const routines::Impostazioni& impostazioni);

// "Dati dalla cartella /srv/hotel/dati, letti il 08/12/2026 06:00." or "Dati dal server
// db.catena:5432/catena, schema roma, sincronizzati il 08/12/2026 02:30." ("mai
// sincronizzati." when the schema holds no sync).
std::string TestoProvenienza(const std::optional<ProvenienzaServer>& server,
                             const std::string& cartellaDati, const routines::DataOra& adesso);

// The day of the server's data ("29/11/2026"; "mai sincronizzati" without a sync) when
// the last sync is more than oreMassime hours before adesso; empty for the data directory's
// files and for data recent enough.
std::optional<std::string> DatiVecchi(const std::optional<ProvenienzaServer>& server,
                                      const routines::DataOra& adesso, int oreMassime);

}  // namespace tableau::app
