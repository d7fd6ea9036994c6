#include "web/web_server.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "chart/block_check.h"
#include "routines/codepage.h"
#include "routines/errors.h"
#include "routines/system_log.h"
#include "web/chart_view.h"
#include "web/errors.h"
#include "web/html_text.h"
#include "web/pages.h"
#include "web/sessions.h"

namespace tableau::web {
namespace {

struct CancellaRisposta {
    void operator()(MHD_Response* risposta) const { MHD_destroy_response(risposta); }
};
using Risposta = std::unique_ptr<MHD_Response, CancellaRisposta>;

constexpr std::string_view kTipoHtml = "text/html; charset=utf-8";
constexpr std::string_view kTipoJson = "application/json; charset=utf-8";

// What a request carries between the calls libmicrohttpd makes for it.
struct Richiesta {
    std::string corpo;
    std::size_t letti = 0;
};

// A chunked body beyond this is not even read to its end.
constexpr std::size_t kMassimoScartato = 1024 * 1024;

std::string LeggiFile(const std::filesystem::path& file, std::string_view cosa) {
    std::ifstream ingresso(file, std::ios::binary);
    std::ostringstream testo;
    if (!ingresso || !(testo << ingresso.rdbuf())) {
        throw ErroreWeb("Impossibile leggere " + std::string(cosa) + " " + file.string() + ": " +
                        std::strerror(errno));
    }
    return testo.str();
}

// The client's address as text, for the brake and the log.
std::string IndirizzoCliente(MHD_Connection* connessione) {
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(connessione, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    if (info == nullptr || info->client_addr == nullptr) {
        return "?";
    }
    char testo[INET6_ADDRSTRLEN] = "?";
    if (info->client_addr->sa_family == AF_INET) {
        const auto* v4 = reinterpret_cast<const sockaddr_in*>(info->client_addr);
        ::inet_ntop(AF_INET, &v4->sin_addr, testo, sizeof testo);
    } else if (info->client_addr->sa_family == AF_INET6) {
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(info->client_addr);
        ::inet_ntop(AF_INET6, &v6->sin6_addr, testo, sizeof testo);
    }
    return testo;
}

std::optional<std::string> Campo(MHD_Connection* connessione, MHD_ValueKind tipo,
                                 const char* nome) {
    const char* valore = MHD_lookup_connection_value(connessione, tipo, nome);
    if (valore == nullptr) {
        return std::nullopt;
    }
    return std::string(valore);
}

// A user's name for the log: as UTF-8, never longer than a name may be.
std::string NomeRegistrato(std::string_view nome) {
    std::string testo = routines::SoloUtf8(nome.substr(0, 64));
    return "\"" + testo + "\"";
}

}  // namespace

struct ServerWeb::Stato {
    OpzioniServer opzioni;
    ApriSorgente apriSorgente;
    const routines::Orologio& orologio;
    Sessioni sessioni;
    FrenoAccessi freno;
    std::string certificato;
    std::string chiave;
    std::string stile = FoglioStile();
    MHD_Daemon* demone = nullptr;
    std::uint16_t porta = 0;

    Stato(OpzioniServer o, ApriSorgente a, const routines::Orologio& c)
        : opzioni(std::move(o)),
          apriSorgente(std::move(a)),
          orologio(c),
          sessioni(opzioni.durataSessione),
          freno(opzioni.tentativiAccesso, opzioni.attesaTentativi) {}

    bool https() const { return !certificato.empty(); }

