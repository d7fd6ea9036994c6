#include "db/hotel_schema.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "routines/text.h"

namespace tableau::db {

const std::vector<TableDescription>& hotelSchema() {
    using enum ColumnType;
    static const std::vector<TableDescription> schema = {
        {"AnagraficaHotels.mdb",
         "AnagraficaHotels",
         {{"Numero", Integer}, {"RagioneSociale", Text}, {"CodiceAssistenza", Text}}},
        {"Tableau.mdb",
         "Tableau",
         {{"NumeroHotel", Integer}, {"Codice", Integer}, {"Descrizione", Text}}},
        {"NumeriCamere.mdb",
         "NumeriCamere",
         {{"NumeroHotel", Integer},
          {"NumeroTableau", Integer},
          {"NumeroCamera", Text},
          {"TipoCamera", Text},
          {"PostiLetto", Integer}}},
        {"TipiCamere.mdb", "TipiCamere", {{"Sigla", Text}, {"Tipologia", Text}}},
        {"Scheda_Cliente.mdb",
         "Scheda_Cliente",
         {{"NumeroHotel", Integer},
          {"NumeroCamera", Text},
          {"DataArrivo", Text},
          {"DataPartenza", Text},
          {"Partito", Text},
          {"NumeroProgressivo", Integer},
          {"NumeroComponente", Integer},
          {"CodiceCapoFamiglia", Integer},
          {"CodiceCapoGruppo", Integer},
          {"NomeCliente", Text}}},
        {"Ditta_Intestataria.mdb",
         "Ditta_Intestataria",
         {{"NumeroHotel", Integer}, {"CodiceCliente", Integer}, {"RagioneSociale", Text}}},
        {"Arrangiamento.mdb",
         "Arrangiamento",
         {{"NumeroHotel", Integer}, {"CodiceCliente", Integer}, {"Arrangiamento", Text}}},
        {"Arrangiamenti.mdb",
         "NomiArrangiamenti",
         {{"NumeroHotel", Integer}, {"Sigla", Text}, {"Tipo", Text}}},
        {"Camere_Prenotazione.mdb",
         "Camere_Prenotazione",
         {{"NumeroHotel", Integer},
          {"NumeroPrenotazione", Integer},
          {"NumeroCamera", Text},
          {"DataArrivo", Text},
          {"DataPartenza", Text},
          {"TipoPrenotazione", Text},
          {"NumeroPersone", Integer},
          {"Trattamento", Text},
          {"Note", Text}}},
        {"Scheda_Prenotazione.mdb",
         "Scheda_Prenotazione",
         {{"NumeroHotel", Integer},
          {"NumeroPrenotazione", Integer},
          {"TipoPrenotazione", Text},
          {"NomeCliente", Text},
          {"Ditta", Text}}},
        {"Stampanti.mdb",
         "Stampanti",
         {{"NumeroHotel", Integer},
          {"Destinazione", Text},
          {"TipoStampa", Integer},
          {"Linea", Text}}},
        {"Stampanti.mdb",
         "SetStampa",
         {{"TipoStampa", Integer}, {"Compresso", Text}, {"Grassetto", Text}}},
        {"Contatori.mdb",
         "Contatori",
         {{"NumeroHotel", Integer}, {"LungPagComp", Integer}, {"LungPagNoComp", Integer}}},
    };
    return schema;
}

const TableDescription& tableDescription(std::string_view table) {
    for (const auto& t : hotelSchema()) {
        if (t.table == table) {
            return t;
        }
    }
    throw std::out_of_range("unknown table " + std::string(table));
}

bool HasField(const std::vector<std::string>& fieldNames, std::string_view field) {
    return std::any_of(fieldNames.begin(), fieldNames.end(),
                       [&](const std::string& name) { return routines::StessoNome(name, field); });
}

std::vector<std::string_view> MissingFields(const TableDescription& description,
                                            const std::vector<std::string>& fieldNames) {
    std::vector<std::string_view> missing;
    for (const auto& column : description.columns) {
        if (!HasField(fieldNames, column.name)) {
            missing.push_back(column.name);
        }
    }
    return missing;
}

std::string MissingFieldMessage(std::string_view file, std::string_view table,
                                std::string_view field) {
    return std::string(file) + ": Campo \"" + std::string(field) + "\" non trovato nella tabella " +
           std::string(table);
}

}  // namespace tableau::db
