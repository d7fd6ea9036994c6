#include "demo_hotel.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "db/hotel_schema.h"
#include "db/writer/jet_writer.h"
#include "db/writer/sqlite_writer.h"

namespace tableau::tools {
namespace {

using db::writer::Cell;

db::writer::Cell n(std::int64_t v) {
    return db::writer::Cell{v};
}
db::writer::Cell t(std::string v) {
    return db::writer::Cell{std::move(v)};
}

// One writer per database file, each inside one transaction.
class DemoFiles {
  public:
    explicit DemoFiles(const std::filesystem::path& cartellaDati) {
        std::filesystem::create_directories(cartellaDati);
        for (const auto& table : db::hotelSchema()) {
            const std::string file(table.file);
            auto& writer = writers_[file];
            if (!writer) {
                std::filesystem::remove(cartellaDati / file);
                writer = std::make_unique<db::writer::SqliteWriter>(cartellaDati / file);
                writer->begin();
            }
            writer->createTable(table.table);
        }
    }

    void add(std::string_view table, const std::vector<std::string>& columns,
             const std::vector<db::writer::Cell>& values) {
        const std::string file(db::tableDescription(table).file);
        writers_.at(file)->insert(table, columns, values);
    }

    void commit() {
        for (auto& [file, writer] : writers_) {
            writer->commit();
        }
    }