    // Every response: the body, its type, the security headers, and the headers given.
    MHD_Result invia(MHD_Connection* connessione, unsigned codice, const std::string& corpo,
                     std::string_view tipo,
                     const std::vector<std::pair<std::string, std::string>>& intestazioni = {},
                     bool conNomi = true) const {
        const Risposta risposta(MHD_create_response_from_buffer(
            corpo.size(), const_cast<char*>(corpo.data()), MHD_RESPMEM_MUST_COPY));
        if (!risposta) {
            return MHD_NO;
        }
        MHD_add_response_header(risposta.get(), "Content-Type", std::string(tipo).c_str());
        MHD_add_response_header(risposta.get(), "Content-Security-Policy", "default-src 'self'");
        MHD_add_response_header(risposta.get(), "X-Frame-Options", "DENY");
        MHD_add_response_header(risposta.get(), "X-Content-Type-Options", "nosniff");
        MHD_add_response_header(risposta.get(), "Referrer-Policy", "no-referrer");
        MHD_add_response_header(risposta.get(), "Cache-Control", conNomi ? "no-store" : "no-cache");
        for (const auto& [nome, valore] : intestazioni) {
            MHD_add_response_header(risposta.get(), nome.c_str(), valore.c_str());
        }
        return MHD_queue_response(connessione, codice, risposta.get());
    }

    MHD_Result errore(
        MHD_Connection* connessione, unsigned codice, std::string_view titolo,
        std::string_view messaggio, bool json,
        const std::vector<std::pair<std::string, std::string>>& intestazioni = {}) const {
        if (json) {
            return invia(connessione, codice, "{\"errore\":" + Json(messaggio) + "}\n", kTipoJson,
                         intestazioni);
        }
        return invia(connessione, codice, PaginaErrore(titolo, messaggio), kTipoHtml, intestazioni);
    }

    MHD_Result rinvia(MHD_Connection* connessione, const std::string& dove,
                      std::vector<std::pair<std::string, std::string>> intestazioni = {}) const {
        intestazioni.emplace_back("Location", dove);
        return invia(connessione, MHD_HTTP_SEE_OTHER,
                     "<!DOCTYPE html>\n<title>Tableau</title><a href=\"" + Html(dove) + "\">" +
                         Html(dove) + "</a>\n",
                     kTipoHtml, intestazioni);
    }

    std::string cookie(const std::string& token, int durata) const {
        return std::string(kCookieSessione) + "=" + token +
               "; Path=/; Max-Age=" + std::to_string(durata) + "; HttpOnly; SameSite=Strict" +
               (https() ? "; Secure" : "");
    }

    // The user of the request's session, when it is valid and the user is still in the file.
    std::optional<std::string> utenteDellaSessione(MHD_Connection* connessione) {
        const auto token =
            Campo(connessione, MHD_COOKIE_KIND, std::string(kCookieSessione).c_str());
        if (!token) {
            return std::nullopt;
        }
        auto utente = sessioni.utente(*token);
        if (utente && !UtenteEsiste(opzioni.fileUtenti, *utente)) {
            sessioni.chiudi(*token);
            return std::nullopt;
        }
        return utente;
    }

    MHD_Result accedi(MHD_Connection* connessione, const std::string& corpo) {
        const std::string cliente = IndirizzoCliente(connessione);
        const auto campi = CampiModulo(corpo);
        const auto utente = campi.find("utente");
        const auto password = campi.find("password");
        const std::string nome = utente == campi.end() ? std::string() : utente->second;
        if (freno.inAttesa(cliente)) {
            routines::RegistraAvviso("accesso web rifiutato: utente " + NomeRegistrato(nome) +
                                     " da " + cliente + ", troppi tentativi falliti");
            return invia(connessione, MHD_HTTP_TOO_MANY_REQUESTS,
                         PaginaAccesso("Troppi tentativi falliti da questo indirizzo: riprovare "
                                       "fra un minuto."),
                         kTipoHtml,
                         {{"Retry-After", std::to_string(opzioni.attesaTentativi.count())}});
        }
        bool giusto = false;
        if (utente != campi.end() && password != campi.end()) {
            try {
                ControllaNomeUtente(nome);
                giusto = Autentica(opzioni.fileUtenti, nome, password->second);
            } catch (const routines::RichiestaRifiutata&) {
                giusto = false;
            }
        }
        if (!giusto) {
            const bool attende = freno.errore(cliente);
            routines::RegistraAvviso("accesso web rifiutato: utente " + NomeRegistrato(nome) +
                                     " da " + cliente + ", utente o password errati" +
                                     (attende ? "; l'indirizzo attende un minuto" : ""));
            return invia(connessione, MHD_HTTP_UNAUTHORIZED,
                         PaginaAccesso(attende ? "Utente o password errati. Troppi tentativi "
                                                 "falliti: riprovare fra un minuto."
                                               : "Utente o password errati."),
                         kTipoHtml);
        }
        freno.riuscito(cliente);
        const std::string token = sessioni.apri(nome);
        routines::RegistraEvento("accesso web: utente " + NomeRegistrato(nome) + " da " + cliente);
        return rinvia(
            connessione, "/",
            {{"Set-Cookie", cookie(token, static_cast<int>(opzioni.durataSessione.count()))}});
    }

