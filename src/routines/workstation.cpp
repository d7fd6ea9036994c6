#include "routines/workstation.h"

#include <system_error>
#include <utility>

#include "routines/codepage.h"
#include "routines/errors.h"

namespace tableau::routines {
namespace {

bool NomeDiFileSicuro(const std::string& testo) {
    if (testo.find("..") != std::string::npos) {
        return false;
    }
    for (const char c : testo) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F) {
            return false;
        }
    }
    return true;
}

std::filesystem::path Assoluta(std::filesystem::path cartella) {
    std::error_code errore;
    auto assoluta = std::filesystem::absolute(cartella, errore).lexically_normal();
    if (errore) {
        return cartella;
    }
    // "/srv/dati/." and "/srv/dati/" are "/srv/dati" in every message.
    if (!assoluta.has_filename() && assoluta != assoluta.root_path()) {
        assoluta = assoluta.parent_path();
    }
    return assoluta;
}

}  // namespace

Postazione::Postazione(std::filesystem::path cartellaDati, std::string numero)
    : cartellaDati_(Assoluta(std::move(cartellaDati))), numero_(std::move(numero)) {}

const std::string& Postazione::numero() const {
    if (!NomeDiFileSicuro(numero_)) {
        // The value itself is left out: it may hold control characters.
        throw ErrorePostazione(
            "Il numero della postazione (variabile PCLocal) non pu\xC3\xB2 far parte del nome "
            "di un file: non deve contenere \"/\", \"\\\", \"..\" n\xC3\xA9 caratteri di "
            "controllo");
    }
    return numero_;
}

std::filesystem::path Postazione::percorso(const std::string& nomeCp1252) const {
    return cartellaDati_ / InUtf8(nomeCp1252);
}

}  // namespace tableau::routines
