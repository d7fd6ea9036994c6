#include "spread_hotel.h"

#include <cstdint>
#include <limits>
#include <numeric>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "db/hotel_schema.h"
#include "hotel_files.h"
#include "large_hotel.h"

namespace tableau::bench {
namespace {

// 1..righe in an order of their own: a Fisher-Yates shuffle over the generator's raw
// output, which the standard fixes, so every machine writes the same hotel.
std::vector<std::int64_t> codiciMescolati(std::mt19937& random, int righe) {
    std::vector<std::int64_t> codici(static_cast<std::size_t>(righe));
    std::iota(codici.begin(), codici.end(), std::int64_t{1});
    for (std::size_t i = codici.size(); i > 1; --i) {
        std::swap(codici[i - 1], codici[random() % i]);
    }
    return codici;
}

void scriviHotelSparso(const std::filesystem::path& cartellaDati, int righe) {
    ScrittoriHotel writer(cartellaDati);
    const auto n = [](std::int64_t v) { return db::writer::Cell{v}; };
    const auto t = [](std::string v) { return db::writer::Cell{std::move(v)}; };
    const auto chiave = [](int giorno) {
        return routines::ChiaveData(routines::AggiungiGiorni(kPrimoGiorno, giorno));
    };
    constexpr int kSenzaFine = std::numeric_limits<int>::max();
    std::mt19937 random(20261208);
    scriviCamereEArrangiamenti(writer);

    // Every guest row has a code of its own, in registration order a shuffled one. A family
    // of three is headed by its first member; one stay in five belongs to a group whose
    // head may be any client.
    const std::vector<std::int64_t> codici = codiciMescolati(random, righe);
    std::size_t prossimo = 0;
    for (const auto& s : soggiorni(random, righe, false, kSenzaFine)) {
        const std::int64_t capoFamiglia = s.persone == 3 ? codici[prossimo] : 0;
        const std::int64_t capoGruppo =
            std::uniform_int_distribution<int>(0, 4)(random) == 0
                ? std::uniform_int_distribution<std::int64_t>(1, righe)(random)
                : 0;
        for (int c = 1; c <= s.persone; ++c) {
            const std::int64_t codice = codici[prossimo++];
            writer("Scheda_Cliente")
                .insert("Scheda_Cliente",
                        {"NumeroHotel", "NumeroCamera", "DataArrivo", "DataPartenza", "Partito",
                         "NumeroProgressivo", "NumeroComponente", "CodiceCapoFamiglia",
                         "CodiceCapoGruppo", "NomeCliente"},
                        {n(1), t(numeroCamera(s.camera)), t(chiave(s.arrivo)),
                         t(chiave(s.arrivo + s.notti)), t("N"), n(codice), n(c), n(capoFamiglia),
                         n(capoGruppo), t("Ospite " + std::to_string(codice))});
        }
    }
    // One arrangement and one company for every client code, in code order.
    for (std::int64_t codice = 1; codice <= righe; ++codice) {
        writer("Arrangiamento")
            .insert("Arrangiamento", {"NumeroHotel", "CodiceCliente", "Arrangiamento"},
                    {n(1), n(codice), t(codiceArrangiamento(codice))});
    }
    for (std::int64_t codice = 1; codice <= righe; ++codice) {
        writer("Ditta_Intestataria")
            .insert("Ditta_Intestataria", {"NumeroHotel", "CodiceCliente", "RagioneSociale"},
                    {n(1), n(codice), t("Ditta " + std::to_string(codice))});
    }
    scriviPrenotazioni(writer, soggiorni(random, righe, true, kSenzaFine));
    writer.commit();
}

void copiaConIndici(const std::filesystem::path& da, const std::filesystem::path& a) {
    std::filesystem::remove_all(a);
    std::filesystem::copy(da, a);
    const std::pair<const char*, const char*> indici[] = {
        {"Arrangiamento", "CodiceCliente"},
        {"Ditta_Intestataria", "CodiceCliente"},
        {"Scheda_Prenotazione", "NumeroPrenotazione"},
        {"Scheda_Cliente", "DataArrivo"},
    };
    for (const auto& [tabella, colonna] : indici) {
        db::writer::SqliteWriter file(a / db::tableDescription(tabella).file);
        file.exec(std::string("CREATE INDEX ") + tabella + "_" + colonna + " ON " + tabella + "(" +
                  colonna + ")");
    }
}

}  // namespace

std::filesystem::path cartellaSparsa(const std::filesystem::path& directory) {
    return directory / "spread";
}

std::filesystem::path cartellaSparsaMeta(const std::filesystem::path& directory) {
    return directory / "spread-half";
}

std::filesystem::path cartellaSparsaIndici(const std::filesystem::path& directory) {
    return directory / "spread-indexed";
}

void scriviHotelSparsi(const std::filesystem::path& directory) {
    scriviHotelSparso(cartellaSparsa(directory), kRigheSparse);
    scriviHotelSparso(cartellaSparsaMeta(directory), kRigheSparse / 2);
    copiaConIndici(cartellaSparsa(directory), cartellaSparsaIndici(directory));
}

}  // namespace tableau::bench