    MHD_Result esci(MHD_Connection* connessione) {
        if (const auto token =
                Campo(connessione, MHD_COOKIE_KIND, std::string(kCookieSessione).c_str())) {
            if (const auto utente = sessioni.utente(*token)) {
                routines::RegistraEvento("uscita web: utente " + NomeRegistrato(*utente) + " da " +
                                         IndirizzoCliente(connessione));
            }
            sessioni.chiudi(*token);
        }
        return rinvia(connessione, "/login", {{"Set-Cookie", cookie("", 0)}});
    }

    MHD_Result tableau(MHD_Connection* connessione, const std::string& utente, bool json) {
        RichiestaPagina richiesta;
        try {
            richiesta =
                LeggiRichiestaPagina(Campo(connessione, MHD_GET_ARGUMENT_KIND, "hotel"),
                                     Campo(connessione, MHD_GET_ARGUMENT_KIND, "tableau"),
                                     Campo(connessione, MHD_GET_ARGUMENT_KIND, "data"), orologio);
        } catch (const routines::RichiestaRifiutata& e) {
            return errore(connessione, MHD_HTTP_BAD_REQUEST, "Richiesta non valida", e.what(),
                          json);
        }
        try {
            const auto sorgente = apriSorgente();
            const PaginaTableau pagina = CostruisciPagina(*sorgente, richiesta, orologio);
            return json ? invia(connessione, MHD_HTTP_OK, PaginaJson(pagina), kTipoJson)
                        : invia(connessione, MHD_HTTP_OK, PaginaHtml(pagina, utente), kTipoHtml);
        } catch (const routines::RichiestaRifiutata& e) {
            return errore(connessione, MHD_HTTP_NOT_FOUND, "Tableau non trovato", e.what(), json);
        }
    }

    MHD_Result alberghi(MHD_Connection* connessione, const std::string& utente) {
        const auto sorgente = apriSorgente();
        return invia(connessione, MHD_HTTP_OK,
                     PaginaAlberghi(chart::ElencaAlberghi(*sorgente), utente), kTipoHtml);
    }

    // Every failure is a page that says it (500) and a line in the log; the connection is
    // never dropped unanswered.
    MHD_Result rispondi(MHD_Connection* connessione, std::string_view percorso,
                        std::string_view metodo, const std::string& corpo) {
        try {
            return instrada(connessione, percorso, metodo, corpo);
        } catch (const std::exception& e) {
            routines::RegistraErrore("pagina web " + routines::SoloUtf8(percorso) +
                                     " non fatta: " + e.what());
            return errore(connessione, MHD_HTTP_INTERNAL_SERVER_ERROR, "Errore", e.what(),
                          percorso == "/api/tableau");
        }
    }

