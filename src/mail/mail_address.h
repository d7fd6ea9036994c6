#pragma once
// The recipients of the chart's mail: addresses written local@domain, checked before
// anything is made or sent.
#include <string>
#include <string_view>
#include <vector>

namespace tableau::mail {

// An address the message can carry: exactly one "@" with text on both sides, no blanks,
// no control characters, none of the characters that separate addresses in a header
// (, ; < > ( ) [ ] \ ") and ASCII only.
bool IndirizzoValido(std::string_view indirizzo);

// The addresses of a list separated by commas (the setting mail.recipients), each trimmed;
// empty entries are left out.
std::vector<std::string> DividiDestinatari(std::string_view elenco);

// Throws routines::RichiestaRifiutata (UTF-8 message) when there is no recipient or an
// address is not valid, naming the first such address.
void ControllaDestinatari(const std::vector<std::string>& destinatari);

}  // namespace tableau::mail
