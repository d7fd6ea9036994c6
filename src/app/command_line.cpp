// The command line on CLI11. Every command is one entry of DichiaraComandi: its name, its
// help, its options declared with their types and checks into its plain struct
// (app/cli_commands.h), and the function that runs it. The help and the refusals are made
// from these declarations; nothing else lists the commands or their options.
#include "app/command_line.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <functional>
#include <iostream>
#include <limits>
#include <ostream>
#include <sstream>
#include <string_view>
#include <type_traits>
#include <vector>

#include "app/cli_serve.h"
#include "export/qt/format_table.h"
#include "routines/errors.h"
#include "routines/settings.h"
#include "routines/text.h"
#include "web/web_server.h"

namespace tableau::app {
namespace {

constexpr const char* kOpzioniComando = "Opzioni";
constexpr const char* kOpzioniGenerali = "Opzioni generali (prima o dopo il comando)";
constexpr const char* kComandi = "Comandi";

// ---------------------------------------------------------------- the texts of the help

constexpr std::string_view kDescrizione =
    R"(Senza comando apre la finestra di richiesta del tableau. La cartella corrente è la
cartella dei dati: vi si trovano gli archivi dell'albergo e vi si scrivono i file della
postazione (la variabile d'ambiente PCLocal dà il numero della postazione).)";

constexpr std::string_view kAiutoChart =
    R"(Scrive il file del tableau (FD seguito dal valore di PCLocal) della settimana
che inizia alla data indicata, per le camere da PRIMA a ULTIMA (confrontate come
testo) del tableau T dell'albergo H; senza --from e --to tutte le camere del
tableau. Un albergo o un tableau inesistente, o un intervallo senza camere del
tableau, è rifiutato (codice 2) e il file del tableau resta com'era.)";

constexpr std::string_view kAiutoMail =
    R"(Scrive il file del tableau come chart e lo invia in un solo messaggio con il
programma sendmail del sistema: nel testo le date della settimana, i totali CC,
MP e PC, gli arrivi, le partenze, le camere occupate e libere e le persone di ogni
giorno e la classe di ogni trattamento; in allegato il PDF (pdf, predefinito), la
cartella di lavoro (xlsx) o il tableau come testo UTF-8 (text); totals invia solo
i totali. Senza --date la settimana inizia oggi; senza --from e --to tutte le
camere del tableau; senza --tableau (o con mail.tableau vuota) tutto l'albergo,
un tableau dopo l'altro, con i totali dell'albergo (il file del tableau resta
com'era).
Destinatari, formato e richiesta possono venire dal file delle impostazioni
(mail.recipients, separati da virgole, mail.format, mail.hotel, mail.tableau,
mail.from, mail.to); il mittente dalla chiave mittente (altrimenti tableau@ e il
nome completo della macchina), il programma dalla chiave sendmail
(/usr/sbin/sendmail -t -oi). Un indirizzo non valido o nessun destinatario:
codice 2, senza scrivere nulla; sendmail assente o in errore: codice 1.)";

constexpr std::string_view kAiutoPrint =
    R"(Stampa il file del tableau sulla destinazione indicata (obbligatoria senza
--list). Con --list elenca invece le stampanti installate.)";

constexpr std::string_view kAiutoList =
    R"(Elenca gli alberghi, i loro tableau e le camere di ogni tableau con il tipo e la
classe, dagli archivi della cartella o dal server: i numeri da scrivere nelle
impostazioni (mail.hotel, mail.tableau, mail.from, mail.to).)";

constexpr std::string_view kAiutoCheck =
    R"(Controlla la cartella dei dati: elenca ogni archivio che il programma legge con
il suo formato, le tabelle lette con il numero di righe e i campi letti, presenti
o mancanti; termina con l'elenco dei problemi (codice di uscita 1 se ve ne sono).
Con un server controlla invece il server: la versione, l'ultima sincronizzazione,
le dieci tabelle dello schema con le righe, i campi e il permesso di leggerle.
Controlla anche le chiavi dei file delle impostazioni, le impostazioni della posta
(se ve ne sono) e le code di stampa delle destinazioni.)";

constexpr std::string_view kAiutoSync =
    R"(Copia le dieci tabelle dell'albergo dalla cartella dei dati nello schema del server
della catena (--server e --schema, obbligatorio il server), tutte o nessuna; scrive
solo sul server primario. Rifiuta (codice di uscita 1, server invariato) una tabella
senza un campo che il tableau legge e una tabella che sul server resterebbe vuota o
con meno della metà delle righe che ha ora.)";

constexpr std::string_view kAiutoServe =
    R"(Serve il tableau come pagine web in sola lettura, dietro un accesso con utente e
password (tableau user), su 127.0.0.1:8080 o sull'indirizzo di --listen (chiave
web.listen); in HTTPS con un certificato (chiavi web.cert e web.key). Senza
certificato ascolta solo su un indirizzo locale, a meno di --insecure. Legge gli
archivi a ogni pagina e non scrive nulla.)";

constexpr std::string_view kAiutoUser =
    R"(Gli utenti delle pagine web di tableau serve, nel file degli utenti
(/etc/tableau/utenti, chiave web.users), dove di ciascuno resta solo l'hash
Argon2id della password.)";

constexpr std::string_view kAiutoUserAdd =
    R"(Aggiunge un utente (o gli cambia la password), leggendo la password dalla prima
riga dello standard input.)";

constexpr std::string_view kAiutoUserRemove = "Toglie un utente dal file degli utenti.";

