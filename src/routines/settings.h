#pragma once
// The program's settings, read at run time: the office's file (/etc/tableau.conf), the
// user's file (~/.config/tableau/tableau.conf), the environment and the command line, each
// above the one before. A settings file holds "key = value" lines; "#" starts a comment
// line; blank lines are ignored; keys are case-sensitive; values are UTF-8, and a value
// written between double or single quotes is read without them.
#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tableau::routines {

// A setting's value and what named it ("--cartella", "PCLocal", "/etc/tableau.conf").
struct Impostazione {
    std::string valore;
    std::string origine;
};

// Every key a settings file may hold, in the order the manual lists them.
std::span<const std::string_view> ChiaviImpostazioni();

// The hours the chain server's data may be old before the chart says so (server.max-age).
inline constexpr std::chrono::hours kEtaMassimaDatiPredefinita{36};

// The keys of a settings file. Throws Errore naming the file and line for a line that is
// not "key = value" and for a file that exists but cannot be read; a missing file is empty.
std::map<std::string, std::string> LeggiFileImpostazioni(const std::filesystem::path& file);

// A key of a settings file that is none of ChiaviImpostazioni(), where it stands and the
// known key nearest to it (fewest letters added, removed, changed or swapped), when one is
// near enough to be the one meant.
struct ChiaveSconosciuta {
    std::filesystem::path file;
    int riga = 0;
    std::string chiave;
    std::optional<std::string> vicina;

    // "/etc/tableau.conf, riga 3: chiave sconosciuta "cartela" (forse "cartella"?)"
    std::string messaggio() const;
};

// The unknown keys of a settings file, in line order. Throws as LeggiFileImpostazioni.
std::vector<ChiaveSconosciuta> ChiaviSconosciute(const std::filesystem::path& file);

// The known key nearest to the name, if any is near enough.
std::optional<std::string> ChiaveVicina(std::string_view nome);

struct FontiImpostazioni {
    std::filesystem::path fileUfficio = "/etc/tableau.conf";
    std::filesystem::path fileUtente;            // empty: none
    std::optional<std::string> opzioneCartella;  // -C / --cartella on the command line
    std::optional<std::string> opzioneServer{};  // --server on the command line
    std::optional<std::string> opzioneSchema{};  // --schema on the command line
};

// The user's file: $XDG_CONFIG_HOME/tableau/tableau.conf, else ~/.config/tableau/tableau.conf.
std::filesystem::path FileUtentePredefinito();

struct Impostazioni {
    // The data directory: --cartella, else $TABLEAU_CARTELLA, else key "cartella" of the
    // user's file, then of the office's file; nothing means the current directory.
    std::optional<Impostazione> cartellaDati;
    // The workstation number: $PCLocal, else key "postazione" of the user's file, then of
    // the office's file.
    std::optional<Impostazione> postazione;
    // The mail of the chart (tableau mail), each from key "<name>" of the user's file, then of
    // the office's file: "mittente" (the From address), "sendmail" (the sendmail interface
    // as a path and its arguments), "mail.recipients" (addresses separated by commas),
    // "mail.format", "mail.hotel", "mail.tableau", "mail.from", "mail.to" (the request).
    std::optional<Impostazione> mittente;
    std::optional<Impostazione> sendmail;
    std::optional<Impostazione> destinatari;
    std::optional<Impostazione> formatoPosta;
    std::optional<Impostazione> hotelPosta;
    std::optional<Impostazione> tableauPosta;
    std::optional<Impostazione> primaCameraPosta;
    std::optional<Impostazione> ultimaCameraPosta;
    // The chain's PostgreSQL server the hotel tables are read from (a libpq connection
    // string or URI): --server, else $TABLEAU_SERVER, else key "server" of the user's file,
    // then of the office's file; nothing means the data directory's files.
    std::optional<Impostazione> server;
    // The site's schema on that server, as given (its check is the caller's): --schema,
    // else $TABLEAU_SCHEMA, else key "schema" of the user's file, then of the office's file.
    std::optional<Impostazione> schema;
    // How old the server's data may be before the chart warns of it: key "server.max-age" of
    // the user's file, then of the office's file, in whole hours above 0; 36 otherwise.
    std::chrono::hours etaMassimaDati = kEtaMassimaDatiPredefinita;
    std::optional<Impostazione> etaMassima;  // the key as written, when it is set
    // The web view (tableau serve), each from key "<name>" of the user's file, then of the
    // office's file: "web.listen" (ADDRESS:PORT), "web.cert" and "web.key" (the PEM files of
    // HTTPS), "web.users" (the users file, /etc/tableau/utenti unless set).
    std::optional<Impostazione> ascoltoWeb;
    std::optional<Impostazione> certificatoWeb;
    std::optional<Impostazione> chiaveWeb;
    std::optional<Impostazione> utentiWeb;
    // What the files hold that the program does not use, one Italian line each naming the
    // file and the line: an unknown key, a value that is not valid (and is replaced by its
    // default). tableau check lists them as problems; the other commands write them on
    // standard error and go on.
    std::vector<std::string> avvisi;
};

// Throws Errore for an unreadable or malformed settings file.
Impostazioni RisolviImpostazioni(const FontiImpostazioni& fonti);

// A tuning variable: an environment variable an administrator sets for a machine that needs
// other bounds than the usual ones. Every one the program reads is in Regolazioni(), and
// the program reads them only through LeggiRegolazione(), so that --help, the manual page
// and tableau check list them all.
struct Regolazione {
    std::string_view nome;         // "TABLEAU_ATTESA_JET"
    std::string_view descrizione;  // Italian, UTF-8, with the default in brackets
};

std::span<const Regolazione> Regolazioni();

// The value of a tuning variable of Regolazioni() as the environment holds it (its name
// matched exactly); empty when it is unset or set empty.
std::optional<std::string> LeggiRegolazione(std::string_view nome);

// A tuning variable that gives seconds: its value when it is a number above 0 and at most
// 3600, else the default.
std::chrono::milliseconds AttesaRegolata(std::string_view nome,
                                         std::chrono::milliseconds predefinita);

}  // namespace tableau::routines