    MHD_Result instrada(MHD_Connection* connessione, std::string_view percorso,
                        std::string_view metodo, const std::string& corpo) {
        if (percorso == kPercorsoStile) {
            return invia(connessione, MHD_HTTP_OK, stile, "text/css; charset=utf-8", {}, false);
        }
        if (percorso == "/login") {
            if (metodo == MHD_HTTP_METHOD_POST) {
                return accedi(connessione, corpo);
            }
            return invia(connessione, MHD_HTTP_OK, PaginaAccesso(""), kTipoHtml);
        }
        if (percorso == "/esci") {
            return esci(connessione);
        }
        const bool json = percorso == "/api/tableau";
        if (percorso != "/" && percorso != "/tableau" && !json) {
            return errore(connessione, MHD_HTTP_NOT_FOUND, "Pagina non trovata",
                          "La pagina richiesta non esiste.", false);
        }
        const auto utente = utenteDellaSessione(connessione);
        if (!utente) {
            if (json) {
                return errore(connessione, MHD_HTTP_UNAUTHORIZED, "Accesso richiesto",
                              "Accesso richiesto: entrare da /login.", true);
            }
            return rinvia(connessione, "/login");
        }
        return percorso == "/" ? alberghi(connessione, *utente)
                               : tableau(connessione, *utente, json);
    }

    MHD_Result accesso(MHD_Connection* connessione, const char* url, const char* metodo,
                       const char* dati, std::size_t* dimensione, void** statoRichiesta) {
        const std::string_view percorso(url);
        const std::string_view verbo(metodo);
        if (*statoRichiesta == nullptr) {
            // The first call: the headers only. A method or a length refused is answered
            // before any byte of the body is read.
            const bool lettura = verbo == MHD_HTTP_METHOD_GET || verbo == MHD_HTTP_METHOD_HEAD;
            if (!lettura && !(verbo == MHD_HTTP_METHOD_POST && percorso == "/login")) {
                return errore(
                    connessione, MHD_HTTP_METHOD_NOT_ALLOWED, "Metodo non ammesso",
                    "Questo indirizzo non accetta il metodo " + routines::SoloUtf8(verbo) + ".",
                    false, {{"Allow", percorso == "/login" ? "GET, HEAD, POST" : "GET, HEAD"}});
            }
            if (const auto lunghezza =
                    Campo(connessione, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH)) {
                unsigned long long byte = 0;
                const auto [fine, esito] =
                    std::from_chars(lunghezza->data(), lunghezza->data() + lunghezza->size(), byte);
                if (esito != std::errc() || byte > kMassimoCorpo) {
                    return troppoGrande(connessione);
                }
            }
            *statoRichiesta = new Richiesta;
            return MHD_YES;
        }
        auto& richiesta = *static_cast<Richiesta*>(*statoRichiesta);
        if (*dimensione > 0) {
            // A body without a declared length is read to its end (an answer cannot be
            // given before) but not kept past the bound; one far beyond it closes the
            // connection unanswered.
            richiesta.letti += *dimensione;
            if (richiesta.letti > kMassimoScartato) {
                return MHD_NO;
            }
            if (richiesta.letti <= kMassimoCorpo) {
                richiesta.corpo.append(dati, *dimensione);
            }
            *dimensione = 0;
            return MHD_YES;
        }
        if (richiesta.letti > kMassimoCorpo) {
            return troppoGrande(connessione);
        }
        return rispondi(connessione, percorso, verbo, richiesta.corpo);
    }

