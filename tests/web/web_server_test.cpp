// The web server over a real loopback port: the refusals of a server on a network, the
// login and its brake, the sessions, many clients at once, and the chart's cells on the
// page and in the JSON against the chart file made for the same request.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
#include <thread>
#include <vector>

#include "chart/block_check.h"
#include "chart/chart_fixture.h"
#include "chart/chart_reader.h"
#include "chart/crea_tableau.h"
#include "chart/hotel_week.h"
#include "db/server/server_connection.h"
#include "db/server/server_sync.h"
#include "export/day_figures.h"
#include "export/state_fills.h"
#include "routines/codepage.h"
#include "routines/errors.h"
#include "routines/text.h"
#include "support/log_socket.h"
#include "support/test_server.h"
#include "support/workstation.h"
#include "web/errors.h"
#include "web/http_client.h"
#include "web/json_reader.h"
#include "web/users_file.h"
#include "web/web_server.h"

namespace tableau::test {
namespace {

constexpr char kUtente[] = "ricevimento";
constexpr char kPassword[] = "Sole-di-marzo-2026";
constexpr char kSettimana[] = "/tableau?hotel=1&tableau=1&data=16/03/2026";

// The users file is made once: an Argon2id hash takes a good part of a second.
const std::filesystem::path& FileUtentiCondiviso() {
    static TempDir cartella;
    static const std::filesystem::path file = [] {
        const std::filesystem::path percorso = cartella / "utenti";
        web::AggiungiUtente(percorso, kUtente, kPassword);
        return percorso;
    }();
    return file;
}

std::string Campi(const std::string& utente, const std::string& password) {
    return "utente=" + utente + "&password=" + password;
}

// Every file under a directory with its size, to see that nothing was written.
std::set<std::string> Contenuto(const std::filesystem::path& cartella) {
    std::set<std::string> voci;
    for (const auto& voce : std::filesystem::recursive_directory_iterator(cartella)) {
        voci.insert(voce.path().string() + " " +
                    (voce.is_regular_file() ? std::to_string(voce.file_size()) : "dir"));
    }
    return voci;
}

std::string Utf8(const std::string& cp1252) {
    return routines::InUtf8(routines::TogliSpazi(cp1252));
}

bool Vero(const ValoreJson& valore) {
    return std::get<bool>(valore.valore);
}

// The week of the hotel tables as the laid-out outputs make it, for a block or the hotel.
chart::SettimanaAlbergo Settimana(const std::filesystem::path& cartella,
                                  std::optional<std::int16_t> tableau) {
    db::DataSource origine(cartella, std::nullopt);
    return chart::CreaSettimanaAlbergo(
        origine, chart::RichiestaAlbergo{1, tableau, {}, {}, "16/03/2026"}, kOrologio);
}

// A cell of the chart file with the departure the week from the tables gives that room.
chart::GiornoLetto ConPartenza(chart::GiornoLetto giorno, const chart::GiornoLetto& modello) {
    giorno.partenza = modello.partenza;
    giorno.personeInPartenza = modello.personeInPartenza;
    return giorno;
}

// Every <td> of the page's row of the day's figures labelled so, as texts.
std::vector<std::string> RigaFigure(const std::string& pagina, const std::string& etichetta,
                                    std::size_t da = 0) {
    const std::string inizio =
        "<tr class=\"conteggio\"><th class=\"camera\" scope=\"row\">" + etichetta + "</th>";
    const auto p = pagina.find(inizio, da);
    if (p == std::string::npos) {
        return {};
    }
    const std::string riga = pagina.substr(p, pagina.find("</tr>", p) - p);
    std::vector<std::string> valori;
    const std::regex td("<td>([^<]*)</td>");
    for (auto m = std::sregex_iterator(riga.begin(), riga.end(), td); m != std::sregex_iterator();
         ++m) {
        valori.push_back((*m)[1]);
    }
    return valori;
}

std::string SenzaEntita(std::string testo) {
    const std::pair<std::string, std::string> entita[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}};
    for (const auto& [da, a] : entita) {
        for (auto p = testo.find(da); p != std::string::npos; p = testo.find(da, p + a.size())) {
            testo.replace(p, da.size(), a);
        }
    }
    return testo;
}

class ServerWebTest : public ::testing::Test {
  protected:
    ServerWebTest() {
        SettimanaDiEsempio(fx_);
        // A guest whose name is markup, a second block of the hotel.
        fx_.camera("105", 1, "SIN", 1);
        fx_.ospite({.camera = "105",
                    .arrivo = "20260315",
                    .partenza = "20260318",
                    .progressivo = 9,
                    .nome = "<b>Tom & 'Jerry'\""});
        fx_.db().tableau(1, 2, "Secondo piano");
        fx_.camera("201", 2, "DOP", 2);
        avvia();
    }

    web::OpzioniServer Opzioni() const {
        web::OpzioniServer opzioni;
        opzioni.porta = 0;
        opzioni.fileUtenti = FileUtentiCondiviso();
        opzioni.attesaTentativi = std::chrono::seconds(2);
        return opzioni;
    }

    void avvia(std::optional<web::OpzioniServer> opzioni = std::nullopt) {
        server_.reset();
        server_.emplace(
            opzioni ? *opzioni : Opzioni(),
            [this] { return std::make_unique<db::DataSource>(fx_.dir(), serverDati_); }, kOrologio);
    }

