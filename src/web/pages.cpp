#include "web/pages.h"

#include <cstdio>

#include "export/state_fills.h"
#include "routines/codepage.h"
#include "routines/text.h"
#include "web/html_text.h"

namespace tableau::web {
namespace {

// A Windows-1252 text of the core, trimmed, as UTF-8.
std::string Utf8(std::string_view cp1252) {
    return routines::InUtf8(routines::TogliSpazi(cp1252));
}

// The class of a day's cell by its state: "stato-in-fermata"; "libera" for a free day.
std::string ClasseStato(chart::StatoSoggiorno stato) {
    switch (stato) {
        case chart::StatoSoggiorno::nessuno:
            return "libera";
        case chart::StatoSoggiorno::altro:
            return "stato-altro";
        default:
            break;
    }
    std::string classe = "stato-";
    for (const char c : chart::NomeStato(stato)) {
        classe += c == ' ' ? '-' : c;
    }
    return classe;
}

std::string Inizio(std::string_view titolo) {
    return "<!DOCTYPE html>\n<html lang=\"it\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
           "<title>" +
           Html(titolo) + "</title>\n<link rel=\"stylesheet\" href=\"" +
           std::string(kPercorsoStile) + "\">\n</head>\n<body>\n";
}

std::string Testata(std::string_view utente) {
    return "<header class=\"testata\"><a class=\"casa\" href=\"/\">Tableau</a>"
           "<span class=\"utente\">" +
           Html(utente) + "</span><a class=\"esci\" href=\"/esci\">Esci</a></header>\n";
}

constexpr std::string_view kFine = "</body>\n</html>\n";

std::string Legenda() {
    std::string html = "<ul class=\"legenda\" aria-label=\"Legenda\"><li>Legenda:</li>";
    for (const chart::StatoSoggiorno stato : chart::kStatiSoggiorno) {
        html += "<li><span class=\"campione " + ClasseStato(stato) + "\"></span>" +
                Html(chart::NomeStato(stato)) + "</li>";
    }
    // The departures are the week's from the hotel tables, as the PDF's legend names them.
    html += "<li><span class=\"campione partenza\"></span>partenza</li>";
    return html + "<li><span class=\"campione libera\"></span>libera</li></ul>\n";
}

// The classes of a day's cell: its state's, then a departure's as the PDF fills it (the
// whole cell on a day the room has no state with a fill, a band along its side otherwise),
// then today's.
std::string ClassiCella(const chart::GiornoLetto& giorno, bool oggi) {
    std::string classi = ClasseStato(giorno.stato);
    if (giorno.partenza) {
        classi += exports::ColoreStato(giorno.stato) ? " partenza-banda" : " partenza";
    }
    return classi + (oggi ? " oggi" : "");
}

std::string Cella(const chart::GiornoLetto& giorno, bool oggi) {
    std::string html = "<td class=\"" + ClassiCella(giorno, oggi) + "\">";
    html += "<span class=\"stato\">" + HtmlCp1252(exports::PrimaRigaCella(giorno)) + "</span>";
    html += "<span class=\"nome\">" + HtmlCp1252(giorno.nome) + "</span>";
    html += "<span class=\"ditta\">" + HtmlCp1252(giorno.ditta) + "</span>";
    html += "<span class=\"codice\">" + HtmlCp1252(giorno.codice) + "</span>";
    html += "<span class=\"nota\">" + HtmlCp1252(giorno.nota) + "</span>";
    return html + "</td>\n";
}

std::string RigaTotale(std::string_view nome,
                       const std::array<std::string, chart::kGiorniTableau>& valori,
                       std::string_view classe) {
    std::string html = "<tr class=\"" + std::string(classe) +
                       "\"><th class=\"camera\" scope=\"row\">" + Html(nome) + "</th>";
    for (const std::string& valore : valori) {
        html += "<td>" + Html(valore) + "</td>";
    }
    return html + "</tr>\n";
}

std::string RigaTotale(std::string_view nome, const std::array<long, chart::kGiorniTableau>& valori,
                       std::string_view classe) {
    std::array<std::string, chart::kGiorniTableau> testi;
    for (std::size_t g = 0; g < chart::kGiorniTableau; ++g) {
        testi[g] = std::to_string(valori[g]);
    }
    return RigaTotale(nome, testi, classe);
}

std::string Blocco(const PaginaTableau& pagina, const TableauPagina& parte) {
    std::string html = "<section class=\"blocco\" id=\"tableau-" + std::to_string(parte.codice) +
                       "\">\n<h2>Tableau " + std::to_string(parte.codice) + " · " +
                       HtmlCp1252(parte.descrizione) + "</h2>\n";
    if (!parte.tableau) {
        return html + "<p>Nessuna camera in questo tableau.</p>\n</section>\n";
    }
    const chart::TableauLetto& tableau = *parte.tableau;
    std::array<bool, chart::kGiorniTableau> oggi{};
    for (std::size_t g = 0; g < chart::kGiorniTableau; ++g) {
        oggi[g] = pagina.giorni[g].data && *pagina.giorni[g].data == pagina.oggi;
    }
    html +=
        "<div class=\"cornice\" tabindex=\"0\">\n<table class=\"tableau\">\n<thead><tr>"
        "<th class=\"camera\" scope=\"col\">Camera</th>";
    for (std::size_t g = 0; g < chart::kGiorniTableau; ++g) {
        const chart::GiornoIntestazione& giorno = tableau.giorni[g];
        html += std::string("<th scope=\"col\"") + (oggi[g] ? " class=\"oggi\"" : "") + ">" +
                HtmlCp1252(giorno.nome) + "<br>" + HtmlCp1252(giorno.testoData) + "</th>";
    }
    html += "</tr></thead>\n<tbody>\n";
    for (const chart::CameraLetta& camera : tableau.camere) {
        html += "<tr><th class=\"camera\" scope=\"row\"><span class=\"numero\">" +
                HtmlCp1252(camera.numero) + "</span><span class=\"tipo\">" +
                HtmlCp1252(camera.tipo) + "</span><span class=\"posti\">" +
                HtmlCp1252(camera.posti) + "</span></th>\n";
        for (std::size_t g = 0; g < chart::kGiorniTableau; ++g) {
            html += Cella(camera.giorni[g], oggi[g]);
        }
        html += "</tr>\n";
    }
    html += "</tbody>\n<tfoot>\n";
    html += RigaTotale("CC", tableau.totaleCC, "totale");
    html += RigaTotale("MP", tableau.totaleMP, "totale");
    html += RigaTotale("PC", tableau.totalePC, "totale");
    for (const ConteggioGiornaliero& conteggio : parte.conteggi) {
        html += RigaTotale(conteggio.nome, conteggio.valori, "conteggio");
    }
    return html + "</tfoot>\n</table>\n</div>\n</section>\n";
}

std::string Numeri(const std::array<long, chart::kGiorniTableau>& valori) {
    std::string json = "[";
    for (std::size_t g = 0; g < valori.size(); ++g) {
        json += (g > 0 ? "," : "") + std::to_string(valori[g]);
    }
    return json + "]";
}

std::string JsonCp1252(std::string_view cp1252) {
    return Json(Utf8(cp1252));
}

std::string Colore(std::uint32_t rgb) {
    char testo[8];
    std::snprintf(testo, sizeof testo, "#%06X", static_cast<unsigned>(rgb));
    return testo;
}

}  // namespace

std::string IndirizzoTableau(std::int16_t hotel, std::optional<std::int16_t> tableau,
                             const std::optional<routines::Data>& data) {
    std::string indirizzo = "/tableau?hotel=" + std::to_string(hotel);
    if (tableau) {
        indirizzo += "&tableau=" + std::to_string(*tableau);
    }
    if (data) {
        indirizzo += "&data=" + routines::TestoData(*data);
    }
    return indirizzo;
}

std::string PaginaAlberghi(const std::vector<chart::AlbergoElencato>& alberghi,
                           std::string_view utente) {
    std::string html =
        Inizio("Tableau - Alberghi") + Testata(utente) + "<main>\n<h1>Alberghi</h1>\n";
    if (alberghi.empty()) {
        html += "<p>Nessun albergo negli archivi.</p>\n";
    }
    for (const chart::AlbergoElencato& albergo : alberghi) {
        html += "<section class=\"albergo\">\n<h2><a href=\"" +
                Html(IndirizzoTableau(albergo.numero, std::nullopt, std::nullopt)) + "\">Albergo " +
                std::to_string(albergo.numero) + " · " + HtmlCp1252(albergo.nome) + "</a></h2>\n";
        if (albergo.tableau.empty()) {
            html += "<p>Nessun tableau.</p>\n";
        } else {
            html += "<ul class=\"blocchi\">\n";
            for (const chart::TableauDellAlbergo& blocco : albergo.tableau) {
                const chart::IntervalloCamere tutte = chart::TutteLeCamere(blocco);
                html += "<li><a href=\"" +
                        Html(IndirizzoTableau(albergo.numero, blocco.codice, std::nullopt)) +
                        "\">Tableau " + std::to_string(blocco.codice) + " · " +
                        HtmlCp1252(blocco.descrizione) + "</a> <span class=\"camere\">";
                if (blocco.camere.empty()) {
                    html += "nessuna camera";
                } else {
                    html += std::to_string(blocco.camere.size()) +
                            (blocco.camere.size() == 1 ? " camera" : " camere") + ", da " +
                            HtmlCp1252(tutte.prima) + " a " + HtmlCp1252(tutte.ultima);
                }
                html += "</span></li>\n";
            }
            html += "</ul>\n";
        }
        html += "</section>\n";
    }
    return html + "</main>\n" + std::string(kFine);
}

std::string PaginaHtml(const PaginaTableau& pagina, std::string_view utente) {
    const std::string albergo = Utf8(pagina.nomeHotel);
    const std::string dal = routines::TestoData(pagina.inizio);
    const std::string al = routines::TestoData(routines::AggiungiGiorni(pagina.inizio, 6));
    std::string html = Inizio("Tableau " + albergo + " dal " + dal) + Testata(utente) + "<main>\n";
    html += "<h1>" + Html(albergo) + "</h1>\n";
    html += "<p class=\"settimana\">Settimana dal " + dal + " al " + al + " · aggiornato il " +
            Html(pagina.generazione) + "</p>\n";
    html += "<nav class=\"settimane\" aria-label=\"Settimane\"><a rel=\"prev\" href=\"" +
            Html(IndirizzoTableau(pagina.hotel, pagina.tableauScelto,
                                  routines::AggiungiGiorni(pagina.inizio, -7))) +
            "\">« Settimana precedente</a><a class=\"oggi\" href=\"" +
            Html(IndirizzoTableau(pagina.hotel, pagina.tableauScelto, pagina.oggi)) +
            "\">Oggi</a><a rel=\"next\" href=\"" +
            Html(IndirizzoTableau(pagina.hotel, pagina.tableauScelto,
                                  routines::AggiungiGiorni(pagina.inizio, 7))) +
            "\">Settimana successiva »</a></nav>\n";
    if (pagina.tableau.size() > 1) {
        html += "<nav class=\"blocchi\" aria-label=\"Tableau\">";
        for (const TableauPagina& parte : pagina.tableau) {
            html += "<a href=\"#tableau-" + std::to_string(parte.codice) + "\">" +
                    HtmlCp1252(parte.descrizione) + "</a>";
        }
        html += "</nav>\n";
    }
    html += Legenda();
    if (pagina.tableau.empty()) {
        html += "<p>Nessun tableau in questo albergo.</p>\n";
    }
    for (const TableauPagina& parte : pagina.tableau) {
        html += Blocco(pagina, parte);
    }
    html += "<p class=\"provenienza\">" + Html(pagina.provenienza) + "</p>\n";
    return html + "</main>\n" + std::string(kFine);
}

std::string PaginaJson(const PaginaTableau& pagina) {
    std::string json = "{\"albergo\":{\"numero\":" + std::to_string(pagina.hotel) +
                       ",\"nome\":" + JsonCp1252(pagina.nomeHotel) + "}";
    json += ",\"inizio\":" + Json(routines::TestoData(pagina.inizio));
    json += ",\"generato\":" + Json(pagina.generazione);
    json += ",\"provenienza\":" + Json(pagina.provenienza);
    json += ",\"giorni\":[";
    for (std::size_t g = 0; g < chart::kGiorniTableau; ++g) {
        json += std::string(g > 0 ? "," : "") + "{\"nome\":" + JsonCp1252(pagina.giorni[g].nome) +
                ",\"data\":" + JsonCp1252(pagina.giorni[g].testoData) + "}";
    }
    json += "],\"tableau\":[";
    for (std::size_t t = 0; t < pagina.tableau.size(); ++t) {
        const TableauPagina& parte = pagina.tableau[t];
        json += std::string(t > 0 ? "," : "") + "{\"codice\":" + std::to_string(parte.codice) +
                ",\"descrizione\":" + JsonCp1252(parte.descrizione) + ",\"camere\":[";
        if (parte.tableau) {
            for (std::size_t c = 0; c < parte.tableau->camere.size(); ++c) {
                const chart::CameraLetta& camera = parte.tableau->camere[c];
                json += std::string(c > 0 ? "," : "") + "{\"numero\":" + JsonCp1252(camera.numero) +
                        ",\"tipo\":" + JsonCp1252(camera.tipo) +
                        ",\"posti\":" + JsonCp1252(camera.posti) + ",\"giorni\":[";
                for (std::size_t g = 0; g < chart::kGiorniTableau; ++g) {
                    const chart::GiornoLetto& giorno = camera.giorni[g];
                    json += std::string(g > 0 ? "," : "") +
                            "{\"persone\":" + std::to_string(giorno.persone) +
                            ",\"stato\":" + Json(chart::NomeStato(giorno.stato)) +
                            ",\"testoStato\":" + JsonCp1252(giorno.testoStato) +
                            ",\"nome\":" + JsonCp1252(giorno.nome) +
                            ",\"ditta\":" + JsonCp1252(giorno.ditta) +
                            ",\"codice\":" + JsonCp1252(giorno.codice) +
                            ",\"nota\":" + JsonCp1252(giorno.nota) +
                            ",\"partenza\":" + (giorno.partenza ? "true" : "false") +
                            ",\"personeInPartenza\":" + std::to_string(giorno.personeInPartenza) +
                            "}";
                }
                json += "]}";
            }
        }
        json += "],\"totali\":";
        if (parte.tableau) {
            json += "{\"CC\":" + Numeri(parte.tableau->totaleCC) +
                    ",\"MP\":" + Numeri(parte.tableau->totaleMP) +
                    ",\"PC\":" + Numeri(parte.tableau->totalePC) + "}";
        } else {
            json += "null";
        }
        // The day's figures, one per day; none for a block without rooms.
        json += ",\"conteggi\":[";
        if (parte.tableau && parte.tableau->conteggi) {
            for (std::size_t g = 0; g < chart::kGiorniTableau; ++g) {
                const chart::ConteggioGiorno& c = (*parte.tableau->conteggi)[g];
                json += std::string(g > 0 ? "," : "") + "{\"arrivi\":" + std::to_string(c.arrivi) +
                        ",\"personeInArrivo\":" + std::to_string(c.personeInArrivo) +
                        ",\"partenze\":" + std::to_string(c.partenze) +
                        ",\"personeInPartenza\":" + std::to_string(c.personeInPartenza) +
                        ",\"camereOccupate\":" + std::to_string(c.camereOccupate) +
                        ",\"camereLibere\":" + std::to_string(c.camereLibere) +
                        ",\"persone\":" + std::to_string(c.persone) + "}";
            }
        }
        json += "]}";
    }
    return json + "]}\n";
}

std::string PaginaAccesso(std::string_view messaggio) {
    std::string html = Inizio("Tableau - Accesso") + "<main class=\"accesso\">\n<h1>Tableau</h1>\n";
    if (!messaggio.empty()) {
        html += "<p class=\"avviso\" role=\"alert\">" + Html(messaggio) + "</p>\n";
    }
    html +=
        "<form method=\"post\" action=\"/login\">\n"
        "<label for=\"utente\">Utente</label>\n"
        "<input id=\"utente\" name=\"utente\" autocomplete=\"username\" required autofocus>\n"
        "<label for=\"password\">Password</label>\n"
        "<input id=\"password\" name=\"password\" type=\"password\" "
        "autocomplete=\"current-password\" required>\n"
        "<button type=\"submit\">Entra</button>\n</form>\n</main>\n";
    return html + std::string(kFine);
}

std::string PaginaErrore(std::string_view titolo, std::string_view messaggio) {
    return Inizio("Tableau - " + std::string(titolo)) + "<main>\n<h1>" + Html(titolo) +
           "</h1>\n<p class=\"avviso\">" + Html(messaggio) +
           "</p>\n<p><a href=\"/\">Torna agli alberghi</a></p>\n</main>\n" + std::string(kFine);
}

std::string FoglioStile() {
    std::string css = R"(* { box-sizing: border-box; }
body { margin: 0; font: 15px/1.35 "Liberation Sans", Arial, Helvetica, sans-serif; color: #111; background: #fff; }
main { padding: 0.5rem 1rem 1rem; }
a { color: #0645ad; }
h1 { font-size: 1.4rem; margin: 0.5rem 0; }
h2 { font-size: 1.1rem; margin: 1rem 0 0.4rem; }
.testata { display: flex; gap: 1rem; align-items: center; padding: 0.5rem 1rem; background: #23395d; color: #fff; }
.testata a { color: #fff; }
.testata .casa { font-weight: bold; text-decoration: none; }
.testata .utente { margin-left: auto; }
.settimane, nav.blocchi { display: flex; flex-wrap: wrap; gap: 0.4rem 1rem; margin: 0.5rem 0; }
.settimane a, nav.blocchi a { display: inline-block; padding: 0.35rem 0.6rem; border: 1px solid #8aa; border-radius: 4px; text-decoration: none; }
.cornice { overflow: auto; max-height: 78vh; border: 1px solid #555; }
table.tableau { border-collapse: separate; border-spacing: 0; min-width: 100%; }
table.tableau th, table.tableau td { border-right: 1px solid #999; border-bottom: 1px solid #999; padding: 0.2rem 0.35rem; vertical-align: top; text-align: left; }
table.tableau td { min-width: 9.5rem; font-size: 0.85rem; }
table.tableau td span { display: block; min-height: 1.1em; }
table.tableau td .stato { font-weight: bold; }
table.tableau thead th { position: sticky; top: 0; z-index: 2; background: #e8ecf2; white-space: nowrap; }
table.tableau th.camera { position: sticky; left: 0; z-index: 1; background: #f3f3f3; min-width: 4.2rem; }
table.tableau thead th.camera { z-index: 3; background: #e8ecf2; }
table.tableau th.camera span { display: block; }
table.tableau th.camera .numero { font-weight: bold; }
table.tableau th.oggi { background: #d0dcef; }
table.tableau tfoot td, table.tableau tfoot th { font-weight: bold; background: #fafafa; }
table.tableau tfoot th.camera { background: #fafafa; }
.legenda { list-style: none; display: flex; flex-wrap: wrap; gap: 0.3rem 1rem; padding: 0; margin: 0.8rem 0; }
.legenda .campione { display: inline-block; width: 1.6em; height: 0.9em; border: 1px solid #000; margin-right: 0.3em; vertical-align: middle; }
.libera { background: #fff; }
.provenienza, .settimana, .camere { color: #444; }
.avviso { padding: 0.5rem; border: 1px solid #a33; background: #fdecec; }
.accesso { max-width: 22rem; margin: 2rem auto; }
.accesso form { display: flex; flex-direction: column; gap: 0.4rem; }
.accesso input, .accesso button { font: inherit; padding: 0.45rem; }
@media (max-width: 600px) {
  main { padding: 0.4rem; }
  .cornice { max-height: 70vh; }
  table.tableau td { min-width: 8.5rem; }
}
@media print {
  @page { size: A4 landscape; margin: 1cm; }
  body { font-size: 9pt; }
  .testata, nav.settimane, nav.blocchi { display: none; }
  main { padding: 0; }
  .cornice { overflow: visible; max-height: none; border: none; }
  table.tableau thead th, table.tableau th.camera { position: static; }
  table.tableau tr { break-inside: avoid; }
  table.tableau td { min-width: 0; }
  table.tableau td, .campione { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
  .blocco + .blocco { break-before: page; }
  a { color: inherit; text-decoration: none; }
}
)";
    // The states' fills are the PDF's and the workbook's, and so is a departure's: the whole
    // cell, or a band along its side.
    for (const chart::StatoSoggiorno stato : chart::kStatiSoggiorno) {
        css += "." + ClasseStato(stato) + " { background: " + Colore(*exports::ColoreStato(stato)) +
               "; }\n";
    }
    const std::string partenza = Colore(exports::kColorePartenza);
    css += ".partenza { background: " + partenza + "; }\n";
    css += ".partenza-banda { box-shadow: inset 0.4rem 0 0 " + partenza + "; }\n";
    return css;
}

}  // namespace tableau::web
