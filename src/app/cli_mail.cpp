// tableau mail: the morning chart by mail. The chart of the request is made as tableau
// chart makes it, read back, laid out in the chosen output and sent in one message through
// the system's sendmail interface. Recipients, format and request come from the options,
// else from the settings files, so that a timer runs it without arguments.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli_commands.h"
#include "app/data_age.h"
#include "app/qt_application.h"
#include "app/startup.h"
#include "chart/block_check.h"
#include "chart/chart_file.h"
#include "chart/chart_reader.h"
#include "chart/hotel_week.h"
#include "export/qt/format_table.h"
#include "mail/chart_mail.h"
#include "mail/mail_address.h"
#include "mail/mail_message.h"
#include "mail/sendmail.h"
#include "routines/codepage.h"
#include "routines/dates.h"
#include "routines/errors.h"
#include "routines/system_log.h"
#include "routines/text.h"
#include "routines/text_file.h"

namespace tableau::app {
namespace {

// The format that sends the totals alone, without an attachment.
constexpr std::string_view kSoloTotali = "totals";

}  // namespace

std::string FormatiPosta() {
    std::string elenco;
    for (const exports::FormatoUscita* formato : exports::FormatiUscita()) {
        if (formato->allegabile) {
            elenco += std::string(formato->nome) + ", ";
        }
    }
    if (elenco.size() >= 2) {
        elenco.resize(elenco.size() - 2);
    }
    return elenco + " o " + std::string(kSoloTotali);
}

const exports::FormatoUscita* FormatoPosta(const std::string& nome) {
    if (nome == kSoloTotali) {
        return nullptr;
    }
    const exports::FormatoUscita* formato = exports::FormatoDiNome(nome);
    if (formato == nullptr || !formato->allegabile) {
        throw routines::RichiestaRifiutata("il formato \"" + nome +
                                           "\" non esiste: " + FormatiPosta() + ".");
    }
    return formato;
}

namespace {

// What the command line and the settings ask for, before anything is read or written.
struct RichiestaPosta {
    std::vector<std::string> destinatari;
    // The attachment's format; none for the totals alone.
    const exports::FormatoUscita* formato = exports::FormatoDiNome("pdf");
    chart::RichiestaAlbergo settimana;  // no block: the whole hotel
    std::vector<std::string> sendmail;
    std::string mittente;
};

// A message on one terminal line: the server's line breaks folded, the message box's line
// breaks as blanks too.
std::string SenzaACapo(std::string_view messaggio) {
    std::string testo = SuUnaRiga(std::string(messaggio));
    for (std::size_t p = testo.find("\r\n"); p != std::string::npos; p = testo.find("\r\n")) {
        testo.replace(p, 2, p > 0 && testo[p - 1] == ' ' ? "" : " ");
    }
    return testo;
}

// The option's value, else the setting's (UTF-8).
std::optional<std::string> Valore(const std::optional<std::string>& opzione,
                                  const std::optional<routines::Impostazione>& impostazione) {
    if (opzione) {
        return opzione;
    }
    if (impostazione) {
        return impostazione->valore;
    }
    return std::nullopt;
}

// The number the option gives, else the setting's, which must be there.
std::int16_t Obbligatorio(const std::optional<std::int16_t>& opzione,
                          const std::optional<routines::Impostazione>& impostazione,
                          std::string_view nome, std::string_view chiave, std::string_view cosa) {
    if (opzione) {
        return *opzione;
    }
    if (!impostazione) {
        throw routines::RichiestaRifiutata("manca l'opzione " + std::string(nome) +
                                           " (o la chiave " + std::string(chiave) +
                                           " nel file delle impostazioni).");
    }
    return Numero16(impostazione->valore, cosa);
}

std::string Oggi(const routines::Orologio& orologio) {
    const routines::DataOra adesso = orologio.adesso();
    return routines::TestoData(routines::Data{adesso.giorno, adesso.mese, adesso.anno});
}

RichiestaPosta LeggiRichiesta(const OpzioniPosta& opzioni,
                              const routines::Impostazioni& impostazioni,
                              const routines::Orologio& orologio) {
    RichiestaPosta richiesta;
    for (const std::string& voce : opzioni.destinatari) {
        for (std::string& indirizzo : mail::DividiDestinatari(voce)) {
            richiesta.destinatari.push_back(std::move(indirizzo));
        }
    }
    if (opzioni.destinatari.empty() && impostazioni.destinatari) {
        richiesta.destinatari = mail::DividiDestinatari(impostazioni.destinatari->valore);
    }
    mail::ControllaDestinatari(richiesta.destinatari);

    if (const auto formato = Valore(opzioni.formato, impostazioni.formatoPosta)) {
        richiesta.formato = FormatoPosta(*formato);
    }
    richiesta.settimana.hotel = Obbligatorio(opzioni.hotel, impostazioni.hotelPosta, "--hotel",
                                             "mail.hotel", "Il numero dell'albergo");
    // No block, nor a setting, or an empty one, is the whole hotel.
    if (opzioni.tableau) {
        richiesta.settimana.tableau = opzioni.tableau;
    } else if (const auto& tableau = impostazioni.tableauPosta;
               tableau && !routines::TogliSpazi(tableau->valore).empty()) {
        richiesta.settimana.tableau = Numero16(tableau->valore, "Il numero del tableau");
    }
    if (const auto prima = Valore(opzioni.prima, impostazioni.primaCameraPosta)) {
        richiesta.settimana.primaCamera = routines::InCp1252(*prima);
    }
    if (const auto ultima = Valore(opzioni.ultima, impostazioni.ultimaCameraPosta)) {
        richiesta.settimana.ultimaCamera = routines::InCp1252(*ultima);
    }
    richiesta.settimana.dataInizio =
        opzioni.data ? routines::InCp1252(*opzioni.data) : Oggi(orologio);

    richiesta.sendmail = mail::ComandoSendmail(impostazioni.sendmail ? impostazioni.sendmail->valore
                                                                     : mail::kSendmailPredefinito);
    richiesta.mittente =
        impostazioni.mittente ? impostazioni.mittente->valore : mail::MittentePredefinito();
    if (!mail::IndirizzoValido(richiesta.mittente)) {
        throw routines::RichiestaRifiutata("il mittente \"" + richiesta.mittente +
                                           "\" non \xC3\xA8 un indirizzo valido: impostare la "
                                           "chiave mittente nel file delle impostazioni.");
    }
    return richiesta;
}

// The chosen output of the chart read back: written to the workstation's usual file
// (fdN.pdf, fdN.xlsx, fdN.txt) as tableau pdf, xlsx and text write it, then attached; none
// for the totals alone.
std::optional<mail::Allegato> Allegato(const exports::TableauDaEsportare& tableau,
                                       const exports::FormatoUscita* formato,
                                       const routines::Postazione& postazione) {
    if (formato == nullptr) {
        return std::nullopt;
    }
    std::optional<ApplicazioneQt> app;
    if (formato->conQt) {
        app.emplace();
        app->prepara();
    }
    const auto file = postazione.percorso(exports::NomeFile(*formato, postazione));
    formato->scrivi(tableau, file, exports::OpzioniDellaPostazione(postazione));
    return mail::Allegato{mail::NomeAllegato(*tableau.settimana(), formato->estensione),
                          std::string(formato->tipoMime), routines::LeggiFile(file)};
}

std::string DescriviInvio(const RichiestaPosta& richiesta, const std::string& hotel) {
    const std::size_t n = richiesta.destinatari.size();
    return std::to_string(n) + (n == 1 ? " destinatario" : " destinatari") + ", albergo " +
           std::to_string(richiesta.settimana.hotel) + (hotel.empty() ? "" : " " + hotel) +
           (richiesta.settimana.tableau
                ? ", tableau " + std::to_string(*richiesta.settimana.tableau)
                : std::string(", tutto l'albergo")) +
           ", formato " +
           (richiesta.formato != nullptr ? std::string(richiesta.formato->nome)
                                         : std::string(kSoloTotali));
}

}  // namespace

std::vector<std::string> ProblemiPosta(const routines::Impostazioni& impostazioni) {
    // The request's keys first, then the sender and the program.
    const std::optional<routines::Impostazione>* const chiavi[] = {
        &impostazioni.destinatari,  &impostazioni.formatoPosta,     &impostazioni.hotelPosta,
        &impostazioni.tableauPosta, &impostazioni.primaCameraPosta, &impostazioni.ultimaCameraPosta,
        &impostazioni.mittente,     &impostazioni.sendmail};
    if (std::none_of(std::begin(chiavi), std::end(chiavi),
                     [](const auto* impostazione) { return impostazione->has_value(); })) {
        return {};
    }
    std::vector<std::string> problemi;
    const auto problema = [&](std::string_view chiave,
                              const std::optional<routines::Impostazione>& impostazione,
                              const std::string& testo) {
        problemi.push_back("Posta, " + std::string(chiave) +
                           (impostazione ? " (da " + impostazione->origine + ")" : std::string()) +
                           ": " + testo);
    };
    // A key of the request says the timer's run is meant: tableau mail without arguments,
    // everything from the settings, so what it lacks is missing. The sender and the program
    // alone may serve runs that give the rest as options.
    const bool perIlTimer =
        std::any_of(std::begin(chiavi), std::end(chiavi) - 2,
                    [](const auto* impostazione) { return impostazione->has_value(); });
    if (perIlTimer || impostazioni.destinatari) {
        try {
            mail::ControllaDestinatari(mail::DividiDestinatari(
                impostazioni.destinatari ? impostazioni.destinatari->valore : std::string()));
        } catch (const routines::RichiestaRifiutata& e) {
            problema("mail.recipients", impostazioni.destinatari, e.what());
        }
    }
    if (const auto& formato = impostazioni.formatoPosta) {
        try {
            (void)FormatoPosta(formato->valore);
        } catch (const routines::RichiestaRifiutata& e) {
            problema("mail.format", formato, e.what());
        }
    }
    const std::string mittente =
        impostazioni.mittente ? impostazioni.mittente->valore : mail::MittentePredefinito();
    if (!mail::IndirizzoValido(mittente)) {
        problema("mittente", impostazioni.mittente,
                 "il mittente \"" + mittente + "\" non \xC3\xA8 un indirizzo valido.");
    }
    try {
        const std::string programma =
            mail::ComandoSendmail(impostazioni.sendmail ? impostazioni.sendmail->valore
                                                        : mail::kSendmailPredefinito)
                .front();
        std::error_code errore;
        if (!std::filesystem::exists(programma, errore)) {
            problema("sendmail", impostazioni.sendmail,
                     "il programma " + programma + " non esiste.");
        } else if (std::filesystem::is_directory(programma, errore) ||
                   ::access(programma.c_str(), X_OK) != 0) {
            problema("sendmail", impostazioni.sendmail,
                     "il programma " + programma + " non \xC3\xA8 eseguibile.");
        }
    } catch (const routines::RichiestaRifiutata& e) {
        problema("sendmail", impostazioni.sendmail, e.what());
    }

    if (!perIlTimer) {
        return problemi;
    }
    // The request: hotel and block are required, and must be in the tables with a room in
    // the range.
    const auto numero =
        [&](std::string_view chiave, const std::optional<routines::Impostazione>& impostazione,
            std::string_view opzione, std::string_view cosa) -> std::optional<std::int16_t> {
        if (!impostazione) {
            problema(chiave, impostazione,
                     "manca (tableau mail senza " + std::string(opzione) + " la richiede).");
            return std::nullopt;
        }
        try {
            return Numero16(impostazione->valore, cosa);
        } catch (const routines::RichiestaRifiutata& e) {
            problema(chiave, impostazione, e.what());
            return std::nullopt;
        }
    };
    const auto hotel =
        numero("mail.hotel", impostazioni.hotelPosta, "--hotel", "Il numero dell'albergo");
    // No block, or an empty one, is the whole hotel.
    const bool interoAlbergo = !impostazioni.tableauPosta ||
                               routines::TogliSpazi(impostazioni.tableauPosta->valore).empty();
    const auto tableau = interoAlbergo ? std::optional<std::int16_t>()
                                       : numero("mail.tableau", impostazioni.tableauPosta,
                                                "--tableau", "Il numero del tableau");
    if (!hotel || (!interoAlbergo && !tableau)) {
        return problemi;
    }
    const auto& prima = impostazioni.primaCameraPosta;
    const auto& ultima = impostazioni.ultimaCameraPosta;
    try {
        const auto alberghi = chart::ElencaAlberghi(*ApriSorgenteDati(impostazioni));
        const chart::AlbergoElencato* albergo = nullptr;
        try {
            albergo = &chart::TrovaAlbergo(alberghi, *hotel);
            if (tableau) {
                (void)chart::TrovaTableau(*albergo, *tableau);
            }
        } catch (const routines::RichiestaRifiutata& e) {
            problema(albergo == nullptr ? "mail.hotel" : "mail.tableau",
                     albergo == nullptr ? impostazioni.hotelPosta : impostazioni.tableauPosta,
                     e.what());
            return problemi;
        }
        // The request as tableau mail reads it: an end not given is the block's.
        try {
            chart::RichiestaAlbergo richiesta{*hotel, tableau, {}, {}, "01/01/2000"};
            if (prima) {
                richiesta.primaCamera = routines::InCp1252(prima->valore);
            }
            if (ultima) {
                richiesta.ultimaCamera = routines::InCp1252(ultima->valore);
            }
            (void)chart::ControllaRichiestaAlbergo(alberghi, richiesta);
        } catch (const routines::RichiestaRifiutata& e) {
            if (prima || ultima) {
                problema(prima ? "mail.from" : "mail.to", prima ? prima : ultima, e.what());
            } else {
                problema(interoAlbergo ? "mail.hotel" : "mail.tableau",
                         interoAlbergo ? impostazioni.hotelPosta : impostazioni.tableauPosta,
                         e.what());
            }
        }
    } catch (const std::exception& e) {
        problema("mail.hotel", impostazioni.hotelPosta,
                 "le tabelle degli alberghi non si leggono: " + SuUnaRiga(e.what()));
    }
    return problemi;
}

int ComandoMail(const OpzioniPosta& opzioni, std::ostream& out, std::ostream& err,
                const routines::Impostazioni& impostazioni, const routines::Orologio& orologio) {
    RichiestaPosta richiesta;
    try {
        richiesta = LeggiRichiesta(opzioni, impostazioni, orologio);
    } catch (const routines::RichiestaRifiutata& e) {
        err << "tableau mail: " << e.what() << '\n';
        routines::RegistraErrore(std::string("tableau non inviato per posta: ") + e.what());
        return kRifiutato;
    }
    std::string hotel;
    try {
        const bool conTesto = richiesta.formato != nullptr && richiesta.formato->nome == "text";
        const SettimanaPreparata preparata =
            PreparaSettimana(richiesta.settimana, conTesto, orologio, impostazioni);
        const routines::Postazione postazione = PostazioneImpostata(impostazioni);
        const auto& server = preparata.server;
        if (preparata.fileTableauScritto) {
            routines::RegistraEvento(
                "tableau scritto: " +
                chart::DescriviRichiesta(preparata.blocchi.front(), postazione));
        }
        const exports::TableauDaEsportare& daEsportare = *preparata.tableau;
        const chart::SettimanaAlbergo& settimana = *daEsportare.settimana();
        hotel = routines::InUtf8(routines::TogliSpazi(settimana.nomeHotel));
        // The body opens with where the data came from; data older than the settings allow
        // are said in the subject, where the kitchen sees it first, and in the log.
        const routines::DataOra adesso = orologio.adesso();
        std::string oggetto = mail::OggettoPosta(settimana);
        if (const auto giorno = DatiVecchi(server, adesso, OreMassimeDati(impostazioni))) {
            oggetto = "ATTENZIONE: dati del " + *giorno + " \xE2\x80\x93 " + oggetto;
            routines::RegistraAvviso("tableau per posta con dati del " + *giorno + " (" +
                                     TestoProvenienza(server, "", adesso) + ")");
        }
        const mail::Messaggio messaggio{
            richiesta.mittente, richiesta.destinatari, oggetto,
            TestoProvenienza(server, postazione.cartellaDati().string(), adesso) + "\n\n" +
                mail::TestoPosta(settimana),
            Allegato(daEsportare, richiesta.formato, postazione)};
        mail::InviaMessaggio(richiesta.sendmail, mail::ComponiMessaggio(messaggio));
    } catch (const std::exception& e) {
        err << "tableau mail: " << SenzaACapo(e.what()) << '\n';
        routines::RegistraErrore("tableau non inviato per posta (" +
                                 DescriviInvio(richiesta, hotel) + "): " + SenzaACapo(e.what()));
        return EsitoDi(e);
    }
    routines::RegistraEvento("tableau inviato per posta: " + DescriviInvio(richiesta, hotel));
    const std::size_t n = richiesta.destinatari.size();
    out << "Tableau inviato per posta a " << n << (n == 1 ? " destinatario" : " destinatari")
        << ".\n";
    return kEseguito;
}

}  // namespace tableau::app
