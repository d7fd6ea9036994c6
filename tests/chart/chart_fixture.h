#pragma once
// A hotel of SQLite files with one hotel and one room block, guests and bookings added
// with short helpers, and the chart built from it read back line by line.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "chart/crea_tableau.h"
#include "support/hotel_fixture.h"
#include "support/temp_dir.h"

namespace tableau::test {

// A guest row; unset fields take the usual values of a guest still in the house.
struct Ospite {
    std::string camera{};
    std::string arrivo{};    // yyyymmdd
    std::string partenza{};  // yyyymmdd
    std::int64_t progressivo = 0;
    std::int64_t componente = 1;
    std::string nome{};
    std::optional<std::string> partito = "N";
    std::int64_t famiglia = 0;
    std::int64_t gruppo = 0;
    std::int64_t hotel = 1;
};

// A booked room row.
struct Prenotazione {
    std::string camera{};
    std::string arrivo{};
    std::string partenza{};
    std::int64_t numero = 1;
    std::int64_t persone = 2;
    std::string tipo = "C";
    std::optional<std::string> trattamento{};
    std::optional<std::string> note{};
    std::int64_t hotel = 1;
};

class ChartFixture {
  public:
    // Hotel 1 "Hotel Bellavista", block 1 "Primo piano"; PCLocal = 7.
    ChartFixture();

    HotelFixture& db() { return fx_; }
    const std::filesystem::path& dir() const { return fx_.dir(); }

    void camera(const std::string& numero, int tableau = 1, const std::string& tipo = "DOP",
                int posti = 2) {
        fx_.camera(1, tableau, numero, tipo, posti);
    }
    void ospite(const Ospite& o);
    void prenotazione(const Prenotazione& p);
    void testata(std::int64_t numero, const std::string& tipo, const std::string& nome,
                 const std::string& ditta);
    void arrangiamento(std::int64_t cliente, const std::string& codice);
    void classe(const std::string& sigla, const std::string& tipo);
    void ditta(std::int64_t cliente, const std::string& ragioneSociale);

    // Builds the chart (week from 16/03/2026, a Monday, unless told) and returns its lines,
    // checking that each ends with CR LF.
    std::vector<std::string> crea(const std::string& prima = "", const std::string& ultima = "ZZZ",
                                  const std::string& data = "16/03/2026");
    void creaSoltanto(const std::string& prima, const std::string& ultima, const std::string& data);

    std::filesystem::path fileTableau() const { return fx_.dir() / "FD7"; }

  private:
    HotelFixture fx_;
    ScopedEnv pcLocal_{"PCLocal", "7"};
};

// The week of 16/03/2026 in four rooms and one free room, every state on show:
//   101 DOP 2  guest Rossi Mario (company "Caffè Nero €", HB): arrivata on Monday,
//              in fermata on Tuesday and Wednesday;
//   102 SIN 1  booking 5 of 2 persons for "Gàlli Renée" of "Agenzia Sòle" (FB, note
//              "Vista mare"): in arrivo on Wednesday, prenotata on Thursday and Friday;
//   103 TRI 3  guest Bianchi Luca (BB), in fermata all week;
//   104 DOP 2  free.
// Totals: CC 1 every day; MP 1 Monday to Wednesday; PC 2 Wednesday to Friday.
void SettimanaDiEsempio(ChartFixture& fx);

// A stay of the whole-hotel example: its room, arrival and departure (days from Monday
// 16/03/2026), persons, whether it is a booking, and whether the chart counts it (a guest
// already checked out is not).
struct SoggiornoDiEsempio {
    int tableau;
    std::string camera;
    int arrivo;
    int partenza;
    int persone;
    bool prenotazione;
    bool contato = true;
};

// The example week above as block 1 of three: block 2 "Secondo piano" (201 a one-night stay
// of a guest whose company's name is long and whose code "SO" has no class; 202 a booking of
// three leaving on Monday as two guests arrive; 203 a guest already checked out) and block 3
// "Dépendance" (D01 a guest with a long name leaving on Sunday, D02 free). Returns every stay
// of the week, for the tests to count the departures themselves.
std::vector<SoggiornoDiEsempio> AlbergoDiEsempio(ChartFixture& fx);

// The yyyymmdd of a day counted from Monday 16/03/2026.
std::string GiornoDiEsempio(int giorni);

// The lines of a chart file, split at CR LF; fails the test when the text does not end
// with CR LF or holds a lone CR or LF.
std::vector<std::string> RigheDelFile(const std::string& testo);

// The 17 characters of day k's cell (k = 0..6).
std::string Cella(const std::string& riga, std::size_t giorno);

// The four room lines of the n-th room of a chart (n from 0).
std::vector<std::string> RigheDellaCamera(const std::vector<std::string>& righe, std::size_t n);

// A text padded with spaces to 17.
std::string Pieno(const std::string& testo);

inline const routines::OrologioFisso kOrologio{routines::DataOra{2026, 3, 14, 9, 5}};

}  // namespace tableau::test