  private:
    std::map<std::string, std::unique_ptr<db::writer::SqliteWriter>> writers_;
};

struct Blocco {
    int hotel;
    int codice;
    std::string descrizione;
    std::vector<std::pair<std::string, std::string>> camere;  // number, type
};

const std::array<const char*, 40> kNomi = {
    "Rossi Mario",      "D'Amico Lucia",      "Ferrà Nicolò",      "Müller Hans",
    "Esposito Gennaro", "Bianchi Anna",       "Romano Luca",       "Colombo Giulia",
    "Ricci Paolo",      "Marino Sofia",       "Greco Francesca",   "Bruno Alessandro",
    "Gallo Chiara",     "Conti Matteo",       "De Luca Martina",   "Mancini Davide",
    "Costa Elena",      "Giordano Simone",    "Rizzo Federica",    "Lombardi Andrea",
    "Moretti Sara",     "Barbieri Marco",     "Fontana Valentina", "Santoro Stefano",
    "Mariani Laura",    "Rinaldi Emanuele",   "Caruso Irene",      "Ferrara Gabriele",
    "Galli Noemi",      "Martini Tommaso",    "Leone Beatrice",    "Longo Riccardo",
    "Gentile Aurora",   "Martinelli Edoardo", "Vitale Alice",      "Lombardo Niccolò",
    "Serra Ginevra",    "Coppola Pietro",     "De Santis Élodie",  "Dell'Orto Jürgen"};

const std::array<const char*, 6> kDitte = {"Tavornelide S.p.A.",     "Viaggi Sereni S.r.l.",
                                           "Fratelli Gàlli & C.",    "Agenzia L'Orizzonte",
                                           "Consorzio Vini Toscani", "Università di Bologna"};

const std::array<const char*, 6> kNote = {
    "*Culla*",          "Arrivo tardi *ore 23* grazie", "*Vegetariano*",
    "cliente abituale", "*Vista mare* se possibile",    "*Celiaco* - menù dedicato"};

// A new directory under the system's temporary one, removed with everything in it.
class CartellaTemporanea {
  public:
    CartellaTemporanea() {
        std::string modello =
            (std::filesystem::temp_directory_path() / "tableau-demo-XXXXXX").string();
        if (::mkdtemp(modello.data()) == nullptr) {
            throw std::runtime_error("impossibile creare una cartella temporanea in " +
                                     std::filesystem::temp_directory_path().string());
        }
        path_ = modello;
    }
    ~CartellaTemporanea() {
        std::error_code ignorato;
        std::filesystem::remove_all(path_, ignorato);
    }
    CartellaTemporanea(const CartellaTemporanea&) = delete;
    CartellaTemporanea& operator=(const CartellaTemporanea&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace

void scriviHotelDemo(const std::filesystem::path& cartellaDati, const routines::Data& oggi) {
    DemoFiles files(cartellaDati);
    // The same day always gives the same data.
    std::mt19937 random(
        static_cast<std::uint32_t>(oggi.anno * 10000 + oggi.mese * 100 + oggi.giorno));
    const auto uniform = [&random](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    const auto chiave = [&oggi](int giorni) {
        return routines::ChiaveData(routines::AggiungiGiorni(oggi, giorni));
    };

    files.add("AnagraficaHotels", {"Numero", "RagioneSociale", "CodiceAssistenza"},
              {n(1), t("Grand Hotel Tavornelide"), t("")});
    files.add("AnagraficaHotels", {"Numero", "RagioneSociale", "CodiceAssistenza"},
              {n(2), t("Albergo Sole e Mare"), t("")});

    // Room types: classes "C" bound the proposed room range, the others do not.
    for (const auto& [sigla, classe] : std::vector<std::pair<const char*, const char*>>{
             {"SGL", "C"}, {"DBL", "C"}, {"TRP", "C"}, {"SUI", "C"}, {"APP", "A"}, {"SER", "S"}}) {
        files.add("TipiCamere", {"Sigla", "Tipologia"}, {t(sigla), t(classe)});
    }

    std::vector<Blocco> blocchi;
    {
        Blocco primo{1, 1, "Primo piano", {}};
        for (int i = 1; i <= 20; ++i) {
            const char* tipo =
                i == 20 ? "SER" : (i % 5 == 0 ? "TRP" : (i % 3 == 0 ? "SGL" : "DBL"));
            primo.camere.emplace_back(std::to_string(100 + i), tipo);
        }
        Blocco secondo{1, 2, "Secondo piano", {}};
        for (int i = 1; i <= 20; ++i) {
            const char* tipo = i <= 2 ? "SUI" : (i % 4 == 0 ? "SGL" : "DBL");
            secondo.camere.emplace_back(std::to_string(200 + i), tipo);
        }
        Blocco dependance{1, 3, "Dependance \"Il Glicine\"", {}};
        for (int i = 1; i <= 10; ++i) {
            dependance.camere.emplace_back((i < 10 ? "D0" : "D") + std::to_string(i),
                                           i <= 6 ? "APP" : "DBL");
        }
        Blocco centrale{2, 1, "Corpo centrale", {}};
        for (int i = 1; i <= 20; ++i) {
            centrale.camere.emplace_back(std::to_string(i), i % 2 ? "DBL" : "TRP");
        }
        Blocco villette{2, 2, "Villette sul mare", {}};
        for (int i = 1; i <= 10; ++i) {
            villette.camere.emplace_back("V" + std::to_string(i), i <= 8 ? "APP" : "SUI");
        }
        blocchi = {primo, secondo, dependance, centrale, villette};
    }
    for (const auto& b : blocchi) {
        files.add("Tableau", {"NumeroHotel", "Codice", "Descrizione"},
                  {n(b.hotel), n(b.codice), t(b.descrizione)});
        for (const auto& [numero, tipo] : b.camere) {
            const int posti = tipo == "SGL" ? 1 : tipo == "TRP" ? 3 : tipo == "APP" ? 4 : 2;
            files.add("NumeriCamere",
                      {"NumeroHotel", "NumeroTableau", "NumeroCamera", "TipoCamera", "PostiLetto"},
                      {n(b.hotel), n(b.codice), t(numero), t(tipo), n(posti)});
        }
    }

    // Arrangement classes: "C"/"S" count as CC, "M" as half board, "P" as full board.
    for (int hotel = 1; hotel <= 2; ++hotel) {
        for (const auto& [sigla, tipo] :
             std::vector<std::pair<const char*, const char*>>{{"BB", "C"},
                                                              {"CC", "S"},
                                                              {"MP", "M"},
                                                              {"PC", "P"},
                                                              {"SO", "N"},
                                                              {"ALL-INCL", "P"}}) {
            files.add("NomiArrangiamenti", {"NumeroHotel", "Sigla", "Tipo"},
                      {n(hotel), t(sigla), t(tipo)});
        }
    }
    const std::array<const char*, 6> arrangiamenti = {"BB", "CC", "MP", "PC", "SO", "ALL-INCL"};

    std::int64_t progressivo = 1000;
    std::int64_t prenotazione = 5000;
    const std::vector<std::string> colonneOspite = {
        "NumeroHotel",      "NumeroCamera",      "DataArrivo",       "DataPartenza",
        "Partito",          "NumeroProgressivo", "NumeroComponente", "CodiceCapoFamiglia",
        "CodiceCapoGruppo", "NomeCliente"};
    const std::vector<std::string> colonnePrenotazione = {
        "NumeroHotel",      "NumeroPrenotazione", "NumeroCamera", "DataArrivo", "DataPartenza",
        "TipoPrenotazione", "NumeroPersone",      "Trattamento",  "Note"};
    const auto nome = [&] { return std::string(kNomi[static_cast<std::size_t>(uniform(0, 39))]); };

    for (const auto& b : blocchi) {
        // One group per block: a tour leader and the rooms of the group.
        const std::int64_t capoGruppo = b.codice == 2 ? progressivo + 1 : 0;
        for (const auto& [numero, tipo] : b.camere) {
            if (tipo == "SER") {
                continue;
            }
            // A guest who left earlier in the week: shown until the departure day only if
            // not yet checked out.
            if (uniform(0, 4) == 0) {
                const int arrivo = uniform(-8, -3);
                const int partenza = uniform(-2, 1);
                files.add(
                    "Scheda_Cliente", colonneOspite,
                    {n(b.hotel), t(numero), t(chiave(arrivo)), t(chiave(partenza)),
                     t(partenza <= 0 ? "S" : "N"), n(++progressivo), n(1), n(0), n(0), t(nome())});
            }
            const int scelta = uniform(0, 9);
            if (scelta <= 5) {
                // Guests in the room: arrived in the last days or arriving this week.
                const int arrivo = uniform(-4, 3);
                const int partenza = arrivo + uniform(1, 9);
                const int persone = uniform(1, tipo == "SGL" ? 1 : (tipo == "APP" ? 4 : 3));
                const bool famiglia = persone >= 3 && uniform(0, 1) == 0;
                const std::int64_t primo = progressivo + 1;
                for (int componente = 1; componente <= persone; ++componente) {
                    const std::int64_t codice = ++progressivo;
                    const std::int64_t capoFamiglia = famiglia ? primo : 0;
                    const std::int64_t gruppo = famiglia ? 0 : capoGruppo;
                    files.add("Scheda_Cliente", colonneOspite,
                              {n(b.hotel), t(numero), t(chiave(arrivo)), t(chiave(partenza)),
                               uniform(0, 9) == 0 ? db::writer::Cell{} : t("N"), n(codice),
                               n(componente), n(capoFamiglia), n(gruppo), t(nome())});
                    if (componente == 1) {
                        files.add("Arrangiamento",
                                  {"NumeroHotel", "CodiceCliente", "Arrangiamento"},
                                  {n(b.hotel), n(codice),
                                   t(arrangiamenti[static_cast<std::size_t>(uniform(0, 5))])});
                        if (uniform(0, 2) == 0) {
                            files.add("Ditta_Intestataria",
                                      {"NumeroHotel", "CodiceCliente", "RagioneSociale"},
                                      {n(b.hotel), n(codice),
                                       t(kDitte[static_cast<std::size_t>(uniform(0, 5))])});
                        }
                    }
                }
                if (capoGruppo != 0 && capoGruppo <= progressivo &&
                    capoGruppo > progressivo - persone) {
                    files.add("Arrangiamento", {"NumeroHotel", "CodiceCliente", "Arrangiamento"},
                              {n(b.hotel), n(capoGruppo), t("MP")});
                }
            }
            if (scelta >= 4) {
                // A booking of the room later in the week, in one of every state.
                const char* stati[] = {"C", "O", "D", "C", "A", "N"};
                const char* stato = stati[uniform(0, 5)];
                const int arrivo = uniform(1, 6);
                const std::int64_t numeroPrenotazione = ++prenotazione;
                files.add("Camere_Prenotazione", colonnePrenotazione,
                          {n(b.hotel), n(numeroPrenotazione), t(numero), t(chiave(arrivo)),
                           t(chiave(arrivo + uniform(1, 7))), t(stato), n(uniform(1, 3)),
                           t(arrangiamenti[static_cast<std::size_t>(uniform(0, 3))]),
                           uniform(0, 2) == 0 ? db::writer::Cell{}
                                              : t(kNote[static_cast<std::size_t>(uniform(0, 5))])});
                files.add("Scheda_Prenotazione",
                          {"NumeroHotel", "NumeroPrenotazione", "TipoPrenotazione", "NomeCliente",
                           "Ditta"},
                          {n(b.hotel), n(numeroPrenotazione), t(stato), t(nome()),
                           uniform(0, 1) ? t(kDitte[static_cast<std::size_t>(uniform(0, 5))])
                                         : db::writer::Cell{}});
            }
        }
    }

    // Print configuration of hotel 1: raw output to a file, an office printer and a PDF.
    const std::vector<std::string> colonneStampanti = {"NumeroHotel", "Destinazione", "TipoStampa",
                                                       "Linea"};
    files.add("Stampanti", colonneStampanti, {n(1), t("Su file"), n(1), t("stampa.txt")});
    files.add("Stampanti", colonneStampanti, {n(1), t("Laser ufficio"), n(2), t("Ufficio")});
    files.add("Stampanti", colonneStampanti, {n(1), t("PDF Archivio"), n(2), t("tableau.pdf")});
    // Raw: ESC @ and condensed (SI) or pica; 2 margin lines, pages of 66 lines.
    files.add("SetStampa", {"TipoStampa", "Compresso", "Grassetto"},
              {n(1), t("027064027015000000027064027018000000"),
               t("000000000000000002066066000000000000")});
    // Page printer: 7 pt condensed, 9 pt normal, one margin line.
    files.add("SetStampa", {"TipoStampa", "Compresso", "Grassetto"},
              {n(2), t("  7000000000000  1  9000000000000000"),
               t("000000000000000001072066000000000000")});
    files.add("Contatori", {"NumeroHotel", "LungPagComp", "LungPagNoComp"}, {n(1), n(80), n(60)});
    files.add("Contatori", {"NumeroHotel", "LungPagComp", "LungPagNoComp"}, {n(2), n(72), n(60)});

    files.commit();
}

void scriviHotelDemoJet(const std::filesystem::path& cartellaDati, const routines::Data& oggi) {
    const CartellaTemporanea sqlite;
    scriviHotelDemo(sqlite.path(), oggi);
    std::filesystem::create_directories(cartellaDati);
    std::set<std::string_view> fatti;
    for (const auto& table : db::hotelSchema()) {
        if (fatti.insert(table.file).second) {
            db::writer::ConvertHotelFileToJet(sqlite.path() / table.file,
                                              cartellaDati / table.file);
        }
    }
}

}  // namespace tableau::tools
