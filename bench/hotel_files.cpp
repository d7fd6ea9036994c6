#include "hotel_files.h"

#include <array>
#include <cstdint>
#include <utility>

#include "db/hotel_schema.h"
#include "large_hotel.h"

namespace tableau::bench {

ScrittoriHotel::ScrittoriHotel(std::filesystem::path cartellaDati)
    : cartellaDati_(std::move(cartellaDati)) {
    std::filesystem::remove_all(cartellaDati_);
    db::writer::CreateHotelFiles(cartellaDati_);
}

db::writer::SqliteWriter& ScrittoriHotel::operator()(std::string_view table) {
    const std::string file(db::tableDescription(table).file);
    auto& w = writers_[file];
    if (!w) {
        w = std::make_unique<db::writer::SqliteWriter>(cartellaDati_ / file);
        w->exec("PRAGMA journal_mode=OFF");
        w->exec("PRAGMA synchronous=OFF");
        w->begin();
    }
    return *w;
}

void ScrittoriHotel::commit() {
    for (auto& [file, w] : writers_) {
        w->commit();
    }
}

void scriviCamereEArrangiamenti(ScrittoriHotel& writer) {
    const auto n = [](std::int64_t v) { return db::writer::Cell{v}; };
    const auto t = [](std::string v) { return db::writer::Cell{std::move(v)}; };
    writer("AnagraficaHotels")
        .insert("AnagraficaHotels", {"Numero", "RagioneSociale", "CodiceAssistenza"},
                {n(1), t("Grand Hotel Benchmark"), t("")});
    writer("Tableau").insert("Tableau", {"NumeroHotel", "Codice", "Descrizione"},
                             {n(1), n(1), t("Tutte le camere")});
    for (int i = 1; i <= kCamere; ++i) {
        writer("NumeriCamere")
            .insert("NumeriCamere",
                    {"NumeroHotel", "NumeroTableau", "NumeroCamera", "TipoCamera", "PostiLetto"},
                    {n(1), n(1), t(numeroCamera(i)), t("DBL"), n(3)});
    }
    writer("TipiCamere").insert("TipiCamere", {"Sigla", "Tipologia"}, {t("DBL"), t("C")});
    for (const auto& [sigla, tipo] :
         {std::pair{"BB", "C"}, {"MP", "M"}, {"PC", "P"}, {"SO", "N"}}) {
        writer("NomiArrangiamenti")
            .insert("NomiArrangiamenti", {"NumeroHotel", "Sigla", "Tipo"},
                    {n(1), t(sigla), t(tipo)});
    }
}

const char* codiceArrangiamento(std::int64_t codice) {
    static constexpr std::array<const char*, 4> kCodici = {"BB", "MP", "PC", "SO"};
    return kCodici[static_cast<std::size_t>(codice % 4)];
}

}  // namespace tableau::bench
