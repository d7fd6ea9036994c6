#include "large_hotel.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "hotel_files.h"

namespace tableau::bench {

std::vector<Soggiorno> soggiorni(std::mt19937& random, int righe, bool unaRigaPerSoggiorno,
                                 int giorniStoria) {
    std::vector<Soggiorno> result;
    const int perCamera = righe / kCamere;
    for (int camera = 1; camera <= kCamere; ++camera) {
        int giorno = std::uniform_int_distribution<int>(0, 5)(random);
        for (int fatte = 0; fatte < perCamera;) {
            const int notti = std::uniform_int_distribution<int>(1, 6)(random);
            const int persone =
                unaRigaPerSoggiorno
                    ? 1
                    : std::min(std::uniform_int_distribution<int>(1, 3)(random), perCamera - fatte);
            result.push_back({camera, giorno % giorniStoria, notti, persone});
            fatte += persone;
            giorno += notti + std::uniform_int_distribution<int>(0, 2)(random);
        }
    }
    std::stable_sort(result.begin(), result.end(),
                     [](const Soggiorno& a, const Soggiorno& b) { return a.arrivo < b.arrivo; });
    return result;
}

std::string numeroCamera(int i) {
    char out[8];
    std::snprintf(out, sizeof out, "%04d", i);
    return out;
}

void scriviPrenotazioni(ScrittoriHotel& writer, const std::vector<Soggiorno>& stays) {
    const auto n = [](std::int64_t v) { return db::writer::Cell{v}; };
    const auto t = [](std::string v) { return db::writer::Cell{std::move(v)}; };
    const auto chiave = [](int giorno) {
        return routines::ChiaveData(routines::AggiungiGiorni(kPrimoGiorno, giorno));
    };
    std::int64_t prenotazione = 0;
    for (const auto& s : stays) {
        ++prenotazione;
        writer("Camere_Prenotazione")
            .insert(
                "Camere_Prenotazione",
                {"NumeroHotel", "NumeroPrenotazione", "NumeroCamera", "DataArrivo", "DataPartenza",
                 "TipoPrenotazione", "NumeroPersone", "Trattamento", "Note"},
                {n(1), n(prenotazione), t(numeroCamera(s.camera)), t(chiave(s.arrivo)),
                 t(chiave(s.arrivo + s.notti)), t("C"), n(2), t(codiceArrangiamento(prenotazione)),
                 t("*nota " + std::to_string(prenotazione % 100) + "*")});
        writer("Scheda_Prenotazione")
            .insert(
                "Scheda_Prenotazione",
                {"NumeroHotel", "NumeroPrenotazione", "TipoPrenotazione", "NomeCliente", "Ditta"},
                {n(1), n(prenotazione), t("C"), t("Cliente " + std::to_string(prenotazione)),
                 t("Agenzia " + std::to_string(prenotazione % 50))});
    }
}

void scriviHotelGrande(const std::filesystem::path& cartellaDati, int volte) {
    ScrittoriHotel writer(cartellaDati);
    const auto n = [](std::int64_t v) { return db::writer::Cell{v}; };
    const auto t = [](std::string v) { return db::writer::Cell{std::move(v)}; };
    const auto chiave = [](int giorno) {
        return routines::ChiaveData(routines::AggiungiGiorni(kPrimoGiorno, giorno));
    };
    std::mt19937 random(20261208);
    scriviCamereEArrangiamenti(writer);

    std::int64_t progressivo = 0;
    for (const auto& s : soggiorni(random, kRigheOspiti * volte, false, kGiorniStoria * volte)) {
        const std::int64_t primo = progressivo + 1;
        const bool famiglia = s.persone == 3;
        for (int c = 1; c <= s.persone; ++c) {
            ++progressivo;
            writer("Scheda_Cliente")
                .insert(
                    "Scheda_Cliente",
                    {"NumeroHotel", "NumeroCamera", "DataArrivo", "DataPartenza", "Partito",
                     "NumeroProgressivo", "NumeroComponente", "CodiceCapoFamiglia",
                     "CodiceCapoGruppo", "NomeCliente"},
                    {n(1), t(numeroCamera(s.camera)), t(chiave(s.arrivo)),
                     t(chiave(s.arrivo + s.notti)), t("N"), n(progressivo), n(c),
                     n(famiglia ? primo : 0), n(0), t("Ospite " + std::to_string(progressivo))});
        }
        writer("Arrangiamento")
            .insert("Arrangiamento", {"NumeroHotel", "CodiceCliente", "Arrangiamento"},
                    {n(1), n(primo), t(codiceArrangiamento(primo))});
        if (primo % 10 == 0) {
            writer("Ditta_Intestataria")
                .insert("Ditta_Intestataria", {"NumeroHotel", "CodiceCliente", "RagioneSociale"},
                        {n(1), n(primo), t("Ditta " + std::to_string(primo))});
        }
    }
    scriviPrenotazioni(writer,
                       soggiorni(random, kRighePrenotazioni * volte, true, kGiorniStoria * volte));
    writer.commit();
}

}  // namespace tableau::bench
