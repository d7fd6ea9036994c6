#pragma once
// The print job: sends the chart file to a destination of the printer configuration,
// either on a page printer (through ServizioStampanti) or as raw text to a file, a device
// or a printer queue. Everything the print menu needs lives here.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "db/data_source.h"
#include "print/errors.h"
#include "print/printer.h"
#include "routines/workstation.h"

namespace tableau::print {

// The print menu's choices at the moment the print button is pressed. Texts are
// Windows-1252.
struct OpzioniStampa {
    std::string destinazione;  // the destination chosen in the print menu
    std::string stampante;     // the printer chosen in the print menu, empty when none was picked
    bool compressa = true;     // "Stampa Compressa"
    bool orizzontale = false;  // "Stampa orizzontale"
    bool fronteRetro = false;  // "Stampa fronte / retro"
    std::int16_t hotelCorrente = 1;
    std::string codiceAssistenza;  // CodiceAssistenza of hotel 1 (LeggiCodiceAssistenza)
};

// Runs the job for the workstation, in its data directory. Throws ErroreStampa for a destination
// without a row in Stampanti, a missing chart file, an output that cannot be opened or written and
// a printer failure; db::ErroreArchivio for a missing database, table or field. Returns where the
// chart went, for the user (UTF-8).
std::string EseguiStampa(const routines::Postazione& postazione, const OpzioniStampa& opzioni,
                         ServizioStampanti& stampanti);

// The entry the print menu shows when no printer is installed.
inline constexpr const char* kNessunaStampante = "<nessuna stampante>";

// Device names of the installed printers, in the platform's order (empty when none).
std::vector<std::string> StampantiInstallate(const ServizioStampanti& stampanti);

// CodiceAssistenza of hotel 1 in AnagraficaHotels; empty without that row.
std::string LeggiCodiceAssistenza(const std::filesystem::path& cartellaDati);
// The same, read from the source (the data directory's file or the chain's server).
std::string LeggiCodiceAssistenza(db::DataSource& origine);

// The Destinazione of every Stampanti row of hotel 1, in storage order.
std::vector<std::string> ElencoDestinazioni(const std::filesystem::path& cartellaDati);

}  // namespace tableau::print
