#pragma once
// The chart file as UTF-8 text, for a reader without the chart's code page: the mail's
// text attachment. Its row in the table of formats is kFormatoTesto.
#include <filesystem>
#include <string>
#include <string_view>

#include "export/output_format.h"

namespace tableau::exports {

// The chart file's text (Windows-1252) as UTF-8: its frame drawn with the Unicode box
// characters, texts converted, line ends kept. A byte of the frame stands for a line only
// in a frame line and at the places of the vertical lines: an "Ä" in a name stays "Ä".
std::string TableauInUtf8(std::string_view testoFile);

// Writes TableauInUtf8 of the chart file into the file, replaced whole or not at all.
void ScriviTesto(const TableauDaEsportare& tableau, const std::filesystem::path& file,
                 const OpzioniUscita& opzioni);

inline constexpr FormatoUscita kFormatoTesto{
    .nome = "text",
    .estensione = "txt",
    .tipoMime = "text/plain",
    .titolo = "Tableau in testo",
    .aiuto = "Scrive il file del tableau come testo UTF-8 (fd<PCLocal>.txt, o FILE).",
    .annuncioPrima = "Testo salvato in ",
    .annuncioDopo = ".",
    .registroFatto = "tableau in testo salvato",
    .registroFallito = "tableau in testo non salvato",
    .conCarta = false,
    .conUscita = true,
    .allegabile = true,
    .conQt = false,
    .scrivi = &ScriviTesto,
};

}  // namespace tableau::exports