constexpr std::string_view kAiutoHelp = "Mostra questo aiuto (come tableau --help).";

// After the general options.
constexpr std::string_view kPiede =
    R"(Impostazioni, ciascuna sopra la precedente: il file dell'ufficio /etc/tableau.conf, il
file dell'utente ~/.config/tableau/tableau.conf (righe "chiave = valore": cartella,
postazione, server, schema, server.max-age, le ore che possono avere i dati del server
(36), e le chiavi di tableau mail; un valore può stare tra virgolette), l'ambiente
(TABLEAU_CARTELLA, PCLocal, TABLEAU_SERVER, TABLEAU_SCHEMA) e le opzioni --cartella,
--server, --schema.
tableau check dice da dove viene ciascuna. Ogni tableau, stampa, esportazione,
sincronizzazione e invio e ogni errore sono registrati nel registro di sistema
(journalctl -t tableau).

Gli archivi possono essere file Jet (.mdb di Access, anche .accdb) o SQLite.
Variabili d'ambiente:
  PCLocal               numero della postazione
  TABLEAU_CARTELLA      la cartella dei dati
  TABLEAU_SERVER        il server PostgreSQL della catena (come --server)
  TABLEAU_SCHEMA        lo schema della sede sul server (come --schema)
)";

// After the tuning variables.
constexpr std::string_view kPiedeFine = R"(
Codici di uscita: 0 eseguito, 1 errore degli archivi o del sistema, 2 richiesta rifiutata.
)";

// ---------------------------------------------------------------- the typed options

// A check of an option's value: empty when the value passes, else what is wrong, in Italian,
// to follow the option's name ("--hotel deve essere ..."). It may also put the value in the
// form the conversion reads (a number without its blanks or sign "+").
CLI::Validator Controllo(std::function<std::string(std::string&)> controlla) {
    return CLI::Validator(std::move(controlla), std::string(), std::string());
}

// A whole number written in decimal between the bounds, handed on without blanks or "+" (a
// transform, not a check: CLI11 would read "010" as octal).
CLI::Validator Intero(long minimo, long massimo) {
    return Controllo([minimo, massimo](std::string& testo) -> std::string {
        const std::string indicato = testo;
        std::string cifre = routines::TogliSpazi(testo);
        if (cifre.starts_with('+')) {
            cifre.erase(0, 1);
        }
        const std::size_t inizio = cifre.starts_with('-') ? 1 : 0;
        bool valido = cifre.size() > inizio && cifre.size() - inizio <= 9 &&
                      cifre.find_first_not_of("0123456789", inizio) == std::string::npos;
        if (valido) {
            const long valore = std::stol(cifre);
            valido = valore >= minimo && valore <= massimo;
            cifre = std::to_string(valore);
        }
        if (!valido) {
            return "deve essere un numero intero tra " + std::to_string(minimo) + " e " +
                   std::to_string(massimo) + " (indicato: \"" + indicato + "\").";
        }
        testo = cifre;
        return {};
    });
}

// A date in the form GG/MM/AAAA: two digits, a separator, two digits, a separator, four
// digits (blanks around allowed). Whether the day exists is the request's check
// (chart/request_check.h), after the room range, as the request window makes it.
CLI::Validator DataGgMmAaaa() {
    return Controllo([](std::string& testo) -> std::string {
        const std::string data = routines::TogliSpazi(testo);
        const auto cifra = [&data](std::size_t i) { return data[i] >= '0' && data[i] <= '9'; };
        const bool forma = data.size() == 10 && cifra(0) && cifra(1) && cifra(3) && cifra(4) &&
                           cifra(6) && cifra(7) && cifra(8) && cifra(9);
        if (!forma) {
            return "deve essere una data GG/MM/AAAA (indicato: \"" + testo + "\").";
        }
        return {};
    });
}

// Any text but the empty one.
CLI::Validator NonVuoto() {
    return Controllo([](std::string& testo) -> std::string {
        return testo.empty() ? "non pu\xC3\xB2 essere vuoto." : std::string();
    });
}

// The format of tableau mail: an attachable format of the table of formats, or the totals.
CLI::Validator FormatoDellaPosta() {
    return Controllo([](std::string& testo) -> std::string {
        try {
            (void)FormatoPosta(testo);
            return {};
        } catch (const routines::RichiestaRifiutata&) {
            return "deve essere " + FormatiPosta() + " (indicato: \"" + testo + "\").";
        }
    });
}

// The address tableau serve listens on: a numeric address and a port, INDIRIZZO:PORTA.
CLI::Validator IndirizzoEPorta() {
    return Controllo([](std::string& testo) -> std::string {
        try {
            (void)web::LeggiIndirizzoAscolto(testo);
            return {};
        } catch (const routines::RichiestaRifiutata&) {
            return "deve essere INDIRIZZO:PORTA, con un indirizzo numerico (127.0.0.1:8080, "
                   "[::1]:8080; indicato: \"" +
                   testo + "\").";
        }
    });
}

template <typename T>
struct Facoltativo : std::false_type {};
template <typename T>
struct Facoltativo<std::optional<T>> : std::true_type {};

