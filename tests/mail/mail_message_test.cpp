// The message GMime composes, read back by an independent reader (Python's email package)
// after a real trip through msmtp and an SMTP server.
#include "mail/mail_message.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "mail/sendmail.h"
#include "support/smtp_server.h"

namespace tableau::mail {
namespace {

TEST(MessaggioPosta, HeadersTextAndAttachmentReadBack) {
    test::ServerSmtp server;
    std::string binario;
    for (int i = 0; i < 3000; ++i) {
        binario += static_cast<char>(i * 7 % 256);
    }
    const Messaggio messaggio{"tableau@hotel-sole.it",
                              {"ricevimento@hotel-sole.it", "direzione@hotel-sole.it"},
                              "Tableau Hotel Sole \xE2\x80\x93 D\xC3\xA9pendance \xE2\x80\x93 "
                              "dal 08/12/2026",
                              "Prima riga \xC3\xA8\nCC   1   2\n.\nFine\n",
                              Allegato{"Tableau Hotel Sole - D\xC3\xA9pendance - 2026-12-08.pdf",
                                       "application/pdf", binario}};
    const std::string composto = ComponiMessaggio(messaggio);
    EXPECT_TRUE(std::all_of(composto.begin(), composto.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80;
    })) << "7-bit: headers in RFC 2047 words, text and attachment encoded";
    EXPECT_EQ(composto.find('\r'), std::string::npos) << "LF line ends for sendmail -t";
    const auto oggetto = composto.find("Subject: ");
    ASSERT_NE(oggetto, std::string::npos);
    EXPECT_TRUE(composto.substr(oggetto).starts_with("Subject: Tableau Hotel Sole =?UTF-8?B?"))
        << "the words not in ASCII as RFC 2047 words";

    InviaMessaggio({server.sendmail().string(), "-oi"}, composto);
    ASSERT_EQ(server.messaggi().size(), 1u);
    const test::PostaLetta letta = server.leggi(0);
    EXPECT_EQ(letta.intestazioni.at("subject"), messaggio.oggetto);
    EXPECT_EQ(letta.intestazioni.at("from"), "tableau@hotel-sole.it");
    EXPECT_EQ(letta.intestazioni.at("to-addresses"),
              "ricevimento@hotel-sole.it,direzione@hotel-sole.it");
    EXPECT_EQ(letta.destinatariBusta, messaggio.destinatari) << "sendmail -t read the To header";
    EXPECT_EQ(letta.intestazioni.at("date-parsed"), "True");
    EXPECT_TRUE(letta.intestazioni.at("message-id").ends_with("@hotel-sole.it>"))
        << letta.intestazioni.at("message-id");
    EXPECT_EQ(letta.intestazioni.at("body-type"), "text/plain\tutf-8");
    EXPECT_EQ(letta.righe,
              (std::vector<std::string>{"Prima riga \xC3\xA8", "CC   1   2", ".", "Fine"}))
        << "a lone dot does not end the message";
    ASSERT_EQ(letta.allegati.size(), 1u);
    EXPECT_EQ(letta.allegati[0].nome, messaggio.allegato->nomeFile);
    EXPECT_EQ(letta.allegati[0].tipo, "application/pdf");
    EXPECT_EQ(test::readFile(letta.allegati[0].file), binario);
}

TEST(MessaggioPosta, TextAttachmentAndNoAttachment) {
    test::ServerSmtp server;
    Messaggio messaggio{"a@b.it", {"c@d.it"}, "Solo ASCII", "Totali\n", std::nullopt};
    InviaMessaggio({server.sendmail().string()}, ComponiMessaggio(messaggio));
    messaggio.allegato = Allegato{"t.txt", "text/plain", "\xE2\x94\x82 Caff\xC3\xA8\r\n"};
    InviaMessaggio({server.sendmail().string()}, ComponiMessaggio(messaggio));
    ASSERT_EQ(server.messaggi().size(), 2u);

    const test::PostaLetta sola = server.leggi(0);
    EXPECT_EQ(sola.intestazioni.at("subject"), "Solo ASCII");
    EXPECT_TRUE(sola.allegati.empty());
    EXPECT_EQ(sola.righe, std::vector<std::string>{"Totali"});

    const test::PostaLetta conTesto = server.leggi(1);
    ASSERT_EQ(conTesto.allegati.size(), 1u);
    EXPECT_EQ(conTesto.allegati[0].tipo, "text/plain");
    EXPECT_EQ(conTesto.allegati[0].charset, "utf-8");
    EXPECT_EQ(test::readFile(conTesto.allegati[0].file), messaggio.allegato->contenuto);
}

}  // namespace
}  // namespace tableau::mail
