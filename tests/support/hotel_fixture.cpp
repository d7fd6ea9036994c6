#include "support/hotel_fixture.h"

#include <vector>

#include "db/hotel_schema.h"

namespace tableau::test {

HotelFixture::HotelFixture() {
    db::writer::CreateHotelFiles(temp_.path());
}

void HotelFixture::add(const std::string& table,
                       std::initializer_list<std::pair<std::string, db::writer::Cell>> values) {
    const auto& description = db::tableDescription(table);
    db::writer::SqliteWriter writer(temp_.path() / std::string(description.file));
    std::vector<std::string> columns;
    std::vector<db::writer::Cell> cells;
    for (const auto& [column, cell] : values) {
        columns.push_back(column);
        cells.push_back(cell);
    }
    writer.insert(table, columns, cells);
}

void HotelFixture::hotel(int numero, const std::string& nome, const std::string& assistenza) {
    add("AnagraficaHotels", {{"Numero", std::int64_t{numero}},
                             {"RagioneSociale", nome},
                             {"CodiceAssistenza", assistenza}});
}

void HotelFixture::tableau(int hotel, int codice, const std::string& descrizione) {
    add("Tableau", {{"NumeroHotel", std::int64_t{hotel}},
                    {"Codice", std::int64_t{codice}},
                    {"Descrizione", descrizione}});
}

void HotelFixture::camera(int hotel, int tableau, const std::string& numero,
                          const std::string& tipo, int posti) {
    add("NumeriCamere", {{"NumeroHotel", std::int64_t{hotel}},
                         {"NumeroTableau", std::int64_t{tableau}},
                         {"NumeroCamera", numero},
                         {"TipoCamera", tipo},
                         {"PostiLetto", std::int64_t{posti}}});
}

void HotelFixture::tipoCamera(const std::string& sigla, const std::string& tipologia) {
    add("TipiCamere", {{"Sigla", sigla}, {"Tipologia", tipologia}});
}

}  // namespace tableau::test
