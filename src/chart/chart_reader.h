#pragma once
// The chart file read back into what it shows: the title, the seven days, each room with
// its seven days, the totals. The outputs built from the file (PDF, workbook) read it here,
// so that a page edited and saved in the preview shows in them as it was saved. The file
// is read as CreaTableau writes it and as the preview saves it (borders as "|" and "-"); a
// cell typed wider than its place is taken whole as long as the vertical lines can still
// be counted. No Qt; texts are Windows-1252.
#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chart/chart_layout.h"
#include "chart/errors.h"
#include "routines/dates.h"
#include "routines/workstation.h"

namespace tableau::chart {

// The state of a stay on a day, as the cell's first line names it.
enum class StatoSoggiorno { nessuno, arrivata, inFermata, inArrivo, prenotata, altro };

// The four states with a name, in the order the legends list them.
inline constexpr std::array<StatoSoggiorno, 4> kStatiSoggiorno = {
    StatoSoggiorno::arrivata, StatoSoggiorno::inFermata, StatoSoggiorno::inArrivo,
    StatoSoggiorno::prenotata};

// The state's name without brackets ("in fermata"); empty for nessuno and altro.
std::string_view NomeStato(StatoSoggiorno stato);

// The three arrangement classes of the totals, in the order the chart lists them.
inline constexpr std::array<std::string_view, 3> kClassi = {"CC", "MP", "PC"};

// One day of a room.
struct GiornoLetto {
    long persone = 0;
    StatoSoggiorno stato = StatoSoggiorno::nessuno;
    std::string testoStato;  // as the cell shows it, "(in fermata)"; empty when none
    std::string nome;
    std::string ditta;
    std::string codice;
    std::string nota;
    // Known only when the week is made from the hotel tables (hotel_week.h); a chart file
    // does not hold them. The class of the code ("CC", "MP", "PC" or empty), the persons
    // the day's totals count for the room under each class (kClassi's order), and whether
    // a stay of the room ends that day (its persons as the chart showed them the night
    // before).
    std::string classe;
    std::array<long, 3> perClasse{};
    bool partenza = false;
    long personeInPartenza = 0;
};

// The figures of a day of a block or of the hotel, counted from the hotel tables: rooms
// and persons arriving (the cells "arrivata" and "in arrivo"), rooms and persons departing
// (stays whose departure day it is), rooms in use (a cell with persons), free rooms and
// persons in the house.
struct ConteggioGiorno {
    long arrivi = 0;
    long personeInArrivo = 0;
    long partenze = 0;
    long personeInPartenza = 0;
    long camereOccupate = 0;
    long camereLibere = 0;
    long persone = 0;

    ConteggioGiorno& operator+=(const ConteggioGiorno& altro);
    bool operator==(const ConteggioGiorno&) const = default;
};

struct CameraLetta {
    std::string numero;
    std::string tipo;
    std::string posti;
    std::array<GiornoLetto, kGiorniTableau> giorni;
    std::size_t riga = 0;  // the line of the file (from 1) the room starts on
};

struct GiornoIntestazione {
    std::string nome;                    // "Lunedì"
    std::string testoData;               // "16/03/2026", as shown
    std::optional<routines::Data> data;  // when the text is a valid date
};

struct TableauLetto {
    std::string hotel;        // empty when the chart was made for a hotel not found
    std::string descrizione;  // the block's description
    std::string dataInizio;   // as the title shows it
    std::string generazione;  // "dd/mm/yyyy hh:mm"
    std::array<GiornoIntestazione, kGiorniTableau> giorni;
    std::vector<CameraLetta> camere;
    std::array<long, kGiorniTableau> totaleCC{};
    std::array<long, kGiorniTableau> totaleMP{};
    std::array<long, kGiorniTableau> totalePC{};
    // The day's figures, when the week is made from the hotel tables; none from a chart file.
    std::optional<std::array<ConteggioGiorno, kGiorniTableau>> conteggi;
};

// The state a cell's first line names ("(in fermata)"): nessuno for an empty text, the
// state a text cut by a narrow cell is the start of, altro for a text that is none.
StatoSoggiorno StatoDelTesto(std::string_view testo);

// A day's first line as the outputs show it, the persons and the state's name:
// "(2) in fermata"; an unnamed state as the file writes it; empty for a free day.
std::string PersoneEStato(const GiornoLetto& giorno);

// A day's last line as the outputs show it: the code, two blanks, the note.
std::string CodiceENota(const GiornoLetto& giorno);

// Reads a chart's text; nomeFile (UTF-8) names it in the messages. Throws ErroreFileTableau.
TableauLetto LeggiTableau(std::string_view testo, std::string_view nomeFile);

// Reads a chart file. Throws ErroreFileTableau, or Errore when the file cannot be read.
TableauLetto LeggiFileTableau(const std::filesystem::path& file);

// The workstation's chart file (TrovaFileTableau). Throws ErroreLetturaTableau, naming the
// file and the data directory, when there is none.
std::filesystem::path FileTableauEsistente(const routines::Postazione& postazione);

// Reads the workstation's chart file. Throws ErroreFileTableau, or ErroreLetturaTableau when
// there is none or it cannot be read.
TableauLetto LeggiTableauDellaPostazione(const routines::Postazione& postazione);

}  // namespace tableau::chart