// An option with a value, read into `dove` (an std::optional is set only when given); `testo`
// names the value in the help ("H", "GG/MM/AAAA").
template <typename T>
CLI::Option* ConValore(CLI::App& comando, const std::string& nomi, T& dove,
                       const std::string& testo, const std::string& aiuto) {
    CLI::Option* opzione = nullptr;
    if constexpr (Facoltativo<T>::value) {
        using Valore = typename T::value_type;
        opzione = comando.add_option_function<Valore>(
            nomi, [&dove](const Valore& valore) { dove = valore; }, aiuto);
    } else if constexpr (std::is_same_v<T, std::filesystem::path>) {
        opzione = comando.add_option_function<std::string>(
            nomi, [&dove](const std::string& valore) { dove = valore; }, aiuto);
    } else {
        opzione = comando.add_option(nomi, dove, aiuto);
    }
    return opzione->option_text(testo)->group(kOpzioniComando);
}

// A whole number between the bounds, which the help gives.
CLI::Option* ConIntervallo(CLI::Option* opzione, long minimo, long massimo) {
    return opzione->transform(Intero(minimo, massimo))
        ->description(opzione->get_description() + " (numero intero da " + std::to_string(minimo) +
                      " a " + std::to_string(massimo) + ")");
}

// A hotel's or a block's number: 16 bits, as the request window holds them.
template <typename T>
CLI::Option* Numero16Bit(CLI::App& comando, const std::string& nomi, T& dove,
                         const std::string& testo, const std::string& aiuto) {
    return ConIntervallo(ConValore(comando, nomi, dove, testo, aiuto),
                         std::numeric_limits<std::int16_t>::min(),
                         std::numeric_limits<std::int16_t>::max());
}

template <typename T>
CLI::Option* Data(CLI::App& comando, const std::string& nomi, T& dove, const std::string& aiuto) {
    return ConValore(comando, nomi, dove, "GG/MM/AAAA", aiuto)->check(DataGgMmAaaa());
}

// An option without a value, given at most once.
CLI::Option* Interruttore(CLI::App& comando, const std::string& nomi, bool& dove,
                          const std::string& aiuto) {
    return comando.add_flag(nomi, dove, aiuto)
        ->disable_flag_override()
        ->multi_option_policy(CLI::MultiOptionPolicy::Throw)
        ->group(kOpzioniComando);
}

// ---------------------------------------------------------------- the commands' options

void DichiaraChart(CLI::App& c, OpzioniChart& o) {
    Numero16Bit(c, "--hotel", o.hotel, "H", "il numero dell'albergo")->required();
    Numero16Bit(c, "--tableau", o.tableau, "T", "il numero del tableau dell'albergo")->required();
    ConValore(c, "--from", o.prima, "PRIMA", "la prima camera (senza: la prima del tableau)");
    ConValore(c, "--to", o.ultima, "ULTIMA", "l'ultima camera (senza: l'ultima del tableau)");
    Data(c, "--date", o.data, "il primo giorno della settimana")->required();
}

void DichiaraEsportazione(CLI::App& c, OpzioniEsportazione& o,
                          const exports::FormatoUscita& formato) {
    if (formato.conUscita) {
        ConValore(c, "--output", o.file, "FILE",
                  "il file da scrivere, nella cartella dei dati se il percorso \xC3\xA8 "
                  "relativo (senza: fd seguito dal valore di PCLocal e ." +
                      std::string(formato.estensione) + ")")
            ->check(NonVuoto());
    }
    if (formato.conCarta) {
        Interruttore(c, "--a3", o.a3, "pagine A3 invece di A4, le stesse camere in grande");
    }
    if (!formato.conRichiesta) {
        return;
    }
    // The week from the hotel tables instead of the chart file: --hotel and --date together;
    // --from and --to only with --tableau (the request's check says so).
    Numero16Bit(c, "--hotel", o.hotel, "H",
                "l'albergo, con --date: la settimana dagli archivi invece che dal file del "
                "tableau");
    Numero16Bit(c, "--tableau", o.tableau, "T",
                "il tableau dell'albergo (senza: tutto l'albergo, un tableau dopo l'altro, e "
                "i totali dell'albergo)");
    ConValore(c, "--from", o.prima, "PRIMA",
              "la prima camera, solo con --tableau (senza: la prima del tableau)");
    ConValore(c, "--to", o.ultima, "ULTIMA",
              "l'ultima camera, solo con --tableau (senza: l'ultima del tableau)");
    Data(c, "--date", o.data, "il primo giorno della settimana, con --hotel");
    // Any option of the request asks for the week from the tables: the hotel and the date
    // are then required.
    c.callback([&o] {
        if (!o.hotel && !o.tableau && !o.prima && !o.ultima && !o.data) {
            return;
        }
        if (!o.hotel) {
            throw CLI::RequiredError("--hotel");
        }
        if (!o.data) {
            throw CLI::RequiredError("--date");
        }
    });
}

void DichiaraMail(CLI::App& c, OpzioniPosta& o) {
    c.add_option("--recipient", o.destinatari,
                 "un destinatario (o pi\xC3\xB9, separati da virgole); l'opzione si ripete")
        ->option_text("INDIRIZZO")
        ->group(kOpzioniComando)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->allow_extra_args(false);
    ConValore(c, "--format", o.formato, "FORMATO",
              "l'allegato: " + FormatiPosta() + " (senza: pdf)")
        ->check(FormatoDellaPosta());
    Numero16Bit(c, "--hotel", o.hotel, "H", "il numero dell'albergo");
    Numero16Bit(c, "--tableau", o.tableau, "T",
                "il numero del tableau dell'albergo (senza, n\xC3\xA9 mail.tableau: tutto "
                "l'albergo)");
    ConValore(c, "--from", o.prima, "PRIMA", "la prima camera (senza: la prima del tableau)");
    ConValore(c, "--to", o.ultima, "ULTIMA", "l'ultima camera (senza: l'ultima del tableau)");
    Data(c, "--date", o.data, "il primo giorno della settimana (senza: oggi)");
}

