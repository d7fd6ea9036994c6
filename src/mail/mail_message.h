#pragma once
// The chart's mail as an Internet message (RFC 5322 and MIME), composed by GMime: the
// headers (From, To, Subject in RFC 2047 words where it is not ASCII, Date, Message-ID),
// a plain UTF-8 text and at most one attachment. Texts here are UTF-8.
#include <optional>
#include <string>
#include <vector>

namespace tableau::mail {

struct Allegato {
    std::string nomeFile;  // as the recipient's program shows it
    std::string tipo;      // "application/pdf"; a "text/..." type is marked charset=utf-8
    std::string contenuto;
};

struct Messaggio {
    std::string mittente;  // the From address
    std::vector<std::string> destinatari;
    std::string oggetto;
    std::string testo;
    std::optional<Allegato> allegato;
};

// The message ready for "sendmail -t": lines ended by LF, the text and the attachment
// encoded for 7-bit transport, Date the moment of composing, Message-ID on the sender's
// domain. Throws routines::Errore when GMime cannot compose it.
std::string ComponiMessaggio(const Messaggio& messaggio);

}  // namespace tableau::mail
