#pragma once
// What each room shows on each day of the week: registered guests against booked rooms
// (rules A to F fill a room's seven days, rule G decides what the four lines show), and
// the weekly totals of the three arrangement classes.
#include <array>
#include <cstdint>
#include <string>

#include "chart/chart_layout.h"
#include "db/record_set.h"
#include "routines/dates.h"

namespace tableau::chart {

// What one room holds on one day; reset for every room.
struct GiornoCamera {
    std::int16_t NumeroOspiti = 0;
    std::string StatoOspiti;
    std::string ArrangiamentoOspiti;
    std::string NomeOspite;
    std::string DittaOspite;
    std::int16_t PersonePrenotate = 0;
    std::int64_t NumeroPrenotazione = 0;
    std::string StatoPrenotazione;
    std::string TrattamentoPrenotazione;
    std::string NotaPrenotazione;
    std::string NomePrenotazione;
    std::string DittaPrenotazione;
    bool PrenotazioneConfermata = false;
    // The same names and companies whole, for the outputs that set them smaller rather
    // than cut them; the chart file shows the 17 characters above.
    std::string NomeOspiteIntero;
    std::string DittaOspiteIntera;
    std::string NomePrenotazioneIntero;
    std::string DittaPrenotazioneIntera;
};

// The record sets the rules search: guests and bookings restricted to the week, the
// second guest set kept for the look-up of a party's first member, and the tables of
// companies, arrangements, arrangement classes and booking headers.
struct ArchiviSettimana {
    db::RecordSet& ospiti;
    db::RecordSet& ospitiCapofila;
    db::RecordSet& ditte;
    db::RecordSet& arrangiamenti;
    db::RecordSet& nomiArrangiamenti;
    db::RecordSet& prenotazioni;
    db::RecordSet& testatePrenotazioni;
};

// The week's seven days, first the start date.
struct SettimanaTableau {
    std::array<routines::Data, kGiorniTableau> giorni;
    std::array<std::string, kGiorniTableau> chiavi;  // yyyymmdd
};
SettimanaTableau CalcolaSettimana(const routines::Data& inizio);

// Rules A to F for one room (`numeroCamera` as the room list stores it): its seven days,
// with the week's totals accumulated. Throws routines::ErroreOverflow when a 16-bit counter would
// pass 32767.
std::array<GiornoCamera, kGiorniTableau> RiempiGiorniCamera(ArchiviSettimana& archivi,
                                                            std::int16_t hotel,
                                                            const std::string& numeroCamera,
                                                            const SettimanaTableau& settimana,
                                                            TotaliSettimana& totali);

// Rule G: what the room's four lines show for the day; with `interi` the names and
// companies whole instead of their 17 characters.
CellaGiorno DecidiCella(const GiornoCamera& giorno, bool interi = false);

// The class an arrangement or treatment code counts under in the totals, as the rules
// find it ("Sigla = code and NumeroHotel = hotel" in NomiArrangiamenti): "CC", "MP", "PC",
// or empty when the code is not there or its type is none of the three.
std::string ClasseDelCodice(db::RecordSet& nomiArrangiamenti, std::int16_t hotel,
                            const std::string& codice);

}  // namespace tableau::chart