    MHD_Result troppoGrande(MHD_Connection* connessione) const {
        return errore(connessione, MHD_HTTP_CONTENT_TOO_LARGE, "Richiesta troppo grande",
                      "Il corpo della richiesta supera i 16 KB.", false, {{"Connection", "close"}});
    }
};

namespace {

MHD_Result Accesso(void* cls, MHD_Connection* connessione, const char* url, const char* metodo,
                   const char* /*versione*/, const char* dati, std::size_t* dimensione,
                   void** statoRichiesta) {
    try {
        return static_cast<ServerWeb::Stato*>(cls)->accesso(connessione, url, metodo, dati,
                                                            dimensione, statoRichiesta);
    } catch (const std::exception& e) {
        routines::RegistraErrore(std::string("server web: ") + e.what());
        return MHD_NO;  // the connection is closed
    } catch (...) {
        return MHD_NO;
    }
}

void Completata(void* /*cls*/, MHD_Connection* /*connessione*/, void** statoRichiesta,
                MHD_RequestTerminationCode /*perche*/) {
    delete static_cast<Richiesta*>(*statoRichiesta);
    *statoRichiesta = nullptr;
}

}  // namespace

IndirizzoAscolto LeggiIndirizzoAscolto(std::string_view testo) {
    const auto rifiuta = [&] {
        return routines::RichiestaRifiutata("L'indirizzo di ascolto \"" +
                                            routines::SoloUtf8(testo) +
                                            "\" non è INDIRIZZO:PORTA (127.0.0.1:8080, "
                                            "[::1]:8080).");
    };
    std::string_view indirizzo;
    std::string_view porta;
    if (!testo.empty() && testo.front() == '[') {
        const auto chiusa = testo.find("]:");
        if (chiusa == std::string_view::npos) {
            throw rifiuta();
        }
        indirizzo = testo.substr(1, chiusa - 1);
        porta = testo.substr(chiusa + 2);
    } else {
        const auto duepunti = testo.rfind(':');
        if (duepunti == std::string_view::npos || testo.find(':') != duepunti) {
            throw rifiuta();
        }
        indirizzo = testo.substr(0, duepunti);
        porta = testo.substr(duepunti + 1);
    }
    unsigned numero = 0;
    const auto [fine, esito] = std::from_chars(porta.data(), porta.data() + porta.size(), numero);
    if (indirizzo.empty() || porta.empty() || esito != std::errc() ||
        fine != porta.data() + porta.size() || numero > 65535) {
        throw rifiuta();
    }
    in6_addr v6{};
    in_addr v4{};
    const std::string numerico(indirizzo);
    if (::inet_pton(AF_INET, numerico.c_str(), &v4) != 1 &&
        ::inet_pton(AF_INET6, numerico.c_str(), &v6) != 1) {
        throw rifiuta();
    }
    return IndirizzoAscolto{numerico, static_cast<std::uint16_t>(numero)};
}

bool IndirizzoLocale(const std::string& indirizzo) {
    in_addr v4{};
    if (::inet_pton(AF_INET, indirizzo.c_str(), &v4) == 1) {
        return (ntohl(v4.s_addr) >> 24) == 127;
    }
    in6_addr v6{};
    return ::inet_pton(AF_INET6, indirizzo.c_str(), &v6) == 1 && IN6_IS_ADDR_LOOPBACK(&v6);
}

ServerWeb::ServerWeb(OpzioniServer opzioni, ApriSorgente apriSorgente,
                     const routines::Orologio& orologio)
    : stato_(std::make_unique<Stato>(std::move(opzioni), std::move(apriSorgente), orologio)) {
    Stato& stato = *stato_;
    const OpzioniServer& o = stato.opzioni;
    PreparaSodium();
    if (o.certificato.empty() != o.chiave.empty()) {
        throw routines::RichiestaRifiutata(
            "Per HTTPS servono sia il certificato (web.cert) sia la sua chiave (web.key).");
    }
    sockaddr_in v4{};
    sockaddr_in6 v6{};
    const sockaddr* indirizzo = nullptr;
    unsigned int flag = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_THREAD_PER_CONNECTION;
    if (::inet_pton(AF_INET, o.indirizzo.c_str(), &v4.sin_addr) == 1) {
        v4.sin_family = AF_INET;
        v4.sin_port = htons(o.porta);
        indirizzo = reinterpret_cast<const sockaddr*>(&v4);
    } else if (::inet_pton(AF_INET6, o.indirizzo.c_str(), &v6.sin6_addr) == 1) {
        v6.sin6_family = AF_INET6;
        v6.sin6_port = htons(o.porta);
        indirizzo = reinterpret_cast<const sockaddr*>(&v6);
        flag |= MHD_USE_IPv6;
    } else {
        throw routines::RichiestaRifiutata("L'indirizzo di ascolto \"" +
                                           routines::SoloUtf8(o.indirizzo) +
                                           "\" non è un indirizzo IP numerico.");
    }
    if (!o.certificato.empty()) {
        if (MHD_is_feature_supported(MHD_FEATURE_TLS) != MHD_YES) {
            throw ErroreWeb("Questa libmicrohttpd non sa servire HTTPS (manca GnuTLS).");
        }
        stato.certificato = LeggiFile(o.certificato, "il certificato");
        stato.chiave = LeggiFile(o.chiave, "la chiave del certificato");
        flag |= MHD_USE_TLS;
    } else if (!IndirizzoLocale(o.indirizzo) && !o.insicuro) {
        throw routines::RichiestaRifiutata(
            "Senza certificato (web.cert e web.key) le pagine, che mostrano i nomi degli ospiti, "
            "si servono solo su un indirizzo locale (127.0.0.1 o ::1): indicare un certificato, o "
            "--insecure per servirle in chiaro su " +
            routines::SoloUtf8(o.indirizzo) + ".");
    }
    std::vector<MHD_OptionItem> opzioniDemone = {
        {MHD_OPTION_SOCK_ADDR, 0, const_cast<sockaddr*>(indirizzo)},
        {MHD_OPTION_CONNECTION_LIMIT, static_cast<intptr_t>(o.connessioniMassime), nullptr},
        {MHD_OPTION_PER_IP_CONNECTION_LIMIT, static_cast<intptr_t>(o.connessioniPerIndirizzo),
         nullptr},
        {MHD_OPTION_CONNECTION_TIMEOUT, static_cast<intptr_t>(o.attesaConnessione.count()),
         nullptr},
        {MHD_OPTION_NOTIFY_COMPLETED, reinterpret_cast<intptr_t>(&Completata), nullptr},
    };
    if (stato.https()) {
        opzioniDemone.push_back({MHD_OPTION_HTTPS_MEM_KEY, 0, stato.chiave.data()});
        opzioniDemone.push_back({MHD_OPTION_HTTPS_MEM_CERT, 0, stato.certificato.data()});
    }
    opzioniDemone.push_back({MHD_OPTION_END, 0, nullptr});
    stato.demone = MHD_start_daemon(flag, 0, nullptr, nullptr, &Accesso, &stato, MHD_OPTION_ARRAY,
                                    opzioniDemone.data(), MHD_OPTION_END);
    if (stato.demone == nullptr) {
        const std::string motivo = errno != 0 ? std::strerror(errno) : "motivo sconosciuto";
        throw ErroreWeb("Impossibile ascoltare su " + routines::SoloUtf8(o.indirizzo) + ":" +
                        std::to_string(o.porta) + (stato.https() ? " (HTTPS)" : "") + ": " +
                        motivo + ".");
    }
    const MHD_DaemonInfo* info = MHD_get_daemon_info(stato.demone, MHD_DAEMON_INFO_BIND_PORT);
    stato.porta = info != nullptr ? info->port : o.porta;
}

ServerWeb::~ServerWeb() {
    if (stato_ && stato_->demone != nullptr) {
        MHD_stop_daemon(stato_->demone);
    }
}

std::uint16_t ServerWeb::porta() const {
    return stato_->porta;
}

bool ServerWeb::https() const {
    return stato_->https();
}

std::string ServerWeb::indirizzo() const {
    const std::string& ip = stato_->opzioni.indirizzo;
    const bool v6 = ip.find(':') != std::string::npos;
    return std::string(https() ? "https://" : "http://") + (v6 ? "[" + ip + "]" : ip) + ":" +
           std::to_string(porta()) + "/";
}

}  // namespace tableau::web