    std::uint16_t porta() const { return server_->porta(); }

    // The session cookie ("tableau_sessione=...") of a right login.
    std::string accedi() {
        const RispostaHttp risposta =
            Chiedi(porta(), "POST", "/login", "", Campi(kUtente, kPassword));
        EXPECT_EQ(risposta.stato, 303);
        const std::string cookie = risposta.intestazione("set-cookie").value_or("");
        return cookie.substr(0, cookie.find(';'));
    }

    ChartFixture fx_;
    std::optional<db::ServerSetting> serverDati_;  // none: the data directory's files
    std::optional<web::ServerWeb> server_;
};

TEST_F(ServerWebTest, EveryAnswerCarriesTheSecurityHeaders) {
    const std::string cookie = accedi();
    const std::vector<std::pair<RispostaHttp, int>> risposte = {
        {Chiedi(porta(), "GET", "/login"), 200},
        {Chiedi(porta(), "GET", "/", cookie), 200},
        {Chiedi(porta(), "GET", kSettimana, cookie), 200},
        {Chiedi(porta(), "GET", std::string("/api") + kSettimana, cookie), 200},
        {Chiedi(porta(), "GET", "/", ""), 303},
        {Chiedi(porta(), "GET", "/stile.css"), 200},
        {Chiedi(porta(), "GET", "/nulla", cookie), 404},
        {Chiedi(porta(), "PUT", "/", cookie), 405},
        {Chiedi(porta(), "GET", "/tableau?hotel=99", cookie), 404},
    };
    for (const auto& [risposta, stato] : risposte) {
        EXPECT_EQ(risposta.stato, stato);
        EXPECT_EQ(risposta.intestazione("content-security-policy"), "default-src 'self'");
        EXPECT_EQ(risposta.intestazione("x-frame-options"), "DENY");
        EXPECT_EQ(risposta.intestazione("x-content-type-options"), "nosniff");
        EXPECT_TRUE(risposta.intestazione("cache-control").has_value());
    }
    // Every page that may show a name is never stored by the browser.
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(risposte[i].first.intestazione("cache-control"), "no-store") << i;
    }
    EXPECT_EQ(risposte[5].first.intestazione("content-type"), "text/css; charset=utf-8");
    EXPECT_EQ(risposte[3].first.intestazione("content-type"), "application/json; charset=utf-8");
    EXPECT_EQ(risposte[2].first.intestazione("content-type"), "text/html; charset=utf-8");
    // The pages carry no inline style or script the policy would block.
    for (std::size_t i : {0, 1, 2}) {
        EXPECT_EQ(risposte[i].first.corpo.find("style="), std::string::npos);
        EXPECT_EQ(risposte[i].first.corpo.find("<script"), std::string::npos);
        EXPECT_EQ(risposte[i].first.corpo.find("<style"), std::string::npos);
    }
}

TEST_F(ServerWebTest, RefusesOtherMethodsBigBodiesAndOtherPaths) {
    const std::string cookie = accedi();
    for (const char* metodo : {"PUT", "DELETE", "PATCH", "OPTIONS", "TRACE"}) {
        const RispostaHttp risposta = Chiedi(porta(), metodo, "/", cookie);
        EXPECT_EQ(risposta.stato, 405) << metodo;
        EXPECT_EQ(risposta.intestazione("allow"), "GET, HEAD") << metodo;
    }
    // Only the login takes a POST.
    EXPECT_EQ(Chiedi(porta(), "POST", kSettimana, cookie, "x=1").stato, 405);
    EXPECT_EQ(Chiedi(porta(), "POST", "/", cookie, "x=1").stato, 405);
    EXPECT_EQ(Chiedi(porta(), "DELETE", "/login").intestazione("allow"), "GET, HEAD, POST");
    // HEAD answers the headers only.
    const RispostaHttp testa = Chiedi(porta(), "HEAD", kSettimana, cookie);
    EXPECT_EQ(testa.stato, 200);
    EXPECT_TRUE(testa.corpo.empty());

    // A body over 16 KB: refused by its declared length, and when sent in chunks.
    const std::string grande(web::kMassimoCorpo + 1, 'a');
    EXPECT_EQ(Chiedi(porta(), "POST", "/login", "", "utente=" + grande).stato, 413);
    std::string aPezzi =
        "POST /login HTTP/1.1\r\nHost: x\r\nConnection: close\r\nTransfer-Encoding: chunked\r\n"
        "Content-Type: application/x-www-form-urlencoded\r\n\r\n";
    for (int i = 0; i < 20; ++i) {
        aPezzi += "400\r\n" + std::string(1024, 'b') + "\r\n";
    }
    aPezzi += "0\r\n\r\n";
    const RispostaHttp pezzi = Invia(porta(), aPezzi);
    EXPECT_EQ(pezzi.stato, 413);
    EXPECT_EQ(pezzi.intestazione("x-frame-options"), "DENY");
    // Just under the bound a login is read.
    EXPECT_EQ(Chiedi(porta(), "POST", "/login", "",
                     Campi(kUtente, kPassword) + "&x=" + std::string(16000, 'c'))
                  .stato,
              303);

    // No file is served from disk, whatever the path.
    for (const char* percorso :
         {"/etc/passwd", "/../../etc/passwd", "/%2e%2e/etc/passwd", "/stile.css/x", "/index.html",
          "/favicon.ico", "/api/", "/api/tableau/x", "/tableau/"}) {
        const RispostaHttp risposta = Chiedi(porta(), "GET", percorso, cookie);
        EXPECT_EQ(risposta.stato, 404) << percorso;
        EXPECT_EQ(risposta.corpo.find("root:"), std::string::npos);
    }
}

