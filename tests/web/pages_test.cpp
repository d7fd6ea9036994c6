// The texts of the web view: escaping for HTML and JSON, the form's fields, the listening
// address, and the request of a page read from the query.
#include <gtest/gtest.h>

#include "routines/clock.h"
#include "routines/errors.h"
#include "web/chart_view.h"
#include "web/html_text.h"
#include "web/web_server.h"

namespace tableau::test {
namespace {

TEST(TestiWeb, EscapesForHtmlAndJsonAndReadsForms) {
    EXPECT_EQ(web::Html("<a href=\"x\">'&'</a>"),
              "&lt;a href=&quot;x&quot;&gt;&#39;&amp;&#39;&lt;/a&gt;");
    // Windows-1252 of the core becomes UTF-8: the euro sign is 0x80 there.
    EXPECT_EQ(web::HtmlCp1252("  Caff\xE8 \x80 & co  "), "Caff\xC3\xA8 \xE2\x82\xAC &amp; co");
    EXPECT_EQ(web::Json("a\"b\\c\n\x01</script>"), "\"a\\\"b\\\\c\\u000a\\u0001\\u003c/script>\"");
    const auto campi = web::CampiModulo("utente=mario+rossi&password=a%26b%3Dc%25&utente=altro&x");
    EXPECT_EQ(campi.at("utente"), "mario rossi");
    EXPECT_EQ(campi.at("password"), "a&b=c%");
    EXPECT_EQ(campi.at("x"), "");
    EXPECT_EQ(web::DecodificaUrl("%zz%4"), "%zz%4");
}

TEST(TestiWeb, ReadsTheListeningAddress) {
    const auto v4 = web::LeggiIndirizzoAscolto("192.168.1.20:8443");
    EXPECT_EQ(v4.indirizzo, "192.168.1.20");
    EXPECT_EQ(v4.porta, 8443);
    const auto v6 = web::LeggiIndirizzoAscolto("[::1]:8080");
    EXPECT_EQ(v6.indirizzo, "::1");
    EXPECT_EQ(v6.porta, 8080);
    for (const char* sbagliato : {"", "8080", "localhost:8080", "127.0.0.1", "127.0.0.1:",
                                  "127.0.0.1:65536", "127.0.0.1:80x", "::1:8080", "[::1]8080"}) {
        EXPECT_THROW(web::LeggiIndirizzoAscolto(sbagliato), routines::RichiestaRifiutata)
            << sbagliato;
    }
    EXPECT_TRUE(web::IndirizzoLocale("127.0.0.1"));
    EXPECT_TRUE(web::IndirizzoLocale("127.1.2.3"));
    EXPECT_TRUE(web::IndirizzoLocale("::1"));
    EXPECT_FALSE(web::IndirizzoLocale("0.0.0.0"));
    EXPECT_FALSE(web::IndirizzoLocale("::"));
    EXPECT_FALSE(web::IndirizzoLocale("192.168.1.20"));
}

TEST(TestiWeb, ReadsThePagesRequest) {
    const routines::OrologioFisso orologio{routines::DataOra{2026, 3, 14, 9, 5}};
    const auto piena = web::LeggiRichiestaPagina("3", "2", "16/03/2026", orologio);
    EXPECT_EQ(piena.hotel, 3);
    EXPECT_EQ(piena.tableau, 2);
    EXPECT_EQ(piena.inizio, (routines::Data{16, 3, 2026}));
    const auto oggi = web::LeggiRichiestaPagina("1", std::nullopt, std::nullopt, orologio);
    EXPECT_FALSE(oggi.tableau);
    EXPECT_EQ(oggi.inizio, (routines::Data{14, 3, 2026}));
    EXPECT_THROW(web::LeggiRichiestaPagina(std::nullopt, "1", "", orologio),
                 routines::RichiestaRifiutata);
    EXPECT_THROW(web::LeggiRichiestaPagina("40000", "1", "", orologio),
                 routines::RichiestaRifiutata);
    EXPECT_THROW(web::LeggiRichiestaPagina("1", "1x", "", orologio), routines::RichiestaRifiutata);
    EXPECT_THROW(web::LeggiRichiestaPagina("1", "1", "29/02/2026", orologio),
                 routines::RichiestaRifiutata);
    EXPECT_THROW(web::LeggiRichiestaPagina("1", "1", "2026-03-16", orologio),
                 routines::RichiestaRifiutata);
}

}  // namespace
}  // namespace tableau::test
