#include "routines/settings.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
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

// The keys of the settings files: every one the program reads, here and nowhere else.
constexpr std::string_view kChiavi[] = {
    "cartella", "postazione",      "server",      "schema",     "server.max-age", "mittente",
    "sendmail", "mail.recipients", "mail.format", "mail.hotel", "mail.tableau",   "mail.from",
    "mail.to",  "web.listen",      "web.cert",    "web.key",    "web.users",
};

struct RigaImpostazioni {
    std::string chiave;
    std::string valore;
    int numero = 0;
};

// A value between double or single quotes without them; a quote anywhere else stays.
std::string SenzaVirgolette(std::string valore) {
    if (valore.size() >= 2 && (valore.front() == '"' || valore.front() == '\'') &&
        valore.back() == valore.front()) {
        return valore.substr(1, valore.size() - 2);
    }
    return valore;
}

std::vector<RigaImpostazioni> LeggiRighe(const std::filesystem::path& file) {
    std::error_code errore;
    if (!std::filesystem::exists(file, errore)) {
        return {};
    }
    std::ifstream ingresso(file, std::ios::binary);
    if (!ingresso) {
        throw Errore("Impossibile leggere il file delle impostazioni " + file.string() + ": " +
                     std::strerror(errno));
    }
    std::vector<RigaImpostazioni> righe;
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
        std::string chiave = TogliSpazi(pulita.substr(0, uguale));
        if (uguale == std::string::npos || chiave.empty()) {
            throw Errore("File delle impostazioni " + file.string() + ", riga " +
                         std::to_string(numero) + ": attesa una riga \"chiave = valore\".");
        }
        righe.push_back(
            {std::move(chiave), SenzaVirgolette(TogliSpazi(pulita.substr(uguale + 1))), numero});
    }
    return righe;
}

// The lines as a map: the last line of a key is the one that counts.
std::map<std::string, std::string> Chiavi(const std::vector<RigaImpostazioni>& righe) {
    std::map<std::string, std::string> chiavi;
    for (const RigaImpostazioni& riga : righe) {
        chiavi[riga.chiave] = riga.valore;
    }
    return chiavi;
}

// Letters added, removed, changed or two neighbours swapped to go from one name to the other.
std::size_t Distanza(std::string_view a, std::string_view b) {
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) {
        d[i][0] = i;
    }
    for (std::size_t j = 0; j <= b.size(); ++j) {
        d[0][j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t cambio = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cambio});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[a.size()][b.size()];
}

// Whole hours above 0, written in decimal digits only.
std::optional<std::chrono::hours> OreIntere(std::string_view testo) {
    int ore = 0;
    const auto [fine, errore] = std::from_chars(testo.data(), testo.data() + testo.size(), ore);
    if (testo.empty() || errore != std::errc() || fine != testo.data() + testo.size() || ore <= 0) {
        return std::nullopt;
    }
    return std::chrono::hours(ore);
}

std::vector<ChiaveSconosciuta> Sconosciute(const std::filesystem::path& file,
                                           const std::vector<RigaImpostazioni>& righe) {
    std::vector<ChiaveSconosciuta> sconosciute;
    for (const RigaImpostazioni& riga : righe) {
        if (std::find(std::begin(kChiavi), std::end(kChiavi), riga.chiave) == std::end(kChiavi)) {
            sconosciute.push_back({file, riga.numero, riga.chiave, ChiaveVicina(riga.chiave)});
        }
    }
    return sconosciute;
}

}  // namespace

std::map<std::string, std::string> LeggiFileImpostazioni(const std::filesystem::path& file) {
    return Chiavi(LeggiRighe(file));
}

std::span<const std::string_view> ChiaviImpostazioni() {
    return kChiavi;
}

std::optional<std::string> ChiaveVicina(std::string_view nome) {
    std::optional<std::string> vicina;
    std::size_t migliore = std::max<std::size_t>(1, nome.size() / 3) + 1;
    for (const std::string_view chiave : kChiavi) {
        // The same key in other letters, or the key without its group ("format" for
        // "mail.format"), is the one meant.
        if (StessoNome(chiave, nome) || (chiave.size() > nome.size() && chiave.ends_with(nome) &&
                                         chiave[chiave.size() - nome.size() - 1] == '.')) {
            return std::string(chiave);
        }
        const std::size_t distanza = Distanza(nome, chiave);
        if (distanza < migliore) {
            migliore = distanza;
            vicina = std::string(chiave);
        }
    }
    return vicina;
}

std::string ChiaveSconosciuta::messaggio() const {
    return file.string() + ", riga " + std::to_string(riga) + ": chiave sconosciuta \"" + chiave +
           "\"" + (vicina ? " (forse \"" + *vicina + "\"?)" : std::string());
}

std::vector<ChiaveSconosciuta> ChiaviSconosciute(const std::filesystem::path& file) {
    return Sconosciute(file, LeggiRighe(file));
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
    const auto righeUfficio = LeggiRighe(fonti.fileUfficio);
    const auto righeUtente =
        fonti.fileUtente.empty() ? std::vector<RigaImpostazioni>{} : LeggiRighe(fonti.fileUtente);
    const auto ufficio = Chiavi(righeUfficio);
    const auto utente = Chiavi(righeUtente);
    Impostazioni impostazioni;
    for (const auto& sconosciuta : Sconosciute(fonti.fileUfficio, righeUfficio)) {
        impostazioni.avvisi.push_back(sconosciuta.messaggio());
    }
    for (const auto& sconosciuta : Sconosciute(fonti.fileUtente, righeUtente)) {
        impostazioni.avvisi.push_back(sconosciuta.messaggio());
    }
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
    impostazioni.etaMassima = daiFile("server.max-age");
    impostazioni.ascoltoWeb = daiFile("web.listen");
    impostazioni.certificatoWeb = daiFile("web.cert");
    impostazioni.chiaveWeb = daiFile("web.key");
    impostazioni.utentiWeb = daiFile("web.users");
    if (const auto& eta = impostazioni.etaMassima) {
        if (const auto ore = OreIntere(eta->valore)) {
            impostazioni.etaMassimaDati = *ore;
        } else {
            // The line of the value that counts: the last of its file.
            const auto& righe =
                eta->origine == fonti.fileUtente.string() ? righeUtente : righeUfficio;
            int riga = 0;
            for (const RigaImpostazioni& letta : righe) {
                if (letta.chiave == "server.max-age") {
                    riga = letta.numero;
                }
            }
            impostazioni.avvisi.push_back(
                eta->origine + ", riga " + std::to_string(riga) + ": server.max-age = \"" +
                eta->valore + "\" non \xC3\xA8 un numero intero di ore maggiore di zero (vale " +
                std::to_string(kEtaMassimaDatiPredefinita.count()) + ")");
        }
    }
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
