#include "chart_fixture.h"

#include <gtest/gtest.h>

#include "chart/chart_layout.h"
#include "routines/dates.h"
#include "support/workstation.h"

namespace tableau::test {
namespace {

db::writer::Cell Facoltativo(const std::optional<std::string>& testo) {
    if (testo) {
        return *testo;
    }
    return std::monostate{};
}

}  // namespace

ChartFixture::ChartFixture() {
    fx_.hotel(1, "Hotel Bellavista");
    fx_.tableau(1, 1, "Primo piano");
}

void ChartFixture::ospite(const Ospite& o) {
    fx_.add("Scheda_Cliente", {{"NumeroHotel", o.hotel},
                               {"NumeroCamera", o.camera},
                               {"DataArrivo", o.arrivo},
                               {"DataPartenza", o.partenza},
                               {"Partito", Facoltativo(o.partito)},
                               {"NumeroProgressivo", o.progressivo},
                               {"NumeroComponente", o.componente},
                               {"CodiceCapoFamiglia", o.famiglia},
                               {"CodiceCapoGruppo", o.gruppo},
                               {"NomeCliente", o.nome}});
}

void ChartFixture::prenotazione(const Prenotazione& p) {
    fx_.add("Camere_Prenotazione", {{"NumeroHotel", p.hotel},
                                    {"NumeroPrenotazione", p.numero},
                                    {"NumeroCamera", p.camera},
                                    {"DataArrivo", p.arrivo},
                                    {"DataPartenza", p.partenza},
                                    {"TipoPrenotazione", p.tipo},
                                    {"NumeroPersone", p.persone},
                                    {"Trattamento", Facoltativo(p.trattamento)},
                                    {"Note", Facoltativo(p.note)}});
}

void ChartFixture::testata(std::int64_t numero, const std::string& tipo, const std::string& nome,
                           const std::string& ditta) {
    fx_.add("Scheda_Prenotazione", {{"NumeroHotel", std::int64_t{1}},
                                    {"NumeroPrenotazione", numero},
                                    {"TipoPrenotazione", tipo},
                                    {"NomeCliente", nome},
                                    {"Ditta", ditta}});
}

void ChartFixture::arrangiamento(std::int64_t cliente, const std::string& codice) {
    fx_.add(
        "Arrangiamento",
        {{"NumeroHotel", std::int64_t{1}}, {"CodiceCliente", cliente}, {"Arrangiamento", codice}});
}

void ChartFixture::classe(const std::string& sigla, const std::string& tipo) {
    fx_.add("NomiArrangiamenti",
            {{"NumeroHotel", std::int64_t{1}}, {"Sigla", sigla}, {"Tipo", tipo}});
}

void ChartFixture::ditta(std::int64_t cliente, const std::string& ragioneSociale) {
    fx_.add("Ditta_Intestataria", {{"NumeroHotel", std::int64_t{1}},
                                   {"CodiceCliente", cliente},
                                   {"RagioneSociale", ragioneSociale}});
}

void ChartFixture::creaSoltanto(const std::string& prima, const std::string& ultima,
                                const std::string& data) {
    chart::CreaTableau(test::PostazioneDi(dir()),
                       chart::RichiestaTableau{1, 1, prima, ultima, data}, kOrologio);
}

std::vector<std::string> ChartFixture::crea(const std::string& prima, const std::string& ultima,
                                            const std::string& data) {
    creaSoltanto(prima, ultima, data);
    return RigheDelFile(readFile(fileTableau()));
}

void SettimanaDiEsempio(ChartFixture& fx) {
    fx.classe("BB", "C");
    fx.classe("HB", "M");
    fx.classe("FB", "P");
    fx.camera("101", 1, "DOP", 2);
    fx.camera("102", 1, "SIN", 1);
    fx.camera("103", 1, "TRI", 3);
    fx.camera("104", 1, "DOP", 2);
    fx.ospite({.camera = "101",
               .arrivo = "20260316",
               .partenza = "20260319",
               .progressivo = 1,
               .nome = "Rossi Mario"});
    fx.arrangiamento(1, "HB");
    fx.ditta(1, "Caff\xC3\xA8 Nero \xE2\x82\xAC");
    fx.prenotazione({.camera = "102",
                     .arrivo = "20260318",
                     .partenza = "20260321",
                     .numero = 5,
                     .persone = 2,
                     .trattamento = "FB",
                     .note = "*Vista mare*"});
    fx.testata(5, "C",
               "G\xC3\xA0lli Ren\xC3\xA9"
               "e",
               "Agenzia S\xC3\xB2le");
    fx.ospite({.camera = "103",
               .arrivo = "20260310",
               .partenza = "20260330",
               .progressivo = 3,
               .nome = "Bianchi Luca"});
    fx.arrangiamento(3, "BB");
}

std::string GiornoDiEsempio(int giorni) {
    return routines::ChiaveData(routines::AggiungiGiorni(routines::Data{16, 3, 2026}, giorni));
}

std::vector<SoggiornoDiEsempio> AlbergoDiEsempio(ChartFixture& fx) {
    SettimanaDiEsempio(fx);
    fx.classe("SO", "N");
    fx.db().tableau(1, 2, "Secondo piano");
    fx.db().tableau(1, 3, "D\xC3\xA9pendance");
    fx.camera("201", 2, "SIN", 1);
    fx.camera("202", 2, "DOP", 2);
    fx.camera("203", 2, "DOP", 2);
    fx.camera("D01", 3, "APP", 4);
    fx.camera("D02", 3, "APP", 4);
    // 201: one night, Tuesday to Wednesday.
    fx.ospite({.camera = "201",
               .arrivo = GiornoDiEsempio(1),
               .partenza = GiornoDiEsempio(2),
               .progressivo = 10,
               .nome = "Verdi Anna"});
    fx.arrangiamento(10, "SO");
    fx.ditta(10, "Universit\xC3\xA0 degli Studi di Bologna");
    // 202: a booking of three leaving on Monday, two guests arriving that day until Friday.
    fx.prenotazione({.camera = "202",
                     .arrivo = GiornoDiEsempio(-4),
                     .partenza = GiornoDiEsempio(0),
                     .numero = 7,
                     .persone = 3,
                     .trattamento = "HB"});
    fx.testata(7, "C", "Gruppo Escursionisti Alpini", "Agenzia L'Orizzonte Viaggi e Turismo");
    fx.ospite({.camera = "202",
               .arrivo = GiornoDiEsempio(0),
               .partenza = GiornoDiEsempio(4),
               .progressivo = 11,
               .nome = "Neri Carlo"});
    fx.ospite({.camera = "202",
               .arrivo = GiornoDiEsempio(0),
               .partenza = GiornoDiEsempio(4),
               .progressivo = 12,
               .componente = 2,
               .nome = "Neri Paola"});
    fx.arrangiamento(11, "HB");
    fx.arrangiamento(12, "HB");
    // 203: checked out already, so neither in the house nor leaving.
    fx.ospite({.camera = "203",
               .arrivo = GiornoDiEsempio(-2),
               .partenza = GiornoDiEsempio(2),
               .progressivo = 13,
               .nome = "Gialli Pietro",
               .partito = "S"});
    // D01: a long name, leaving on Sunday.
    fx.ospite({.camera = "D01",
               .arrivo = GiornoDiEsempio(-1),
               .partenza = GiornoDiEsempio(6),
               .progressivo = 14,
               .nome = "Dell'Orto J\xC3\xBCrgen Maximilian von Hohenzollern-Sigmaringen"});
    fx.arrangiamento(14, "BB");
    return {
        {1, "101", 0, 3, 1, false},         {1, "102", 2, 5, 2, true},
        {1, "103", -6, 14, 1, false},       {2, "201", 1, 2, 1, false},
        {2, "202", -4, 0, 3, true},         {2, "202", 0, 4, 2, false},
        {2, "203", -2, 2, 1, false, false}, {3, "D01", -1, 6, 1, false},
    };
}

std::vector<std::string> RigheDelFile(const std::string& testo) {
    std::vector<std::string> righe;
    std::size_t inizio = 0;
    while (inizio < testo.size()) {
        const auto fine = testo.find("\r\n", inizio);
        if (fine == std::string::npos) {
            ADD_FAILURE() << "the last line does not end with CR LF";
            righe.push_back(testo.substr(inizio));
            break;
        }
        righe.push_back(testo.substr(inizio, fine - inizio));
        inizio = fine + 2;
    }
    for (const auto& riga : righe) {
        EXPECT_EQ(riga.find_first_of("\r\n"), std::string::npos) << "stray line end";
    }
    return righe;
}

std::string Cella(const std::string& riga, std::size_t giorno) {
    return riga.substr(chart::InizioCella(giorno), chart::kLarghezzaCella);
}

std::vector<std::string> RigheDellaCamera(const std::vector<std::string>& righe, std::size_t n) {
    const auto inizio = righe.begin() + static_cast<std::ptrdiff_t>(5 + 5 * n);
    return {inizio, inizio + 4};
}

std::string Pieno(const std::string& testo) {
    std::string pieno = testo;
    pieno.resize(chart::kLarghezzaCella, ' ');
    return pieno;
}

}  // namespace tableau::test