void DichiaraPrint(CLI::App& c, OpzioniStampa& o) {
    ConValore(c, "--destination", o.destinazione, "NOME", "la destinazione di stampa");
    ConValore(c, "--printer", o.stampante, "NOME",
              "la stampante, una coda del sistema o un file .pdf (senza: quella della "
              "destinazione)");
    Numero16Bit(c, "--hotel", o.hotel, "H", "l'albergo corrente");
    Interruttore(c, "--normal", o.normale, "stampa non compressa");
    Interruttore(c, "--landscape", o.orizzontale, "pagina orizzontale");
    Interruttore(c, "--duplex", o.fronteRetro, "fronte e retro");
    Interruttore(c, "--list", o.elenco, "elenca le stampanti installate");
    // The destination is what a print needs; the list needs nothing.
    c.callback([&o] {
        if (!o.elenco && !o.destinazione) {
            throw CLI::RequiredError("--destination");
        }
    });
}

void DichiaraList(CLI::App& c, OpzioniList& o) {
    CLI::Option* hotel = Numero16Bit(c, "--hotel", o.hotel, "H", "solo l'albergo H");
    Numero16Bit(c, "--tableau", o.tableau, "T", "solo il tableau T dell'albergo H")->needs(hotel);
}

void DichiaraSync(CLI::App& c, OpzioniSync& o) {
    ConIntervallo(ConValore(c, "--history,--storico", o.storico, "MESI",
                            "degli ospiti e delle prenotazioni copia solo i soggiorni finiti "
                            "negli ultimi MESI mesi o dopo"),
                  1, 9999);
    Interruttore(c, "--force", o.forza,
                 "copia anche le tabelle che sul server resterebbero vuote o con meno della "
                 "met\xC3\xA0 delle righe (senza, la sincronizzazione le rifiuta)");
}

void DichiaraServe(CLI::App& c, OpzioniServi& o) {
    ConValore(c, "--listen", o.ascolto, "INDIRIZZO:PORTA",
              "l'indirizzo e la porta di ascolto (senza: la chiave web.listen, altrimenti "
              "127.0.0.1:8080)")
        ->check(IndirizzoEPorta());
    Interruttore(c, "--insecure", o.insicuro,
                 "ascolta in HTTP anche su un indirizzo non locale, senza certificato");
}

// tableau user: a command of commands, add and remove, each with the user's name.
void DichiaraUser(CLI::App& c, OpzioniUser& o) {
    c.require_subcommand(1, 1);
    const auto sotto = [&c, &o](const std::string& nome, std::string_view aiuto,
                                OpzioniUser::Azione azione) {
        CLI::App* comando = c.add_subcommand(nome, std::string(aiuto));
        comando->group(kComandi);
        comando
            ->add_option("NOME", o.utente.nome,
                         "il nome dell'utente: da 1 a 64 caratteri tra lettere, cifre, \".\", "
                         "\"-\", \"_\" e \"@\"")
            ->required()
            ->group(kOpzioniComando);
        comando->callback([&o, azione] { o.azione = azione; });
    };
    sotto("add", kAiutoUserAdd, OpzioniUser::Azione::aggiungi);
    sotto("remove", kAiutoUserRemove, OpzioniUser::Azione::rimuovi);
}

// ---------------------------------------------------------------- the line

// What a command gets beside its options.
struct Contesto {
    std::ostream& out;
    std::ostream& err;
    const routines::Impostazioni& impostazioni;
    const routines::Orologio& orologio;
};

struct ComandoDichiarato {
    CLI::App* app;
    std::function<int(const Contesto&)> esegui;
};

}  // namespace

struct RigaDiComando::Dati {
    CLI::App riga{std::string(), "tableau"};
    OpzioniGenerali generali;
    std::vector<ComandoDichiarato> comandi;
    std::optional<std::string> aiuto;  // the help asked for
    bool letta = false;

    // One command: its options in a struct of their own, declared by `dichiara`, run by
    // `esegui` with the struct and the context.
    template <typename Opzioni, typename Dichiara, typename Esegui>
    void aggiungi(const std::string& nome, std::string_view descrizione, Dichiara dichiara,
                  Esegui esegui) {
        auto opzioni = std::make_shared<Opzioni>();
        CLI::App* comando = riga.add_subcommand(nome, std::string(descrizione));
        comando->group(kComandi);
        dichiara(*comando, *opzioni);
        comandi.push_back({comando, [opzioni, esegui](const Contesto& contesto) {
                               return esegui(*opzioni, contesto);
                           }});
    }

    Dati();
    const ComandoDichiarato* scelto() const;
};

namespace {

// The help in Italian, laid out as the manual's usage: each command's synopsis and
// description, the options of a command with their values, the general options, the footer.
class AiutoItaliano final : public CLI::Formatter {
  public:
    AiutoItaliano() {
        label("Usage", "Uso");
        label("OPTIONS", "OPZIONI");
        label("SUBCOMMAND", "COMANDO");
        label("SUBCOMMANDS", "COMANDI");
        label("REQUIRED", "obbligatoria");
        label("Positionals", "Argomenti");
        label("Env", "Ambiente");
        label("Needs", "richiede");
        label("Excludes", "esclude");
        column_width(24);
    }

