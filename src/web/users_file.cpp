#include "web/users_file.h"

#include <fcntl.h>
#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <mutex>

#include "routines/file_descriptor.h"
#include "web/errors.h"

namespace tableau::web {
namespace {

std::string Motivo() {
    return std::strerror(errno);
}

bool CarattereNome(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == '_' || c == '@';
}

// The file's lines written into a fresh file beside it, which then takes its place: mode
// 0640, the old file's owner and group when there was one.
void ScriviUtenti(const std::filesystem::path& file, const std::vector<Utente>& utenti) {
    std::string testo;
    for (const Utente& utente : utenti) {
        testo += utente.nome + ":" + utente.hash + "\n";
    }
    std::string modello =
        (file.parent_path() / ("." + file.filename().string() + ".XXXXXX")).string();
    const routines::FileDescriptor nuovo(::mkstemp(modello.data()));
    if (nuovo.get() < 0) {
        throw ErroreWeb("Impossibile scrivere il file degli utenti " + file.string() + ": " +
                        Motivo());
    }
    const std::filesystem::path temporaneo = modello;
    const auto fallito = [&](const std::string& perche) {
        std::error_code ignorato;
        std::filesystem::remove(temporaneo, ignorato);
        throw ErroreWeb("Impossibile scrivere il file degli utenti " + file.string() + ": " +
                        perche);
    };
    if (::fchmod(nuovo.get(), 0640) != 0) {
        fallito(Motivo());
    }
    struct stat vecchio {};
    if (::stat(file.c_str(), &vecchio) == 0 &&
        (vecchio.st_uid != ::geteuid() || vecchio.st_gid != ::getegid()) &&
        ::fchown(nuovo.get(), vecchio.st_uid, vecchio.st_gid) != 0) {
        fallito("impossibile mantenere proprietario e gruppo del file (" + Motivo() + ")");
    }
    std::size_t scritti = 0;
    while (scritti < testo.size()) {
        const ssize_t n = ::write(nuovo.get(), testo.data() + scritti, testo.size() - scritti);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            fallito(Motivo());
        }
        scritti += static_cast<std::size_t>(n);
    }
    if (::fsync(nuovo.get()) != 0) {
        fallito(Motivo());
    }
    if (::rename(temporaneo.c_str(), file.c_str()) != 0) {
        fallito(Motivo());
    }
}

// A hash of no password of the file, to spend on an unknown name the time a wrong password
// costs.
const std::string& HashFittizio() {
    static const std::string hash = HashPassword("nessun utente ha questa password");
    return hash;
}

bool Verifica(const std::string& hash, std::string_view password) {
    // Argon2id takes tens of megabytes: one verification at a time bounds the memory of a
    // burst of logins.
    static std::mutex unaAllaVolta;
    const std::lock_guard blocco(unaAllaVolta);
    return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

}  // namespace

void PreparaSodium() {
    static const int esito = sodium_init();
    if (esito < 0) {
        throw ErroreWeb("Impossibile preparare libsodium.");
    }
}

std::vector<Utente> LeggiUtenti(const std::filesystem::path& file) {
    std::error_code errore;
    if (!std::filesystem::exists(file, errore) && !errore) {
        return {};
    }
    std::ifstream ingresso(file, std::ios::binary);
    if (!ingresso) {
        throw ErroreWeb("Impossibile leggere il file degli utenti " + file.string() + ": " +
                        Motivo());
    }
    std::vector<Utente> utenti;
    std::string riga;
    for (int numero = 1; std::getline(ingresso, riga); ++numero) {
        if (riga.empty()) {
            continue;
        }
        const auto duepunti = riga.find(':');
        if (duepunti == std::string::npos || duepunti == 0 || duepunti + 1 == riga.size()) {
            throw ErroreWeb("File degli utenti " + file.string() + ", riga " +
                            std::to_string(numero) + ": attesa una riga \"nome:hash\".");
        }
        utenti.push_back(Utente{riga.substr(0, duepunti), riga.substr(duepunti + 1)});
    }
    if (ingresso.bad()) {
        throw ErroreWeb("Impossibile leggere il file degli utenti " + file.string() + ": " +
                        Motivo());
    }
    return utenti;
}

void ControllaNomeUtente(std::string_view nome) {
    if (nome.empty() || nome.size() > 64 || !std::all_of(nome.begin(), nome.end(), CarattereNome)) {
        throw routines::RichiestaRifiutata(
            "Il nome dell'utente deve avere da 1 a 64 caratteri tra lettere, cifre, \".\", "
            "\"-\", \"_\" e \"@\".");
    }
}

void ControllaPassword(std::string_view password) {
    if (password.size() < 8) {
        throw routines::RichiestaRifiutata("La password deve avere almeno 8 caratteri.");
    }
    if (password.size() > 1024) {
        throw routines::RichiestaRifiutata("La password non può superare i 1024 caratteri.");
    }
}

std::string HashPassword(std::string_view password) {
    PreparaSodium();
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, password.data(), password.size(),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0) {
        throw ErroreWeb("Memoria insufficiente per calcolare l'hash della password.");
    }
    return hash;
}

bool AggiungiUtente(const std::filesystem::path& file, std::string_view nome,
                    std::string_view password) {
    ControllaNomeUtente(nome);
    ControllaPassword(password);
    std::vector<Utente> utenti = LeggiUtenti(file);
    const std::string hash = HashPassword(password);
    const auto trovato = std::find_if(utenti.begin(), utenti.end(),
                                      [&](const Utente& utente) { return utente.nome == nome; });
    if (trovato != utenti.end()) {
        trovato->hash = hash;
        ScriviUtenti(file, utenti);
        return false;
    }
    utenti.push_back(Utente{std::string(nome), hash});
    ScriviUtenti(file, utenti);
    return true;
}

bool RimuoviUtente(const std::filesystem::path& file, std::string_view nome) {
    std::vector<Utente> utenti = LeggiUtenti(file);
    const auto via = std::remove_if(utenti.begin(), utenti.end(),
                                    [&](const Utente& utente) { return utente.nome == nome; });
    if (via == utenti.end()) {
        return false;
    }
    utenti.erase(via, utenti.end());
    ScriviUtenti(file, utenti);
    return true;
}

bool Autentica(const std::filesystem::path& file, std::string_view nome,
               std::string_view password) {
    PreparaSodium();
    const std::vector<Utente> utenti = LeggiUtenti(file);
    const auto trovato = std::find_if(utenti.begin(), utenti.end(),
                                      [&](const Utente& utente) { return utente.nome == nome; });
    if (trovato == utenti.end()) {
        Verifica(HashFittizio(), password);
        return false;
    }
    return Verifica(trovato->hash, password);
}

bool UtenteEsiste(const std::filesystem::path& file, std::string_view nome) {
    const std::vector<Utente> utenti = LeggiUtenti(file);
    return std::any_of(utenti.begin(), utenti.end(),
                       [&](const Utente& utente) { return utente.nome == nome; });
}

}  // namespace tableau::web
