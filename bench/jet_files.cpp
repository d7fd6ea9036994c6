#include "jet_files.h"

#include <array>
#include <cstdint>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>

#include "db/hotel_schema.h"
#include "db/writer/jet_writer.h"
#include "large_hotel.h"
#include "routines/dates.h"
#include "spread_hotel.h"

namespace tableau::bench {
namespace {

using db::writer::Cell;
using db::writer::JetColumn;

const std::array<const char*, 24> kCognomi = {
    "Rossi",    "Russo", "Ferrari",  "Esposito", "Bianchi", "Romano",  "Colombo", "Ricci",
    "Marino",   "Greco", "Bruno",    "Gallo",    "Conti",   "De Luca", "Mancini", "Costa",
    "Giordano", "Rizzo", "Lombardi", "Moretti",  "D'Amico", "Ferrà",   "Müller",  "Dell'Orto"};
const std::array<const char*, 20> kNomi = {
    "Mario",  "Lucia",  "Nicolò",       "Hans",   "Gennaro", "Anna",      "Luca",
    "Giulia", "Paolo",  "Sofia",        "Chiara", "Matteo",  "Martina",   "Davide",
    "Elena",  "Simone", "Maria Grazia", "Élodie", "Jürgen",  "Gian Marco"};
const std::array<const char*, 12> kVie = {"Via Giuseppe Garibaldi",
                                          "Corso Vittorio Emanuele II",
                                          "Piazza della Repubblica",
                                          "Via Roma",
                                          "Viale dei Mille",
                                          "Via Alessandro Manzoni",
                                          "Largo Augusto",
                                          "Via San Francesco d'Assisi",
                                          "Hauptstraße",
                                          "Rue de la Paix",
                                          "Via Dante Alighieri",
                                          "Borgo Santa Croce"};
const std::array<const char*, 12> kCitta = {"Milano",  "Roma",    "Reggio nell'Emilia",
                                            "Forlì",   "Napoli",  "Torino",
                                            "München", "Bologna", "Cefalù",
                                            "Firenze", "Lyon",    "San Donà di Piave"};
const std::array<const char*, 6> kNazionalita = {"Italiana", "Italiana", "Italiana",
                                                 "Tedesca",  "Francese", "Svizzera"};
const std::array<const char*, 6> kNote = {"",
                                          "Arrivo tardi *ore 23* grazie",
                                          "*Vegetariano*",
                                          "cliente abituale",
                                          "*Vista mare* se possibile",
                                          "*Celiaco* - menù dedicato"};

// A guest card as a hotel keeps it: the ten columns the program reads, then address, city,
// nationality, birth date and a note. Stays of one to six nights over five years; one stay
// in three is a family of three, headed by its first member.
db::writer::JetTable schedeClienti(int righe) {
    db::writer::JetTable table{"Scheda_Cliente", {}, {}};
    for (const auto& column : db::tableDescription("Scheda_Cliente").columns) {
        table.columns.push_back(
            {std::string(column.name), column.type == db::ColumnType::Integer
                                           ? db::writer::JetColumn::Type::Long
                                           : db::writer::JetColumn::Type::Text});
    }
    for (const char* name : {"Indirizzo", "Citta", "Nazionalita", "DataNascita", "Note"}) {
        table.columns.push_back({name, db::writer::JetColumn::Type::Text});
    }
    std::mt19937 random(20261208);
    const auto uniform = [&random](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    const auto pick = [&uniform](const auto& list) -> std::string {
        return list[static_cast<std::size_t>(uniform(0, static_cast<int>(list.size()) - 1))];
    };
    const auto chiave = [](const routines::Data& primo, int giorni) {
        return routines::ChiaveData(routines::AggiungiGiorni(primo, giorni));
    };
    table.rows.reserve(static_cast<std::size_t>(righe));
    std::int64_t capo = 0;
    int componenti = 0;
    int componente = 0;
    std::vector<db::writer::Cell> soggiorno;
    for (int progressivo = 1; progressivo <= righe; ++progressivo) {
        if (componente == componenti) {
            componenti = uniform(0, 2) == 0 ? 3 : 1;
            componente = 0;
            capo = progressivo;
            const int arrivo = uniform(0, 1825);
            soggiorno = {db::writer::Cell{std::int64_t{1}},
                         db::writer::Cell{numeroCamera(uniform(1, kCamere))},
                         db::writer::Cell{chiave(kPrimoGiorno, arrivo)},
                         db::writer::Cell{chiave(kPrimoGiorno, arrivo + uniform(1, 6))},
                         db::writer::Cell{std::string(arrivo < 1700 ? "S" : "N")}};
        }
        ++componente;
        std::vector<db::writer::Cell>& row = table.rows.emplace_back(soggiorno);
        row.reserve(table.columns.size());
        row.emplace_back(std::int64_t{progressivo});
        row.emplace_back(std::int64_t{componente});
        row.emplace_back(componenti > 1 ? capo : std::int64_t{0});
        row.emplace_back(std::int64_t{0});
        row.emplace_back(pick(kCognomi) + " " + pick(kNomi));
        row.emplace_back(pick(kVie) + ", " + std::to_string(uniform(1, 180)));
        row.emplace_back(pick(kCitta));
        row.emplace_back(pick(kNazionalita));
        row.emplace_back(chiave(routines::Data{1, 1, 1940}, uniform(0, 365 * 65)));
        if (std::string nota = pick(kNote); nota.empty()) {
            row.emplace_back();  // no note: null
        } else {
            row.emplace_back(std::move(nota));
        }
    }
    return table;
}

// Where the Jet files lie under DIR/jet, or under the folder they are written in first.
std::filesystem::path hotelIn(const std::filesystem::path& jet) {
    return jet / "hotel";
}
std::filesystem::path righeIn(const std::filesystem::path& jet, int righe) {
    return jet / ("righe-" + std::to_string(righe));
}

// Every file of a hotel's data directory rewritten as Jet 4 under the same name.
void convertiHotel(const std::filesystem::path& da, const std::filesystem::path& a) {
    std::filesystem::create_directories(a);
    std::set<std::string_view> fatti;
    for (const auto& table : db::hotelSchema()) {
        if (fatti.insert(table.file).second) {
            db::writer::ConvertHotelFileToJet(da / table.file, a / table.file);
        }
    }
}

}  // namespace

std::filesystem::path cartellaHotelJet(const std::filesystem::path& directory) {
    return hotelIn(directory / "jet");
}

std::filesystem::path cartellaSparsaJet(const std::filesystem::path& directory) {
    return directory / "jet" / "spread";
}

std::filesystem::path cartellaRigheJet(const std::filesystem::path& directory, int righe) {
    return righeIn(directory / "jet", righe);
}

void scriviArchiviJet(const std::filesystem::path& directory) {
    if (!std::filesystem::exists(directory / "Scheda_Cliente.mdb")) {
        throw std::runtime_error("manca l'albergo di prova in " + directory.string());
    }
    const auto pronto = directory / "jet";
    const auto inCorso = directory / "jet.tmp";
    std::filesystem::remove_all(inCorso);
    for (const int righe : kRigheJet) {
        const auto cartella = righeIn(inCorso, righe);
        std::filesystem::create_directories(cartella);
        db::writer::WriteJetFile(cartella / "Scheda_Cliente.mdb", {schedeClienti(righe)});
    }
    convertiHotel(directory, hotelIn(inCorso));
    if (std::filesystem::exists(cartellaSparsa(directory) / "Scheda_Cliente.mdb")) {
        convertiHotel(cartellaSparsa(directory), inCorso / "spread");
    }
    std::filesystem::remove_all(pronto);
    std::filesystem::rename(inCorso, pronto);
}

}  // namespace tableau::bench