TEST_F(ServerWebTest, PagesNeedALogin) {
    const RispostaHttp pagina = Chiedi(porta(), "GET", kSettimana);
    EXPECT_EQ(pagina.stato, 303);
    EXPECT_EQ(pagina.intestazione("location"), "/login");
    EXPECT_EQ(pagina.corpo.find("Rossi"), std::string::npos);
    const RispostaHttp api = Chiedi(porta(), "GET", std::string("/api") + kSettimana);
    EXPECT_EQ(api.stato, 401);
    EXPECT_EQ(api.corpo.find("Rossi"), std::string::npos);
    EXPECT_EQ(Chiedi(porta(), "GET", "/", "tableau_sessione=" + std::string(64, 'a')).stato, 303);
    EXPECT_EQ(Chiedi(porta(), "GET", "/", "tableau_sessione=").stato, 303);

    const RispostaHttp accesso = Chiedi(porta(), "POST", "/login", "", Campi(kUtente, kPassword));
    ASSERT_EQ(accesso.stato, 303);
    EXPECT_EQ(accesso.intestazione("location"), "/");
    const std::string cookie = accesso.intestazione("set-cookie").value_or("");
    EXPECT_TRUE(std::regex_search(cookie, std::regex("^tableau_sessione=[0-9a-f]{64}; ")));
    for (const char* attributo : {"HttpOnly", "SameSite=Strict", "Max-Age=43200", "Path=/"}) {
        EXPECT_NE(cookie.find(attributo), std::string::npos) << attributo;
    }
    EXPECT_EQ(cookie.find("Secure"), std::string::npos);  // plain HTTP
    const std::string sessione = cookie.substr(0, cookie.find(';'));
    const RispostaHttp alberghi = Chiedi(porta(), "GET", "/", sessione);
    EXPECT_EQ(alberghi.stato, 200);
    EXPECT_NE(alberghi.corpo.find("Hotel Bellavista"), std::string::npos);
    EXPECT_NE(alberghi.corpo.find("href=\"/tableau?hotel=1&amp;tableau=2\""), std::string::npos);

    // Logging out ends the session.
    const RispostaHttp uscita = Chiedi(porta(), "GET", "/esci", sessione);
    EXPECT_EQ(uscita.stato, 303);
    EXPECT_NE(uscita.intestazione("set-cookie").value_or("").find("Max-Age=0"), std::string::npos);
    EXPECT_EQ(Chiedi(porta(), "GET", "/", sessione).stato, 303);
}

TEST_F(ServerWebTest, FiveWrongPasswordsMakeTheAddressWaitAndAreLogged) {
    TempDir cartellaRegistro;
    PresaRegistro registro(cartellaRegistro / "log");
    for (int i = 0; i < 5; ++i) {
        const RispostaHttp risposta =
            Chiedi(porta(), "POST", "/login", "", Campi(kUtente, "sbagliata" + std::to_string(i)));
        EXPECT_EQ(risposta.stato, 401) << i;
        EXPECT_NE(risposta.corpo.find("Utente o password errati."), std::string::npos);
        const std::string riga = registro.ricevi();
        EXPECT_NE(riga.find("accesso web rifiutato: utente \"ricevimento\" da 127.0.0.1"),
                  std::string::npos)
            << riga;
        EXPECT_EQ(riga.find("sbagliata"), std::string::npos) << riga;
    }
    // The right password now waits too, and says so.
    const RispostaHttp attesa = Chiedi(porta(), "POST", "/login", "", Campi(kUtente, kPassword));
    EXPECT_EQ(attesa.stato, 429);
    EXPECT_NE(attesa.corpo.find("riprovare fra un minuto"), std::string::npos);
    EXPECT_FALSE(attesa.intestazione("set-cookie").has_value());
    const std::string rifiuto = registro.ricevi();
    EXPECT_NE(rifiuto.find("troppi tentativi"), std::string::npos) << rifiuto;
    EXPECT_EQ(rifiuto.find(kPassword), std::string::npos);
    // An unknown user counts as a wrong password.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    const RispostaHttp dopo = Chiedi(porta(), "POST", "/login", "", Campi(kUtente, kPassword));
    EXPECT_EQ(dopo.stato, 303);
    const std::string entrato = registro.ricevi();
    EXPECT_NE(entrato.find("accesso web: utente \"ricevimento\" da 127.0.0.1"), std::string::npos)
        << entrato;
    EXPECT_EQ(entrato.find(kPassword), std::string::npos);
    EXPECT_EQ(Chiedi(porta(), "POST", "/login", "", Campi("nessuno", kPassword)).stato, 401);
    EXPECT_EQ(Chiedi(porta(), "POST", "/login", "", "utente=" + std::string(kUtente)).stato, 401);
}

