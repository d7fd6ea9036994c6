#include "routines/settings.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "routines/errors.h"
#include "routines/text.h"

namespace tableau::routines {
namespace {

std::optional<Impostazione> DaAmbiente(const char* nome) {
    const char* valore = std::getenv(nome);
    if (valore == nullptr || *valore == '\0') {
        return std::nullopt;
    }
    return Impostazione{valore, nome};
}

std::optional<Impostazione> DaFile(const std::map<std::string, std::string>& chiavi,
                                   const std::filesystem::path& file, const std::string& chiave) {
    const auto trovata = chiavi.find(chiave);
    if (trovata == chiavi.end() || trovata->second.empty()) {
        return std::nullopt;
    }
    return Impostazione{trovata->second, file.string()};
}

}  // namespace

std::map<std::string, std::string> LeggiFileImpostazioni(const std::filesystem::path& file) {
    std::error_code errore;
    if (!std::filesystem::exists(file, errore)) {
        return {};
    }
    std::ifstream ingresso(file, std::ios::binary);
    if (!ingresso) {
        throw Errore("Impossibile leggere il file delle impostazioni " + file.string() + ": " +
                     std::strerror(errno));
    }
    std::map<std::string, std::string> chiavi;
    std::string riga;
    for (int numero = 1; std::getline(ingresso, riga); ++numero) {
        if (!riga.empty() && riga.back() == '\r') {
            riga.pop_back();
        }
        const std::string pulita = TogliSpazi(riga);
        if (pulita.empty() || pulita.front() == '#') {
            continue;
        }
        const auto uguale = pulita.find('=');
        const std::string chiave = TogliSpazi(pulita.substr(0, uguale));
        if (uguale == std::string::npos || chiave.empty()) {
            throw Errore("File delle impostazioni " + file.string() + ", riga " +
                         std::to_string(numero) + ": attesa una riga \"chiave = valore\".");
        }
        chiavi[chiave] = TogliSpazi(pulita.substr(uguale + 1));
    }
    return chiavi;
}

std::filesystem::path FileUtentePredefinito() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config == '/') {
        return std::filesystem::path(config) / "tableau" / "tableau.conf";
    }
    if (const char* casa = std::getenv("HOME"); casa != nullptr && *casa != '\0') {
        return std::filesystem::path(casa) / ".config" / "tableau" / "tableau.conf";
    }
    return {};
}

Impostazioni RisolviImpostazioni(const FontiImpostazioni& fonti) {
    const auto ufficio = LeggiFileImpostazioni(fonti.fileUfficio);
    const auto utente = fonti.fileUtente.empty() ? std::map<std::string, std::string>{}
                                                 : LeggiFileImpostazioni(fonti.fileUtente);
    const auto primo = [](std::initializer_list<std::optional<Impostazione>> candidati) {
        for (const auto& candidato : candidati) {
            if (candidato) {
                return candidato;
            }
        }
        return std::optional<Impostazione>();
    };
    // The option, the environment, the user's file, the office's file.
    const auto risolvi = [&](const std::optional<std::string>& opzione, const char* nomeOpzione,
                             const char* variabile, const std::string& chiave) {
        return primo({opzione ? std::optional<Impostazione>(Impostazione{*opzione, nomeOpzione})
                              : std::nullopt,
                      DaAmbiente(variabile), DaFile(utente, fonti.fileUtente, chiave),
                      DaFile(ufficio, fonti.fileUfficio, chiave)});
    };
    Impostazioni impostazioni;
    impostazioni.cartellaDati =
        risolvi(fonti.opzioneCartella, "--cartella", "TABLEAU_CARTELLA", "cartella");
    impostazioni.postazione = risolvi(std::nullopt, "", "PCLocal", "postazione");
    impostazioni.server = risolvi(fonti.opzioneServer, "--server", "TABLEAU_SERVER", "server");
    impostazioni.schema = risolvi(fonti.opzioneSchema, "--schema", "TABLEAU_SCHEMA", "schema");
    const auto daiFile = [&](const std::string& chiave) {
        return primo(
            {DaFile(utente, fonti.fileUtente, chiave), DaFile(ufficio, fonti.fileUfficio, chiave)});
    };
    impostazioni.mittente = daiFile("mittente");
    impostazioni.sendmail = daiFile("sendmail");
    impostazioni.destinatari = daiFile("mail.recipients");
    impostazioni.formatoPosta = daiFile("mail.format");
    impostazioni.hotelPosta = daiFile("mail.hotel");
    impostazioni.tableauPosta = daiFile("mail.tableau");
    impostazioni.primaCameraPosta = daiFile("mail.from");
    impostazioni.ultimaCameraPosta = daiFile("mail.to");
    return impostazioni;
}

namespace {

constexpr Regolazione kRegolazioni[] = {
    {"TABLEAU_ATTESA_JET",
     "secondi di attesa di un archivio Jet che non risponde, e durata massima di una lettura "
     "SQLite (15)"},
    {"TABLEAU_ATTESA_USCITA",
     "secondi di attesa di un lettore per un dispositivo o una pipe di stampa (10)"},
    {"TABLEAU_LETTORE_JET", "percorso del lettore degli archivi Jet (tableau-jet)"},
    {"TABLEAU_MEMORIA_JET",
     "megabyte di memoria concessi al lettore degli archivi Jet, da 128 a 1048576 (2048)"},
    {"TABLEAU_REGISTRO", "socket del registro di sistema (/dev/log)"},
    {"MDB_JET3_CHARSET", "codifica dei testi degli archivi Jet 3 (CP1252)"},
};

}  // namespace

std::span<const Regolazione> Regolazioni() {
    return kRegolazioni;
}

std::optional<std::string> LeggiRegolazione(std::string_view nome) {
    const std::string variabile(nome);
    const char* valore = std::getenv(variabile.c_str());
    if (valore == nullptr || *valore == '\0') {
        return std::nullopt;
    }
    return std::string(valore);
}

std::chrono::milliseconds AttesaRegolata(std::string_view nome,
                                         std::chrono::milliseconds predefinita) {
    const auto valore = LeggiRegolazione(nome);
    if (!valore) {
        return predefinita;
    }
    char* fine = nullptr;
    const double secondi = std::strtod(valore->c_str(), &fine);
    if (*fine == '\0' && secondi > 0 && secondi <= 3600) {
        return std::chrono::milliseconds(static_cast<std::int64_t>(secondi * 1000));
    }
    return predefinita;
}

}  // namespace tableau::routines
