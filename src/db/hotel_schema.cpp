#include "db/hotel_schema.h"

#include <stdexcept>
#include <string>

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

}  // namespace tableau::db