TEST_F(ServerWebTest, ARestartEndsEverySessionAndARemovedUserIsOut) {
    const std::string cookie = accedi();
    EXPECT_EQ(Chiedi(porta(), "GET", "/", cookie).stato, 200);
    avvia();
    EXPECT_EQ(Chiedi(porta(), "GET", "/", cookie).stato, 303);
    EXPECT_EQ(Chiedi(porta(), "GET", std::string("/api") + kSettimana, cookie).stato, 401);

    // A user taken out of the file loses the session at the next page.
    TempDir cartella;
    const std::filesystem::path utenti = cartella / "utenti";
    std::filesystem::copy_file(FileUtentiCondiviso(), utenti);
    web::OpzioniServer opzioni = Opzioni();
    opzioni.fileUtenti = utenti;
    avvia(opzioni);
    const std::string altro = accedi();
    EXPECT_EQ(Chiedi(porta(), "GET", "/", altro).stato, 200);
    ASSERT_TRUE(web::RimuoviUtente(utenti, kUtente));
    EXPECT_EQ(Chiedi(porta(), "GET", "/", altro).stato, 303);
    // A users file that cannot be read is said, never a dropped connection.
    writeFile(utenti, "riga-senza-hash\n");
    const RispostaHttp guasto = Chiedi(porta(), "POST", "/login", "", Campi(kUtente, kPassword));
    EXPECT_EQ(guasto.stato, 500);
    EXPECT_NE(guasto.corpo.find("File degli utenti"), std::string::npos);
}

TEST_F(ServerWebTest, TwoHundredRequestsFromTwentyClientsAreAllAnswered) {
    const std::string cookie = accedi();
    std::atomic<int> giuste{0};
    std::vector<std::thread> clienti;
    for (int c = 0; c < 20; ++c) {
        clienti.emplace_back([&, c] {
            for (int r = 0; r < 10; ++r) {
                const std::string percorso = (r + c) % 3 == 0   ? std::string("/")
                                             : (r + c) % 3 == 1 ? std::string(kSettimana)
                                                                : "/api" + std::string(kSettimana);
                const RispostaHttp risposta = Chiedi(porta(), "GET", percorso, cookie);
                if (risposta.stato == 200 && !risposta.corpo.empty()) {
                    ++giuste;
                }
            }
        });
    }
    for (std::thread& cliente : clienti) {
        cliente.join();
    }
    EXPECT_EQ(giuste.load(), 200);
}

