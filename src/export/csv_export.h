#pragma once
// The delimited-text export of the chart for a spreadsheet program: border characters
// become field separators, rules become blanks, Italian numbers get the configured decimal
// separator and currency sign. Texts are Windows-1252. Its row in the table of formats is
// kFormatoCsv.
#include <filesystem>
#include <string>
#include <string_view>

#include "export/output_format.h"
#include "routines/workstation.h"

namespace tableau::exports {

// Reads "SeparatoreXLS.txt" of the directory (name without regard to letter case); a
// missing file or missing lines give the defaults.
SeparatoriXLS LeggiSeparatoriXLS(const std::filesystem::path& cartellaDati);

// One chart line converted (without line end).
std::string ConvertiRigaXLS(std::string_view riga, const SeparatoriXLS& separatori);

// Writes the chart file's lines, converted, into the file (CRLF line ends), replaced whole
// or not at all. Throws routines::Errore naming the file when it cannot be written.
void ScriviCsv(const TableauDaEsportare& tableau, const std::filesystem::path& file,
               const OpzioniUscita& opzioni);

// Converts the workstation's chart file into its spreadsheet file fd<number>.csv in the
// data directory, with the directory's separators; returns its path. Throws
// chart::ErroreLetturaTableau when there is no chart file or it cannot be read.
std::filesystem::path ConvertiXLS(const routines::Postazione& postazione);

inline constexpr FormatoUscita kFormatoCsv{
    .nome = "csv",
    .estensione = "csv",
    .tipoMime = "text/csv",
    .titolo = "Foglio di calcolo",
    .aiuto = "Converte il file del tableau nel file per il foglio di calcolo (fd<PCLocal>.csv).",
    .annuncioPrima = "",
    .annuncioDopo = "",
    .registroFatto = "foglio di calcolo scritto",
    .registroFallito = "foglio di calcolo non scritto",
    .conCarta = false,
    .conUscita = false,
    .allegabile = false,
    .conQt = false,
    .scrivi = &ScriviCsv,
};

}  // namespace tableau::exports
