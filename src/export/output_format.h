#pragma once
// Every output made from the chart file read back, each behind the same pair of entry
// points: a writer that puts the chart into a file (replaced whole or not at all), and the
// format's row, whose extension names the workstation's file ("fd" + number + extension).
// The rows are gathered in one table (export/qt/format_table.h) that the command line,
// tableau mail and the print menu read. Outputs are made from the chart file rather than
// from the hotel tables, so that edits saved in the preview show in every one of them.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chart/chart_reader.h"
#include "chart/hotel_week.h"
#include "routines/workstation.h"

namespace tableau::exports {

// The chart file read back: its text as the file holds it (Windows-1252) and, read from
// that text when first asked for, its rooms, days and totals. Owns both. Or the week of a
// request made from the hotel tables (chart/hotel_week.h): a section per block with whole
// texts, departures and the day's figures, and the text of the blocks' charts.
class TableauDaEsportare {
  public:
    // nomeFile names the chart file in messages (UTF-8).
    TableauDaEsportare(std::string testo, std::string nomeFile);
    // The week of a request; testo holds the chart of each block as the chart file would,
    // one after the other.
    TableauDaEsportare(chart::SettimanaAlbergo settimana, std::string testo, std::string nomeFile);

    // The workstation's chart file. Throws chart::ErroreLetturaTableau, naming the file
    // and the data directory, when there is none or it cannot be read.
    static TableauDaEsportare DellaPostazione(const routines::Postazione& postazione);

    const std::string& testo() const { return testo_; }
    const std::string& nomeFile() const { return nomeFile_; }

    // Throws chart::ErroreFileTableau when the text no longer follows the chart's layout.
    // The week of a request: its first block.
    const chart::TableauLetto& letto() const;

    // The sections of the laid-out outputs: the chart file's one, or one per block of the
    // week. Throws as letto().
    std::vector<const chart::TableauLetto*> sezioni() const;

    // The week of the request; none for a chart file.
    const chart::SettimanaAlbergo* settimana() const { return settimana_ ? &*settimana_ : nullptr; }

  private:
    std::string testo_;
    std::string nomeFile_;
    mutable std::optional<chart::TableauLetto> letto_;
    std::optional<chart::SettimanaAlbergo> settimana_;
};

// The three settings of "SeparatoreXLS.txt" (its first three lines), with their defaults.
struct SeparatoriXLS {
    std::string separatoreCampi = ",";
    std::string separatoreDecimali = ".";
    std::string simboloValuta = "\x80";  // the euro sign; only its first character is used
};

// The paper of the laid-out outputs, always landscape. A3 is the A4 page enlarged, for a
// chart read from a distance: the same rooms on each page.
enum class FormatoCarta { a4, a3 };

// What an output may need beyond the chart.
struct OpzioniUscita {
    FormatoCarta carta = FormatoCarta::a4;
    SeparatoriXLS separatori;  // the CSV's, from "SeparatoreXLS.txt" of the data directory
};

// The options of the workstation: the separators its data directory sets, the paper given.
OpzioniUscita OpzioniDellaPostazione(const routines::Postazione& postazione,
                                     FormatoCarta carta = FormatoCarta::a4);

// Writes the chart into the file, replaced whole or not at all. Throws ErroreEsportazione
// (or routines::Errore) naming the file when it cannot be written, chart::ErroreFileTableau
// when the output needs the chart's rooms and the text no longer follows the layout.
using ScrittoreUscita = void (*)(const TableauDaEsportare& tableau,
                                 const std::filesystem::path& file, const OpzioniUscita& opzioni);

// One output format: a row of the table of formats.
struct FormatoUscita {
    std::string_view nome;        // as typed: "tableau csv", "tableau mail --format pdf"
    std::string_view estensione;  // of the workstation's file and of the mail's attachment
    std::string_view tipoMime;    // of the mail's attachment
    std::string_view titolo;      // as the print menu names what it opened: "Tableau grafico"
    std::string_view aiuto;       // the command's line in --help (UTF-8)
    // What the command says when the file is written: prefix + the file + suffix (UTF-8).
    std::string_view annuncioPrima;
    std::string_view annuncioDopo;
    // The system log's words for a file written and for a failure, before ": " and the
    // file or the reason.
    std::string_view registroFatto;
    std::string_view registroFallito;
    bool conCarta;    // the command takes --a3
    bool conUscita;   // the command takes --output FILE
    bool allegabile;  // tableau mail may attach it
    bool conQt;       // its writer needs a QGuiApplication (the laid-out outputs' fonts)
    ScrittoreUscita scrivi;
    // The command takes a request (--hotel, --tableau, --from, --to, --date) and makes the
    // week from the hotel tables instead of reading the chart file.
    bool conRichiesta = false;
};

// The workstation's file of the format: "fd" + number + "." + extension (Windows-1252).
// Throws routines::ErrorePostazione.
std::string NomeFile(const FormatoUscita& formato, const routines::Postazione& postazione);

// Reads the workstation's chart file and writes the format into `file` (a relative path is
// taken in the data directory; empty: the workstation's file). Returns the path written.
// Throws as TableauDaEsportare::DellaPostazione and the format's writer.
std::filesystem::path Esporta(const FormatoUscita& formato, const routines::Postazione& postazione,
                              const std::filesystem::path& file = {},
                              FormatoCarta carta = FormatoCarta::a4);

}  // namespace tableau::exports
