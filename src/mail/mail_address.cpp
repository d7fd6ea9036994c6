#include "mail/mail_address.h"

#include <algorithm>

#include "routines/errors.h"
#include "routines/text.h"

namespace tableau::mail {

bool IndirizzoValido(std::string_view indirizzo) {
    static constexpr std::string_view kSeparatori = ",;<>()[]\\\"";
    const auto chiocciola = indirizzo.find('@');
    if (chiocciola == std::string_view::npos || chiocciola == 0 ||
        chiocciola + 1 == indirizzo.size() ||
        indirizzo.find('@', chiocciola + 1) != std::string_view::npos) {
        return false;
    }
    return std::none_of(indirizzo.begin(), indirizzo.end(), [](char c) {
        const auto codice = static_cast<unsigned char>(c);
        return codice <= 0x20 || codice >= 0x7F || kSeparatori.find(c) != std::string_view::npos;
    });
}

std::vector<std::string> DividiDestinatari(std::string_view elenco) {
    std::vector<std::string> destinatari;
    while (!elenco.empty()) {
        const auto virgola = elenco.find(',');
        const std::string voce = routines::TogliSpazi(elenco.substr(0, virgola));
        if (!voce.empty()) {
            destinatari.push_back(voce);
        }
        elenco =
            virgola == std::string_view::npos ? std::string_view() : elenco.substr(virgola + 1);
    }
    return destinatari;
}

void ControllaDestinatari(const std::vector<std::string>& destinatari) {
    if (destinatari.empty()) {
        throw routines::RichiestaRifiutata(
            "nessun destinatario: indicare --recipient INDIRIZZO o la chiave mail.recipients "
            "nel file delle impostazioni.");
    }
    for (const std::string& indirizzo : destinatari) {
        if (!IndirizzoValido(indirizzo)) {
            throw routines::RichiestaRifiutata(
                "l'indirizzo \"" + indirizzo +
                "\" non \xC3\xA8 valido: deve essere nome@dominio, senza spazi.");
        }
    }
}

}  // namespace tableau::mail
