// The hand-off to the sendmail interface: the setting's command, a program missing or
// failing, a refusal of the server passed on by msmtp's exit status.
#include "mail/sendmail.h"

#include <gtest/gtest.h>

#include "mail/mail_message.h"
#include "routines/errors.h"
#include "support/smtp_server.h"

namespace tableau::mail {
namespace {

using Parole = std::vector<std::string>;

TEST(Sendmail, CommandOfTheSetting) {
    EXPECT_EQ(ComandoSendmail(kSendmailPredefinito), (Parole{"/usr/sbin/sendmail", "-t", "-oi"}));
    EXPECT_EQ(ComandoSendmail("  /usr/bin/msmtp\t-C /etc/msmtprc  -t "),
              (Parole{"/usr/bin/msmtp", "-C", "/etc/msmtprc", "-t"}));
    for (const char* cattivo : {"", "   ", "msmtp -t"}) {
        EXPECT_THROW(ComandoSendmail(cattivo), routines::RichiestaRifiutata) << cattivo;
    }
    EXPECT_TRUE(MittentePredefinito().starts_with("tableau@"));
    EXPECT_GT(MittentePredefinito().size(), std::string("tableau@").size());
}

TEST(Sendmail, FailuresNameTheProgramAndItsStatus) {
    const Messaggio messaggio{"a@b.it", {"c@d.it"}, "Oggetto", "Testo\n", std::nullopt};
    const std::string composto = ComponiMessaggio(messaggio);
    test::TempDir cartella;
    const auto messaggioDi = [&](const Parole& comando) {
        try {
            InviaMessaggio(comando, composto);
        } catch (const ErrorePosta& e) {
            return std::string(e.what());
        }
        return std::string("(sent)");
    };

    std::string errore = messaggioDi({(cartella / "manca").string(), "-t"});
    EXPECT_NE(
        errore.find("Impossibile avviare il programma di posta " + (cartella / "manca").string()),
        std::string::npos)
        << errore;

    const auto fallisce = test::SendmailCheFallisce(cartella, 75);
    errore = messaggioDi({fallisce.string()});
    EXPECT_NE(errore.find("\xC3\xA8 terminato con il codice 75: messaggio non inviato: "
                          "sendmail: cannot connect"),
              std::string::npos)
        << errore;

    // A recipient the server refuses: msmtp exits with a failure, nothing is received.
    test::ServerSmtp server;
    const Messaggio rifiutato{"a@b.it", {"rifiuta@d.it"}, "Oggetto", "Testo\n", std::nullopt};
    try {
        InviaMessaggio({server.sendmail().string()}, ComponiMessaggio(rifiutato));
        ADD_FAILURE() << "a refused recipient was not reported";
    } catch (const ErrorePosta& e) {
        EXPECT_NE(std::string(e.what()).find("terminato con il codice"), std::string::npos)
            << e.what();
    }
    EXPECT_TRUE(server.messaggi().empty());
}

}  // namespace
}  // namespace tableau::mail