TEST_F(ServerWebTest, ConnectionsAreBoundedInNumberAndIdleTime) {
    web::OpzioniServer opzioni = Opzioni();
    opzioni.connessioniPerIndirizzo = 3;
    opzioni.attesaConnessione = std::chrono::seconds(1);
    avvia(opzioni);
    std::vector<std::unique_ptr<Connessione>> aperte;
    for (int i = 0; i < 3; ++i) {
        aperte.push_back(std::make_unique<Connessione>(porta(), 5));
        ASSERT_TRUE(aperte.back()->aperta());
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    // One more from the same address is closed at once, unanswered.
    Connessione oltre(porta(), 5);
    oltre.scrivi("GET /login HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(LeggiRisposta(oltre.leggiTutto()).stato, 0);
    // The idle ones are closed after the timeout; then the address is served again.
    const auto prima = std::chrono::steady_clock::now();
    EXPECT_TRUE(aperte.front()->chiusaDalServer());
    EXPECT_LT(std::chrono::steady_clock::now() - prima, std::chrono::seconds(4));
    aperte.clear();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(Chiedi(porta(), "GET", "/login").stato, 200);
}

TEST_F(ServerWebTest, PlainHttpOnlyOnLoopbackUnlessInsecure) {
    web::OpzioniServer opzioni = Opzioni();
    opzioni.indirizzo = "0.0.0.0";
    EXPECT_THROW(avvia(opzioni), routines::RichiestaRifiutata);
    opzioni.indirizzo = "::";
    EXPECT_THROW(avvia(opzioni), routines::RichiestaRifiutata);
    opzioni.certificato = "/nessun/certificato.pem";
    EXPECT_THROW(avvia(opzioni), routines::RichiestaRifiutata);  // no key
    opzioni.certificato.clear();
    opzioni.indirizzo = "0.0.0.0";
    opzioni.insicuro = true;
    avvia(opzioni);
    EXPECT_EQ(Chiedi(porta(), "GET", "/login").stato, 200);
    opzioni.indirizzo = "127.0.0.1";
    opzioni.insicuro = false;
    opzioni.porta = porta();  // taken
    EXPECT_THROW(web::ServerWeb(
                     opzioni, [] { return std::unique_ptr<db::DataSource>(); }, kOrologio),
                 web::ErroreWeb);
}

TEST_F(ServerWebTest, HttpsWithACertificateAndSecureCookies) {
    TempDir cartella;
    const auto certificato = cartella / "cert.pem";
    const auto chiave = cartella / "key.pem";
    const std::string comando =
        "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=localhost -keyout " +
        chiave.string() + " -out " + certificato.string() + " >/dev/null 2>&1";
    if (std::system(comando.c_str()) != 0 || std::system("curl --version >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "openssl o curl mancanti";
    }
    web::OpzioniServer opzioni = Opzioni();
    opzioni.certificato = certificato;
    opzioni.chiave = chiave;
    avvia(opzioni);
    EXPECT_TRUE(server_->https());
    EXPECT_EQ(server_->indirizzo(), "https://127.0.0.1:" + std::to_string(porta()) + "/");
    const auto intestazioni = cartella / "intestazioni";
    const std::string curl = "curl -k -s -o /dev/null -D " + intestazioni.string() +
                             " --data 'utente=" + kUtente + "&password=" + kPassword +
                             "' https://127.0.0.1:" + std::to_string(porta()) + "/login";
    ASSERT_EQ(std::system(curl.c_str()), 0);
    const std::string risposta = readFile(intestazioni);
    EXPECT_NE(risposta.find("HTTP/1.1 303"), std::string::npos) << risposta;
    EXPECT_NE(risposta.find("; Secure"), std::string::npos) << risposta;
    EXPECT_NE(risposta.find("X-Frame-Options: DENY"), std::string::npos) << risposta;
    // Plain HTTP to the HTTPS port gets no page.
    EXPECT_NE(Chiedi(porta(), "GET", "/login").stato, 200);
}

TEST_F(ServerWebTest, ThePageAndTheJsonShowTheChartFilesCells) {
    const std::set<std::string> prima = Contenuto(fx_.dir());
    const std::string cookie = accedi();
    const RispostaHttp pagina = Chiedi(porta(), "GET", kSettimana, cookie);
    const RispostaHttp api = Chiedi(porta(), "GET", std::string("/api") + kSettimana, cookie);
    ASSERT_EQ(pagina.stato, 200);
    ASSERT_EQ(api.stato, 200);
    // The web view wrote nothing: no chart file, no copy, nothing in the data directory.
    EXPECT_EQ(Contenuto(fx_.dir()), prima);

    // The chart file of the same request, as tableau chart makes it (every room of the block).
    db::DataSource origine(fx_.dir(), std::nullopt);
    const auto alberghi = chart::ElencaAlberghi(origine);
    const chart::IntervalloCamere tutte =
        chart::TutteLeCamere(chart::TrovaTableau(chart::TrovaAlbergo(alberghi, 1), 1));
    chart::CreaTableau(origine, PostazioneDi(fx_.dir()),
                       chart::RichiestaTableau{1, 1, tutte.prima, tutte.ultima, "16/03/2026"},
                       kOrologio);
    const chart::TableauLetto file = chart::LeggiFileTableau(fx_.fileTableau());
    ASSERT_EQ(file.camere.size(), 5u);
    // The departures the chart file does not hold: the week's from the tables.
    const chart::TableauLetto modello = Settimana(fx_.dir(), 1).tableau.at(0);
    ASSERT_EQ(modello.camere.size(), file.camere.size());

    // The JSON.
    const ValoreJson json = LettoreJson(api.corpo).leggi();
    EXPECT_EQ(json["albergo"]["nome"].testo(), "Hotel Bellavista");
    ASSERT_EQ(json["tableau"].size(), 1u);
    const ValoreJson& blocco = json["tableau"][0];
    EXPECT_EQ(blocco["descrizione"].testo(), "Primo piano");
    ASSERT_EQ(blocco["camere"].size(), file.camere.size());
    for (std::size_t g = 0; g < chart::kGiorniTableau; ++g) {
        EXPECT_EQ(json["giorni"][g]["nome"].testo(), Utf8(file.giorni[g].nome));
        EXPECT_EQ(json["giorni"][g]["data"].testo(), Utf8(file.giorni[g].testoData));
        EXPECT_EQ(blocco["totali"]["CC"][g].numero(), file.totaleCC[g]);
        EXPECT_EQ(blocco["totali"]["MP"][g].numero(), file.totaleMP[g]);
        EXPECT_EQ(blocco["totali"]["PC"][g].numero(), file.totalePC[g]);
    }
    for (std::size_t c = 0; c < file.camere.size(); ++c) {
        const chart::CameraLetta& attesa = file.camere[c];
        const ValoreJson& camera = blocco["camere"][c];
        EXPECT_EQ(camera["numero"].testo(), Utf8(attesa.numero));
        EXPECT_EQ(camera["tipo"].testo(), Utf8(attesa.tipo));
        EXPECT_EQ(camera["posti"].testo(), Utf8(attesa.posti));
        for (std::size_t g = 0; g < chart::kGiorniTableau; ++g) {
            const chart::GiornoLetto& giorno = attesa.giorni[g];
            const ValoreJson& cella = camera["giorni"][g];
            EXPECT_EQ(cella["persone"].numero(), giorno.persone) << c << " " << g;
            EXPECT_EQ(cella["stato"].testo(), chart::NomeStato(giorno.stato));
            EXPECT_EQ(cella["testoStato"].testo(), Utf8(giorno.testoStato));
            EXPECT_EQ(cella["nome"].testo(), Utf8(giorno.nome));
            EXPECT_EQ(cella["ditta"].testo(), Utf8(giorno.ditta));
            EXPECT_EQ(cella["codice"].testo(), Utf8(giorno.codice));
            EXPECT_EQ(cella["nota"].testo(), Utf8(giorno.nota));
            EXPECT_EQ(Vero(cella["partenza"]), modello.camere[c].giorni[g].partenza);
            EXPECT_EQ(cella["personeInPartenza"].numero(),
                      modello.camere[c].giorni[g].personeInPartenza);
        }
    }
    EXPECT_EQ(blocco["camere"][0]["giorni"][0]["ditta"].testo(), "Caff\xC3\xA8 Nero \xE2\x82\xAC");

    // The page: a row per room, a cell per day, the totals.
    const std::regex riga(
        "<tr><th class=\"camera\" scope=\"row\"><span class=\"numero\">(.*?)</span><span "
        "class=\"tipo\">(.*?)</span><span class=\"posti\">(.*?)</span></th>\\n((?:<td.*\\n){7})"
        "</tr>");
    const std::regex cella(
        "<td class=\"([^\"]*)\"><span class=\"stato\">(.*?)</span><span class=\"nome\">(.*?)"
        "</span><span class=\"ditta\">(.*?)</span><span class=\"codice\">(.*?)</span><span "
        "class=\"nota\">(.*?)</span></td>");
    std::size_t c = 0;
    for (auto r = std::sregex_iterator(pagina.corpo.begin(), pagina.corpo.end(), riga);
         r != std::sregex_iterator(); ++r, ++c) {
        ASSERT_LT(c, file.camere.size());
        const chart::CameraLetta& attesa = file.camere[c];
        EXPECT_EQ(SenzaEntita((*r)[1]), Utf8(attesa.numero));
        EXPECT_EQ(SenzaEntita((*r)[2]), Utf8(attesa.tipo));
        EXPECT_EQ(SenzaEntita((*r)[3]), Utf8(attesa.posti));
        const std::string celle = (*r)[4];
        std::size_t g = 0;
        for (auto m = std::sregex_iterator(celle.begin(), celle.end(), cella);
             m != std::sregex_iterator(); ++m, ++g) {
            ASSERT_LT(g, chart::kGiorniTableau);
            const chart::GiornoLetto& giorno = attesa.giorni[g];
            // The first line as the PDF writes it: "partenza (2)" after the state.
            EXPECT_EQ(
                SenzaEntita((*m)[2]),
                Utf8(exports::PrimaRigaCella(ConPartenza(giorno, modello.camere[c].giorni[g]))));
            EXPECT_EQ(SenzaEntita((*m)[3]), Utf8(giorno.nome));
            EXPECT_EQ(SenzaEntita((*m)[4]), Utf8(giorno.ditta));
            EXPECT_EQ(SenzaEntita((*m)[5]), Utf8(giorno.codice));
            EXPECT_EQ(SenzaEntita((*m)[6]), Utf8(giorno.nota));
            // The state's fill, the PDF's.
            const std::string classe = (*m)[1];
            if (giorno.stato == chart::StatoSoggiorno::nessuno) {
                EXPECT_EQ(classe.substr(0, 6), "libera");
            } else if (giorno.stato != chart::StatoSoggiorno::altro) {
                std::string attesaClasse = "stato-" + std::string(chart::NomeStato(giorno.stato));
                std::replace(attesaClasse.begin(), attesaClasse.end(), ' ', '-');
                EXPECT_EQ(classe.substr(0, attesaClasse.size()), attesaClasse);
            }
        }
        EXPECT_EQ(g, chart::kGiorniTableau);
    }
    EXPECT_EQ(c, file.camere.size());
    std::string totali = "<tr class=\"totale\"><th class=\"camera\" scope=\"row\">CC</th>";
    for (const long n : file.totaleCC) {
        totali += "<td>" + std::to_string(n) + "</td>";
    }
    EXPECT_NE(pagina.corpo.find(totali + "</tr>"), std::string::npos);
    // The markup in a name is shown, never run.
    EXPECT_EQ(pagina.corpo.find("<b>Tom"), std::string::npos);
    EXPECT_NE(pagina.corpo.find("&lt;b&gt;Tom &amp; &#39;Jerry&#39;&quot;"), std::string::npos);
    EXPECT_EQ(api.corpo.find("<b>"), std::string::npos);
    // The legend names every state with its fill, the style sheet gives the PDF's colours.
    for (const char* voce :
         {"stato-arrivata\"></span>arrivata", "stato-in-fermata\"></span>in fermata",
          "stato-in-arrivo\"></span>in arrivo", "stato-prenotata\"></span>prenotata",
          "libera\"></span>libera"}) {
        EXPECT_NE(pagina.corpo.find(voce), std::string::npos) << voce;
    }
    const std::string stile = Chiedi(porta(), "GET", "/stile.css").corpo;
    EXPECT_NE(stile.find(".stato-arrivata { background: #C6EFCE; }"), std::string::npos);
    EXPECT_NE(stile.find(".stato-prenotata { background: #DCC6F0; }"), std::string::npos);
    EXPECT_NE(stile.find("@media print"), std::string::npos);
    EXPECT_NE(stile.find("position: sticky"), std::string::npos);
}

TEST_F(ServerWebTest, DeparturesAndTheDaysFiguresAreTheWeeksFromTheTables) {
    // A one-night stay of two guests in the second block's only room: in Tuesday 17, out
    // Wednesday 18.
    for (const std::int64_t componente : {1, 2}) {
        fx_.ospite({.camera = "201",
                    .arrivo = "20260317",
                    .partenza = "20260318",
                    .progressivo = 30,
                    .componente = componente,
                    .nome = "Gialli"});
    }
    const std::string cookie = accedi();
    const std::string blocco2 = "/tableau?hotel=1&tableau=2&data=16/03/2026";
    const ValoreJson json =
        LettoreJson(Chiedi(porta(), "GET", "/api" + blocco2, cookie).corpo).leggi();
    const std::string pagina = Chiedi(porta(), "GET", blocco2, cookie).corpo;
    ASSERT_EQ(json["tableau"].size(), 1u);
    const ValoreJson& camera = json["tableau"][0]["camere"][0];
    const ValoreJson& conteggi = json["tableau"][0]["conteggi"];
    ASSERT_EQ(conteggi.size(), chart::kGiorniTableau);
    // What the stay says: two persons in on the 17th, the room left by two on the 18th.
    for (std::size_t g = 0; g < chart::kGiorniTableau; ++g) {
        const bool dentro = g == 1;
        const bool uscita = g == 2;
        EXPECT_EQ(Vero(camera["giorni"][g]["partenza"]), uscita) << g;
        EXPECT_EQ(camera["giorni"][g]["personeInPartenza"].numero(), uscita ? 2 : 0) << g;
        EXPECT_EQ(camera["giorni"][g]["persone"].numero(), dentro ? 2 : 0) << g;
        EXPECT_EQ(conteggi[g]["partenze"].numero(), uscita ? 1 : 0) << g;
        EXPECT_EQ(conteggi[g]["personeInPartenza"].numero(), uscita ? 2 : 0) << g;
        EXPECT_EQ(conteggi[g]["camereOccupate"].numero(), dentro ? 1 : 0) << g;
        EXPECT_EQ(conteggi[g]["camereLibere"].numero(), dentro ? 0 : 1) << g;
        EXPECT_EQ(conteggi[g]["persone"].numero(), dentro ? 2 : 0) << g;
    }
    EXPECT_EQ(conteggi[1]["arrivi"].numero(), 1);
    EXPECT_EQ(conteggi[1]["personeInArrivo"].numero(), 2);
    // The page: the departure in its cell on the 18th, filled as the PDF fills it (the room is
    // free that day: the whole cell), and named in the legend.
    EXPECT_NE(pagina.find("<td class=\"libera partenza\"><span class=\"stato\">partenza (2)"
                          "</span>"),
              std::string::npos)
        << pagina;
    EXPECT_NE(pagina.find("campione partenza\"></span>partenza</li>"), std::string::npos);
    const std::string stile = Chiedi(porta(), "GET", "/stile.css").corpo;
    EXPECT_NE(stile.find(".partenza { background: #F4B183; }"), std::string::npos);
    EXPECT_NE(stile.find(".partenza-banda { box-shadow: inset 0.4rem 0 0 #F4B183; }"),
              std::string::npos);
    EXPECT_EQ(
        RigaFigure(pagina, "Partenze"),
        (std::vector<std::string>{"0 (0)", "0 (0)", "1 (2)", "0 (0)", "0 (0)", "0 (0)", "0 (0)"}));
    EXPECT_EQ(RigaFigure(pagina, "Persone"),
              (std::vector<std::string>{"0", "2", "0", "0", "0", "0", "0"}));

    // The whole hotel: every block's figures and departures are the week's from the tables,
    // its rows under each block with the PDF's labels.
    const chart::SettimanaAlbergo settimana = Settimana(fx_.dir(), std::nullopt);
    const std::string tuttoPercorso = "/tableau?hotel=1&data=16/03/2026";
    const ValoreJson tutto =
        LettoreJson(Chiedi(porta(), "GET", "/api" + tuttoPercorso, cookie).corpo).leggi();
    const std::string tuttaPagina = Chiedi(porta(), "GET", tuttoPercorso, cookie).corpo;
    ASSERT_EQ(tutto["tableau"].size(), settimana.tableau.size());
    std::size_t da = 0;
    long partenze = 0;
    for (std::size_t t = 0; t < settimana.tableau.size(); ++t) {
        const chart::TableauLetto& atteso = settimana.tableau[t];
        const ValoreJson& blocco = tutto["tableau"][t];
        for (std::size_t g = 0; g < chart::kGiorniTableau; ++g) {
            const chart::ConteggioGiorno& c = (*atteso.conteggi)[g];
            const ValoreJson& letto = blocco["conteggi"][g];
            EXPECT_EQ(letto["arrivi"].numero(), c.arrivi) << t << " " << g;
            EXPECT_EQ(letto["personeInArrivo"].numero(), c.personeInArrivo) << t << " " << g;
            EXPECT_EQ(letto["partenze"].numero(), c.partenze) << t << " " << g;
            EXPECT_EQ(letto["personeInPartenza"].numero(), c.personeInPartenza) << t << " " << g;
            EXPECT_EQ(letto["camereOccupate"].numero(), c.camereOccupate) << t << " " << g;
            EXPECT_EQ(letto["camereLibere"].numero(), c.camereLibere) << t << " " << g;
            EXPECT_EQ(letto["persone"].numero(), c.persone) << t << " " << g;
            partenze += c.partenze;
            for (std::size_t r = 0; r < atteso.camere.size(); ++r) {
                EXPECT_EQ(Vero(blocco["camere"][r]["giorni"][g]["partenza"]),
                          atteso.camere[r].giorni[g].partenza);
            }
        }
        da = tuttaPagina.find("id=\"tableau-" + std::to_string(settimana.codiciTableau[t]), da);
        ASSERT_NE(da, std::string::npos);
        for (const exports::RigaFigureGiorno& riga : exports::RigheFigureGiorno(*atteso.conteggi)) {
            EXPECT_EQ(RigaFigure(tuttaPagina, std::string(riga.etichetta), da),
                      std::vector<std::string>(riga.valori.begin(), riga.valori.end()))
                << t << " " << riga.etichetta;
        }
    }
    EXPECT_GE(partenze, 2) << "the example week's departures and the one-night stay's";
}

TEST_F(ServerWebTest, FromTheChainsServerTheSameCellsAndWhereTheyCameFrom) {
    TABLEAU_RICHIEDE_SERVER();
    const SchemaDiProva schema;
    db::server::ServerConnection connessione(ServerPrimario());
    db::server::SyncToServer(fx_.dir(), connessione, schema.nome(), {});
    const std::string dalTutto = std::string("/api/tableau?hotel=1&data=16/03/2026");
    const std::string daiFile = Chiedi(porta(), "GET", dalTutto, accedi()).corpo;
    serverDati_ = db::ServerSetting{ServerPrimario(), schema.nome()};
    avvia();
    const std::string cookie = accedi();
    const std::string dalServer = Chiedi(porta(), "GET", dalTutto, cookie).corpo;
    const std::regex provenienza("\"provenienza\":\"[^\"]*\"");
    EXPECT_EQ(std::regex_replace(dalServer, provenienza, ""),
              std::regex_replace(daiFile, provenienza, ""));
    EXPECT_NE(dalServer.find("\"provenienza\":\"Dati dal server"), std::string::npos);
    EXPECT_NE(dalServer.find(", schema " + schema.nome()), std::string::npos);
    EXPECT_NE(dalServer.find("sincronizzati il "), std::string::npos);
    const std::string pagina = Chiedi(porta(), "GET", kSettimana, cookie).corpo;
    EXPECT_NE(pagina.find("Rossi Mario"), std::string::npos);
}

TEST_F(ServerWebTest, WeeksMoveAndTheWholeHotelShowsEveryBlock) {
    const std::string cookie = accedi();
    const RispostaHttp pagina = Chiedi(porta(), "GET", kSettimana, cookie);
    EXPECT_NE(pagina.corpo.find("href=\"/tableau?hotel=1&amp;tableau=1&amp;data=09/03/2026\""),
              std::string::npos);
    EXPECT_NE(pagina.corpo.find("href=\"/tableau?hotel=1&amp;tableau=1&amp;data=23/03/2026\""),
              std::string::npos);
    EXPECT_NE(pagina.corpo.find("href=\"/tableau?hotel=1&amp;tableau=1&amp;data=14/03/2026\""),
              std::string::npos);  // today, by the server's clock
    // Without a date: the week from today.
    const ValoreJson oggi =
        LettoreJson(Chiedi(porta(), "GET", "/api/tableau?hotel=1&tableau=1", cookie).corpo).leggi();
    EXPECT_EQ(oggi["inizio"].testo(), "14/03/2026");
    EXPECT_EQ(oggi["giorni"][0]["nome"].testo(), "Sabato");
    // Without a block: every block of the hotel, in order.
    const ValoreJson tutto =
        LettoreJson(Chiedi(porta(), "GET", "/api/tableau?hotel=1&data=16/03/2026", cookie).corpo)
            .leggi();
    ASSERT_EQ(tutto["tableau"].size(), 2u);
    EXPECT_EQ(tutto["tableau"][0]["camere"].size(), 5u);
    EXPECT_EQ(tutto["tableau"][1]["descrizione"].testo(), "Secondo piano");
    EXPECT_EQ(tutto["tableau"][1]["camere"][0]["numero"].testo(), "201");
    const std::string html =
        Chiedi(porta(), "GET", "/tableau?hotel=1&data=16/03/2026", cookie).corpo;
    EXPECT_LT(html.find("id=\"tableau-1\""), html.find("id=\"tableau-2\""));
    // The day's figures of each block, one per day.
    EXPECT_EQ(tutto["tableau"][0]["conteggi"].size(), chart::kGiorniTableau);
    EXPECT_EQ(tutto["tableau"][1]["conteggi"].size(), chart::kGiorniTableau);

    // Requests that do not hold.
    const auto stato = [&](const std::string& percorso) {
        return Chiedi(porta(), "GET", percorso, cookie);
    };
    EXPECT_EQ(stato("/tableau?hotel=1&data=31/02/2026").stato, 400);
    EXPECT_EQ(stato("/tableau?hotel=uno").stato, 400);
    EXPECT_EQ(stato("/tableau").stato, 400);
    const RispostaHttp ignoto = stato("/api/tableau?hotel=1&tableau=9");
    EXPECT_EQ(ignoto.stato, 404);
    EXPECT_NE(LettoreJson(ignoto.corpo).leggi()["errore"].testo().find("Primo piano"),
              std::string::npos);
    EXPECT_EQ(stato("/tableau?hotel=7").stato, 404);
    // A data directory that cannot be read is a failure said on the page.
    std::filesystem::remove(fx_.dir() / "NumeriCamere.mdb");
    const RispostaHttp guasto = stato(kSettimana);
    EXPECT_EQ(guasto.stato, 500);
    EXPECT_NE(guasto.corpo.find("NumeriCamere"), std::string::npos);
}

}  // namespace
}  // namespace tableau::test