    // "chart --hotel H --tableau T [--from PRIMA] ...": the required options bare, the
    // others in brackets, a repeatable one with "...", folded at 90 columns under the first
    // option. `inizio` is what comes before on the first line ("  mail", "Uso: tableau mail").
    static std::string Sinossi(const CLI::App& comando, const std::string& inizio) {
        std::string riga = inizio;
        std::size_t inizioRiga = 0;
        const std::string rientro(std::min<std::size_t>(inizio.size() + 1, 24), ' ');
        for (const CLI::Option* opzione : Opzioni(comando)) {
            std::string pezzo = opzione->get_name();
            if (!opzione->get_option_text().empty()) {
                pezzo += " " + opzione->get_option_text();
            }
            if (opzione->get_multi_option_policy() == CLI::MultiOptionPolicy::TakeAll) {
                pezzo = "[" + pezzo + " ...]";
            } else if (!opzione->get_required()) {
                pezzo = "[" + pezzo + "]";
            }
            if (riga.size() - inizioRiga + 1 + pezzo.size() > 90) {
                riga += "\n" + rientro;
                inizioRiga = riga.size() - rientro.size();
            } else {
                riga += " ";
            }
            riga += pezzo;
        }
        // Its arguments, by name.
        for (const CLI::Option* argomento : Posizionali(comando)) {
            riga += " " + (argomento->get_required() ? argomento->get_name()
                                                     : "[" + argomento->get_name() + "]");
        }
        // A command of commands: theirs, one to choose.
        std::string sotto;
        for (const CLI::App* comandoSotto : comando.get_subcommands({})) {
            sotto += (sotto.empty() ? "" : "|") + comandoSotto->get_name();
        }
        if (!sotto.empty() && comando.get_parent() != nullptr) {
            riga += " {" + sotto + "} [OPZIONI]";
        }
        return riga;
    }

    std::string make_usage(const CLI::App* app, std::string nome) const override {
        if (app->get_parent() == nullptr) {
            return get_label("Usage") + ": " + nome + " [" + get_label("OPTIONS") + "] [" +
                   get_label("SUBCOMMAND") + " [" + get_label("OPTIONS") + "]]\n";
        }
        return Sinossi(*app, get_label("Usage") + ": " + nome) + "\n";
    }

    std::string make_option_opts(const CLI::Option* opzione) const override {
        return opzione->get_option_text().empty() ? std::string()
                                                  : " " + opzione->get_option_text();
    }

    std::string make_help(const CLI::App* app, std::string nome,
                          CLI::AppFormatMode /*modo*/) const override {
        std::ostringstream testo;
        testo << make_usage(app, nome) << '\n';
        if (app->get_parent() != nullptr) {
            testo << app->get_description() << '\n';
            const auto opzioni = Opzioni(*app);
            testo << '\n' << kOpzioniComando << ":\n";
            for (const CLI::Option* opzione : opzioni) {
                testo << RigaOpzione(*opzione);
            }
            testo << RigaOpzione(*app->get_help_ptr());
            if (const auto argomenti = Posizionali(*app); !argomenti.empty()) {
                testo << '\n' << get_label("Positionals") << ":\n";
                for (const CLI::Option* argomento : argomenti) {
                    testo << RigaOpzione(*argomento);
                }
            }
            if (!app->get_subcommands({}).empty()) {
                testo << '\n' << Comandi(*app);
            }
            testo << "\nLe opzioni generali (-C, --server, --schema) valgono per ogni comando: "
                     "tableau --help.\n";
            return testo.str();
        }
        testo << app->get_description() << "\n\n" << Comandi(*app);
        testo << '\n' << kOpzioniGenerali << ":\n";
        for (const CLI::Option* opzione : app->get_options()) {
            if (opzione != app->get_help_ptr()) {
                testo << RigaOpzione(*opzione);
            }
        }
        testo << RigaOpzione(*app->get_help_ptr()) << '\n' << app->get_footer();
        return testo.str();
    }

  private:
    // "Comandi:", then each command's synopsis with its description below.
    static std::string Comandi(const CLI::App& app) {
        std::string testo = std::string(kComandi) + ":\n";
        for (const CLI::App* comando : app.get_subcommands({})) {
            testo += Sinossi(*comando, "  " + comando->get_name()) + "\n";
            std::istringstream righe(comando->get_description());
            for (std::string riga; std::getline(righe, riga);) {
                testo += "        " + riga + "\n";
            }
        }
        return testo;
    }

    // The options of a command but its help, in the order declared.
    static std::vector<const CLI::Option*> Opzioni(const CLI::App& comando) {
        return comando.get_options([&comando](const CLI::Option* opzione) {
            return opzione != comando.get_help_ptr() && opzione->nonpositional();
        });
    }

    // The arguments of a command, by position.
    static std::vector<const CLI::Option*> Posizionali(const CLI::App& comando) {
        return comando.get_options(
            [](const CLI::Option* opzione) { return !opzione->nonpositional(); });
    }

