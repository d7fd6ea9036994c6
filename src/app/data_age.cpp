#include "app/data_age.h"

#include <cstdint>
#include <ctime>

#include "routines/dates.h"

namespace tableau::app {
namespace {

std::int64_t Secondi(const routines::DataOra& momento) {
    std::tm locale{};
    locale.tm_year = momento.anno - 1900;
    locale.tm_mon = momento.mese - 1;
    locale.tm_mday = momento.giorno;
    locale.tm_hour = momento.ore;
    locale.tm_min = momento.minuti;
    locale.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&locale));
}

std::string Testo(const routines::DataOra& momento) {
    char testo[32];
    std::snprintf(testo, sizeof testo, "%02d/%02d/%04d %02d:%02d", momento.giorno, momento.mese,
                  momento.anno, momento.ore, momento.minuti);
    return testo;
}

}  // namespace

int OreMassimeDati(const routines::Impostazioni& impostazioni) {
    return static_cast<int>(impostazioni.etaMassimaDati.count());
}

std::string TestoProvenienza(const std::optional<ProvenienzaServer>& server,
                             const std::string& cartellaDati, const routines::DataOra& adesso) {
    if (!server) {
        return "Dati dalla cartella " + cartellaDati + ", letti il " + Testo(adesso) + ".";
    }
    return "Dati dal " + server->descrizione + ", " +
           (server->sincronizzazione ? "sincronizzati il " + server->sincronizzazione->when + "."
                                     : std::string("mai sincronizzati."));
}

std::optional<std::string> DatiVecchi(const std::optional<ProvenienzaServer>& server,
                                      const routines::DataOra& adesso, int oreMassime) {
    if (!server) {
        return std::nullopt;
    }
    if (!server->sincronizzazione) {
        return std::string("mai sincronizzati");
    }
    const std::int64_t eta = Secondi(adesso) - server->sincronizzazione->epoch;
    if (eta <= std::int64_t{oreMassime} * 3600) {
        return std::nullopt;
    }
    return server->sincronizzazione->when.substr(0, 10);
}

}  // namespace tableau::app
