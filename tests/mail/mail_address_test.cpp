// The recipients' check: what an address may be, and the list of the settings.
#include "mail/mail_address.h"

#include <gtest/gtest.h>

#include "routines/errors.h"

namespace tableau::mail {
namespace {

TEST(IndirizzoPosta, OneAtWithTextOnBothSides) {
    for (const char* buono :
         {"ricevimento@hotel-sole.it", "a@b", "nome.cognome+tableau@example.com"}) {
        EXPECT_TRUE(IndirizzoValido(buono)) << buono;
    }
    for (const char* cattivo :
         {"", "ricevimento", "@hotel.it", "ricevimento@", "a@b@c", "ricevimento @hotel.it",
          "ricevimento@hotel.it ", "a\tb@c", "a@b\nBcc: altro@c", "a,b@c", "Nome <a@b>", "a@b;c@d",
          "caff\xC3\xA8@hotel.it", "a\x7F@b"}) {
        EXPECT_FALSE(IndirizzoValido(cattivo)) << cattivo;
    }
}

TEST(IndirizzoPosta, ListOfTheSettings) {
    EXPECT_EQ(DividiDestinatari(" a@b.it, c@d.it ,,e@f.it "),
              (std::vector<std::string>{"a@b.it", "c@d.it", "e@f.it"}));
    EXPECT_TRUE(DividiDestinatari(" , ").empty());

    EXPECT_NO_THROW(ControllaDestinatari({"a@b.it", "c@d.it"}));
    try {
        ControllaDestinatari({});
        ADD_FAILURE() << "no recipient accepted";
    } catch (const routines::RichiestaRifiutata& e) {
        EXPECT_NE(std::string(e.what()).find("nessun destinatario"), std::string::npos);
    }
    try {
        ControllaDestinatari({"a@b.it", "ricevimento", "c@"});
        ADD_FAILURE() << "a bad address accepted";
    } catch (const routines::RichiestaRifiutata& e) {
        EXPECT_NE(std::string(e.what()).find("\"ricevimento\" non \xC3\xA8 valido"),
                  std::string::npos)
            << e.what();
    }
}

}  // namespace
}  // namespace tableau::mail