    // "  -C, --data-dir, --cartella CARTELLA" (an argument by its name) then the description in a
    // column, each line of it indented the same.
    std::string RigaOpzione(const CLI::Option& opzione) const {
        std::string nomi;
        for (const std::string& breve : opzione.get_snames()) {
            nomi += (nomi.empty() ? "-" : ", -") + breve;
        }
        for (const std::string& lungo : opzione.get_lnames()) {
            nomi += (nomi.empty() ? "--" : ", --") + lungo;
        }
        if (nomi.empty()) {
            nomi = opzione.get_name();
        }
        std::string riga = "  " + nomi + make_option_opts(&opzione);
        const std::string colonna(get_column_width() + 2, ' ');
        riga += riga.size() + 1 < colonna.size() ? std::string(colonna.size() - riga.size(), ' ')
                                                 : "\n" + colonna;
        std::string descrizione = opzione.get_description();
        if (opzione.get_required() && opzione.nonpositional()) {
            descrizione += " (" + get_label("REQUIRED") + ")";
        }
        for (const CLI::Option* serve : opzione.get_needs()) {
            descrizione += " (" + get_label("Needs") + " " + serve->get_name() + ")";
        }
        // Each line of the description folded at 90 columns.
        const std::size_t larghezza = 90 - colonna.size();
        std::istringstream righe(descrizione);
        bool prima = true;
        for (std::string parte; std::getline(righe, parte);) {
            while (!parte.empty()) {
                std::size_t taglio = parte.size();
                if (taglio > larghezza) {
                    taglio = parte.rfind(' ', larghezza);
                    taglio = taglio == std::string::npos || taglio == 0 ? larghezza : taglio;
                }
                riga += (prima ? "" : "\n" + colonna) + parte.substr(0, taglio);
                prima = false;
                parte.erase(0, std::min(parte.size(),
                                        taglio + (taglio < parte.size() && parte[taglio] == ' ')));
            }
        }
        return riga + "\n";
    }
};

// The footer of the whole help: the settings and the environment, the tuning variables
// from the settings module, the exit statuses.
std::string Piede() {
    std::string piede(kPiede);
    for (const routines::Regolazione& regolazione : routines::Regolazioni()) {
        std::string riga = "  " + std::string(regolazione.nome);
        riga.resize(std::max<std::size_t>(riga.size() + 1, 24), ' ');
        piede += riga + std::string(regolazione.descrizione) + "\n";
    }
    return piede + std::string(kPiedeFine);
}

// Every command, in the order the help lists them: the one place a command or an option is
// added (its struct and function in app/cli_commands.h).
void DichiaraComandi(RigaDiComando::Dati& d);

// ---------------------------------------------------------------- the refusals

// The option CLI11 names at the start of its message ("--hotel is required", "--to: ..."),
// with its dashes.
std::string NomeInTesta(const std::string& messaggio) {
    std::string nome = messaggio.substr(0, messaggio.find_first_of(": "));
    if (!nome.starts_with('-')) {
        nome = (nome.size() == 1 ? "-" : "--") + nome;
    }
    return nome;
}

// The option's name with its other names, as a user of either recognises it:
// "--data-dir (o -C, --cartella)".
std::string ConAltriNomi(const CLI::App& riga, const std::string& nome) {
    std::vector<const CLI::App*> dove{&riga};
    for (const CLI::App* comando : riga.get_subcommands()) {
        dove.push_back(comando);
    }
    for (const CLI::App* app : dove) {
        for (const CLI::Option* opzione : app->get_options()) {
            if (opzione->get_name() != nome) {
                continue;
            }
            std::string altri;
            for (const std::string& breve : opzione->get_snames()) {
                altri += (altri.empty() ? "-" : ", -") + breve;
            }
            for (const std::string& lungo : opzione->get_lnames()) {
                if ("--" + lungo != nome) {
                    altri += (altri.empty() ? "--" : ", --") + lungo;
                }
            }
            return altri.empty() ? nome : nome + " (o " + altri + ")";
        }
    }
    return nome;
}

// What follows "NAME: " in CLI11's message: the Italian reason of a check of this file.
std::string DopoIlNome(const std::string& messaggio) {
    const auto due = messaggio.find(": ");
    return due == std::string::npos ? std::string() : messaggio.substr(due + 2);
}

// The first argument the line could not place, as typed; an option without its "=value".
std::string PrimoInatteso(const CLI::App& riga) {
    const std::vector<std::string> resto = riga.remaining(true);
    if (resto.empty()) {
        return {};
    }
    std::string primo = resto.front();
    if (primo.starts_with("--") && primo.find('=') != std::string::npos) {
        primo.resize(primo.find('='));
    }
    return primo;
}

// The Italian message of a fault of the line, naming the option and what is wrong. CLI11's
// own message is read only for the name of the option it holds; its English never goes out.
std::string Messaggio(const CLI::ParseError& errore, const CLI::App& comando, const CLI::App& riga,
                      bool conComando) {
    const std::string testo = errore.what();
    // An argument the line could not place is the first fault, whatever CLI11 met first (a
    // required option missing is checked before the arguments left over).
    if (dynamic_cast<const CLI::ExtrasError*>(&errore) != nullptr ||
        !riga.remaining(true).empty()) {
        const std::string primo = PrimoInatteso(riga);
        if (primo.starts_with("-") && primo.size() > 1) {
            return "opzione sconosciuta \"" + primo + "\".";
        }
        const bool senzaIlSuo =
            !comando.get_subcommands({}).empty() && comando.get_subcommands().empty();
        if (!conComando || senzaIlSuo) {
            return "comando sconosciuto \"" + primo + "\".";
        }
        return "argomento non previsto \"" + primo + "\".";
    }
    // A command of commands ("tableau user") without one of its own.
    if (dynamic_cast<const CLI::RequiredError*>(&errore) != nullptr &&
        !comando.get_subcommands({}).empty() && comando.get_subcommands().empty()) {
        std::string nomi;
        for (const CLI::App* sotto : comando.get_subcommands({})) {
            nomi += (nomi.empty() ? "" : ", ") + sotto->get_name();
        }
        return "manca il comando (" + nomi + ").";
    }
    if (dynamic_cast<const CLI::RequiredError*>(&errore) != nullptr) {
        for (const CLI::Option* argomento : comando.get_options(
                 [](const CLI::Option* opzione) { return !opzione->nonpositional(); })) {
            if (testo.starts_with(argomento->get_name() + " ")) {
                return "manca l'argomento " + argomento->get_name() + ".";
            }
        }
        return testo.starts_with("-")
                   ? "manca l'opzione " + ConAltriNomi(riga, NomeInTesta(testo)) + "."
                   : std::string("manca un'opzione obbligatoria.");
    }
    if (dynamic_cast<const CLI::ValidationError*>(&errore) != nullptr) {
        return ConAltriNomi(riga, NomeInTesta(testo)) + " " + DopoIlNome(testo);
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&errore) != nullptr) {
        const std::string nome = ConAltriNomi(riga, NomeInTesta(testo));
        if (testo.find("flag override") != std::string::npos) {
            return "l'opzione " + nome + " non vuole un valore.";
        }
        if (testo.find("At Most") != std::string::npos) {
            return "l'opzione " + nome + " \xC3\xA8 indicata pi\xC3\xB9 volte.";
        }
        return "manca il valore dell'opzione " + nome + ".";
    }
    if (dynamic_cast<const CLI::ConversionError*>(&errore) != nullptr) {
        std::string nome;
        if (testo.starts_with("Could not convert: ")) {
            nome = testo.substr(19, testo.find(" = ") - 19);
        } else if (const auto per = testo.rfind(" for "); testo.starts_with("The value ")) {
            nome = testo.substr(per + 5);
        } else {
            nome = NomeInTesta(testo);
        }
        return "il valore di " + ConAltriNomi(riga, nome) + " non \xC3\xA8 valido.";
    }
    if (dynamic_cast<const CLI::RequiresError*>(&errore) != nullptr) {
        const auto richiede = testo.find(" requires ");
        return "l'opzione " + testo.substr(0, richiede) + " va indicata con " +
               testo.substr(richiede + 10) + ".";
    }
    if (dynamic_cast<const CLI::ExcludesError*>(&errore) != nullptr) {
        const auto esclude = testo.find(" excludes ");
        return "le opzioni " + testo.substr(0, esclude) + " e " + testo.substr(esclude + 10) +
               " non vanno indicate insieme.";
    }
    return "la riga di comando non \xC3\xA8 valida.";
}

}  // namespace

