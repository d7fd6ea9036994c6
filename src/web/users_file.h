#pragma once
// The users of the web view: a text file (/etc/tableau/utenti by default, the setting
// web.users) of one "name:hash" line per user, the hash an Argon2id string of libsodium
// (crypto_pwhash_str), never the password. The file is rewritten whole, atomically, with
// mode 0640 and the owner and group it had, so the service's group keeps reading it.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tableau::web {

inline constexpr std::string_view kFileUtentiPredefinito = "/etc/tableau/utenti";

struct Utente {
    std::string nome;
    std::string hash;
};

// The users of the file, in its order; none when it does not exist. Throws ErroreWeb naming
// the file when it cannot be read or a line is not "name:hash".
std::vector<Utente> LeggiUtenti(const std::filesystem::path& file);

// Throws routines::RichiestaRifiutata for a name that is not 1 to 64 letters, digits, ".",
// "-", "_" or "@", or a password shorter than 8 characters (or longer than 1024).
void ControllaNomeUtente(std::string_view nome);
void ControllaPassword(std::string_view password);

// The Argon2id hash of a password (libsodium's interactive limits). Throws ErroreWeb when
// the memory it needs cannot be had.
std::string HashPassword(std::string_view password);

// Adds the user, or gives an existing one the new password; true when it was added. Throws
// as ControllaNomeUtente, ControllaPassword, LeggiUtenti, and ErroreWeb when the file cannot
// be written (the old file stays whole).
bool AggiungiUtente(const std::filesystem::path& file, std::string_view nome,
                    std::string_view password);

// Removes the user; false when there is none of that name (the file is left as it is).
bool RimuoviUtente(const std::filesystem::path& file, std::string_view nome);

// Whether the name and the password are a user's of the file. An unknown name costs the same
// time as a wrong password. Throws as LeggiUtenti.
bool Autentica(const std::filesystem::path& file, std::string_view nome, std::string_view password);

// Whether a user of that name is in the file (a session of a removed user ends).
bool UtenteEsiste(const std::filesystem::path& file, std::string_view nome);

// libsodium made ready once; throws ErroreWeb when it cannot be.
void PreparaSodium();

}  // namespace tableau::web
