#pragma once
// The hotel tables a week's chart reads, read once for the week: the rooms, the week's
// guests and booked rooms, their companies, arrangements and booking headers, the hotels
// and their blocks. The chart file (crea_tableau.h) and the week of a whole hotel
// (hotel_week.h) are both made from these.
#include <future>
#include <memory>
#include <optional>
#include <vector>

#include "chart/crea_tableau.h"
#include "chart/occupancy_rules.h"
#include "db/data_source.h"
#include "db/database.h"
#include "db/record_set.h"

namespace tableau::chart {

// The database handles of a run and the record sets opened on them. Some are read on
// threads of their own (week_tables.cpp); every member is whole once the constructor ends.
struct ArchiviTableau {
    ArchiviTableau(db::DataSource& origine, const SettimanaTableau& settimana);

    ArchiviSettimana settimana() {
        return ArchiviSettimana{
            ospiti, ospitiCapofila, ditte, arrangiamenti, nomiArrangiamenti, prenotazioni, testate};
    }

    // A table read, with the handle of its file.
    struct TabellaLetta {
        std::unique_ptr<db::Database> file;
        db::RecordSet righe;
    };
    // The week's booked rooms and the headers of their bookings.
    struct PrenotazioniLette {
        TabellaLetta camere;
        TabellaLetta testate;
    };

    std::future<PrenotazioniLette> prenotazioniInLettura;
    std::unique_ptr<db::Database> fileCamere;
    db::RecordSet camere;
    std::unique_ptr<db::Database> fileOspiti;
    db::RecordSet ospiti;
    db::RecordSet ospitiCapofila;  // the same rows, with a position of its own
    std::optional<std::vector<db::Value>> codiciOspiti;
    std::future<TabellaLetta> arrangiamentiInLettura;
    std::unique_ptr<db::Database> fileDitte;
    db::RecordSet ditte;
    std::unique_ptr<db::Database> fileHotel;
    db::RecordSet hotel;
    std::unique_ptr<db::Database> fileTableau;
    db::RecordSet tableau;
    TabellaLetta arrangiamentiLetti;
    db::RecordSet& arrangiamenti;  // arrangiamentiLetti.righe
    std::unique_ptr<db::Database> fileArrangiamenti;
    db::RecordSet nomiArrangiamenti;
    PrenotazioniLette prenotazioniLette;
    db::RecordSet& prenotazioni;  // prenotazioniLette.camere.righe
    db::RecordSet& testate;       // prenotazioniLette.testate.righe
};

// The tables of the week, every read done here. A standby may cancel a read that holds back
// its recovery: the tables are then read once more, in a new snapshot. Throws
// db::ErroreArchivio, db::ErroreServer.
std::unique_ptr<ArchiviTableau> LeggiArchiviTableau(db::DataSource& origine,
                                                    const SettimanaTableau& settimana);

// The chart of one block of the week whose tables are read, as TestoTableau gives it: the
// same bytes, without reading the tables again. Throws as TestoTableau.
std::string TestoTableau(ArchiviTableau& archivi, const RichiestaTableau& richiesta,
                         const routines::Orologio& orologio);

// The room list's current room is in the block and within the range, compared as text.
bool CameraRichiesta(const db::RecordSet& camere, const RichiestaTableau& richiesta);

}  // namespace tableau::chart