RigaDiComando::Dati::Dati() {
    riga.formatter(std::make_shared<AiutoItaliano>());
    riga.description(std::string(kDescrizione));
    riga.footer(Piede());
    riga.set_help_flag("-h,--help", "mostra questo aiuto");
    riga.get_help_ptr()->group(kOpzioniComando);
    // Every option at most once unless said otherwise; the general options also after the
    // command; one command.
    riga.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::Throw);
    riga.fallthrough();
    riga.require_subcommand(0, 1);
    ConValore(riga, "-C,--data-dir,--cartella", generali.cartella, "CARTELLA",
              "la cartella dei dati (al posto della cartella corrente)")
        ->group(kOpzioniGenerali);
    ConValore(riga, "--server", generali.server, "CONNESSIONE",
              "il server PostgreSQL della catena, come stringa di connessione\n"
              "di libpq (\"host=... port=... dbname=... user=...\") o URI\n"
              "(postgresql://...): le dieci tabelle dell'albergo si leggono\n"
              "dallo schema del server invece che dagli archivi della cartella;\n"
              "vuoto, gli archivi della cartella. La password va in ~/.pgpass,\n"
              "mai nella stringa di connessione.")
        ->group(kOpzioniGenerali);
    ConValore(riga, "--schema", generali.schema, "NOME",
              "lo schema della sede sul server (public): lettere, cifre e \"_\"")
        ->group(kOpzioniGenerali);
    DichiaraComandi(*this);
}

const ComandoDichiarato* RigaDiComando::Dati::scelto() const {
    const auto scelti = riga.get_subcommands();
    for (const ComandoDichiarato& comando : comandi) {
        if (!scelti.empty() && comando.app == scelti.front()) {
            return &comando;
        }
    }
    return nullptr;
}

