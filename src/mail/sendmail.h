#pragma once
// The message handed to the system's sendmail interface, which every Debian mail transfer
// agent provides (exim, postfix, msmtp-mta, ...): the program reads the recipients from
// the message's headers ("-t"), a lone dot does not end it ("-oi"), and its exit status
// says whether it took the message.
#include <string>
#include <string_view>
#include <vector>

#include "mail/errors.h"

namespace tableau::mail {

inline constexpr std::string_view kSendmailPredefinito = "/usr/sbin/sendmail -t -oi";

// The command of the setting "sendmail": a path and its arguments separated by blanks.
// Throws routines::RichiestaRifiutata when it holds no program or a program not given by
// its absolute path.
std::vector<std::string> ComandoSendmail(std::string_view impostazione);

// The machine's full domain name (the host name as the resolver completes it), else its
// host name.
std::string NomeCompletoMacchina();

// "tableau@" + NomeCompletoMacchina().
std::string MittentePredefinito();

// Starts the command, writes the message on its standard input and waits for its exit
// status. Throws ErrorePosta when the program cannot be started or fails.
void InviaMessaggio(const std::vector<std::string>& comando, std::string_view messaggio);

}  // namespace tableau::mail