namespace {

void DichiaraComandi(RigaDiComando::Dati& d) {
    d.aggiungi<OpzioniChart>("chart", kAiutoChart, DichiaraChart,
                             [](const OpzioniChart& o, const Contesto& c) {
                                 return ComandoChart(o, c.out, c.err, c.impostazioni, c.orologio);
                             });
    for (const exports::FormatoUscita* formato : exports::FormatiUscita()) {
        d.aggiungi<OpzioniEsportazione>(
            std::string(formato->nome), formato->aiuto,
            [formato](CLI::App& c, OpzioniEsportazione& o) {
                DichiaraEsportazione(c, o, *formato);
            },
            [formato](const OpzioniEsportazione& o, const Contesto& c) {
                return ComandoEsporta(*formato, o, c.out, c.err, c.impostazioni, c.orologio);
            });
    }
    d.aggiungi<OpzioniPosta>("mail", kAiutoMail, DichiaraMail,
                             [](const OpzioniPosta& o, const Contesto& c) {
                                 return ComandoMail(o, c.out, c.err, c.impostazioni, c.orologio);
                             });
    d.aggiungi<OpzioniStampa>("print", kAiutoPrint, DichiaraPrint,
                              [](const OpzioniStampa& o, const Contesto& c) {
                                  return ComandoPrint(o, c.out, c.err, c.impostazioni);
                              });
    d.aggiungi<OpzioniList>("list", kAiutoList, DichiaraList,
                            [](const OpzioniList& o, const Contesto& c) {
                                return ComandoList(o, c.out, c.err, c.impostazioni);
                            });
    d.aggiungi<OpzioniCheck>(
        "check", kAiutoCheck, [](CLI::App&, OpzioniCheck&) {},
        [](const OpzioniCheck& o, const Contesto& c) {
            return ComandoCheck(o, c.out, c.err, c.impostazioni);
        });
    d.aggiungi<OpzioniSync>("sync", kAiutoSync, DichiaraSync,
                            [](const OpzioniSync& o, const Contesto& c) {
                                return ComandoSync(o, c.out, c.err, c.impostazioni);
                            });
    d.aggiungi<OpzioniServi>("serve", kAiutoServe, DichiaraServe,
                             [](const OpzioniServi& o, const Contesto& c) {
                                 return Servi(o, c.out, c.err, c.impostazioni);
                             });
    d.aggiungi<OpzioniUser>(
        "user", kAiutoUser, DichiaraUser, [](const OpzioniUser& o, const Contesto& c) {
            return o.azione == OpzioniUser::Azione::aggiungi
                       ? AggiungiUtenteWeb(o.utente, std::cin, c.out, c.err, c.impostazioni)
                       : RimuoviUtenteWeb(o.utente, c.out, c.err, c.impostazioni);
        });
    // Runs nothing: RigaDiComando::aiutoChiesto gives the whole help.
    d.aggiungi<OpzioniCheck>(
        "help", kAiutoHelp, [](CLI::App&, OpzioniCheck&) {},
        [](const OpzioniCheck&, const Contesto&) { return kEseguito; });
}

}  // namespace

RigaDiComando::RigaDiComando() : dati_(std::make_unique<Dati>()) {}

RigaDiComando::~RigaDiComando() = default;

void RigaDiComando::leggi(const Argomenti& argomenti) {
    if (dati_->letta) {
        throw std::logic_error("RigaDiComando::leggi: la riga \xC3\xA8 gi\xC3\xA0 letta");
    }
    dati_->letta = true;
    // CLI11 takes the arguments from the last. "--name=" gives the option an empty value
    // (CLI11 would take the next argument as its value): "--server=" is the files.
    std::vector<std::string> alContrario;
    for (auto a = argomenti.rbegin(); a != argomenti.rend(); ++a) {
        if (a->size() > 3 && a->starts_with("--") && a->find('=') == a->size() - 1) {
            alContrario.emplace_back();
            alContrario.push_back(a->substr(0, a->size() - 1));
        } else {
            alContrario.push_back(*a);
        }
    }
    try {
        dati_->riga.parse(alContrario);
    } catch (const CLI::CallForHelp&) {
        dati_->aiuto = dati_->riga.help();
    } catch (const CLI::ParseError& errore) {
        // The command named, down to a command of its own ("tableau user add").
        const CLI::App* comando = &dati_->riga;
        std::string nome = "tableau";
        while (!comando->get_subcommands().empty()) {
            comando = comando->get_subcommands().front();
            nome += " " + comando->get_name();
        }
        const bool conComando = comando != &dati_->riga;
        std::string messaggio = nome + ": " + Messaggio(errore, *comando, dati_->riga, conComando);
        if (conComando) {
            messaggio +=
                "\n" + std::dynamic_pointer_cast<AiutoItaliano>(dati_->riga.get_formatter())
                           ->make_usage(comando, nome);
            messaggio += "Usare " + nome + " --help.";
        } else {
            messaggio += " Usare tableau --help.";
        }
        throw routines::RichiestaRifiutata(messaggio);
    }
    if (!dati_->aiuto && comando() == "help") {
        dati_->aiuto = aiuto();
    }
}

const OpzioniGenerali& RigaDiComando::generali() const {
    return dati_->generali;
}

std::string RigaDiComando::comando() const {
    const ComandoDichiarato* comando = dati_->scelto();
    return comando != nullptr ? comando->app->get_name() : std::string();
}

std::optional<std::string> RigaDiComando::aiutoChiesto() const {
    return dati_->aiuto;
}

std::string RigaDiComando::aiuto() const {
    return dati_->riga.get_formatter()->make_help(&dati_->riga, "tableau",
                                                  CLI::AppFormatMode::Normal);
}

int RigaDiComando::esegui(std::ostream& out, std::ostream& err,
                          const routines::Impostazioni& impostazioni,
                          const routines::Orologio& orologio) const {
    const ComandoDichiarato* comando = dati_->scelto();
    if (comando == nullptr) {
        throw std::logic_error("RigaDiComando::esegui: nessun comando");
    }
    return comando->esegui(Contesto{out, err, impostazioni, orologio});
}

std::optional<OpzioniGenerali> OpzioniDellaFinestra(const Argomenti& argomenti) {
    RigaDiComando riga;
    try {
        riga.leggi(argomenti);
    } catch (const routines::RichiestaRifiutata&) {
        return std::nullopt;
    }
    if (riga.aiutoChiesto() || !riga.comando().empty()) {
        return std::nullopt;
    }
    return riga.generali();
}

}  // namespace tableau::app
