#include "print/print_job.h"

#include "db/data_source.h"
#include "db/database.h"
#include "print/chart_lines.h"
#include "print/page_output.h"
#include "print/print_settings.h"
#include "print/raw_output.h"

namespace tableau::print {

std::string EseguiStampa(const routines::Postazione& postazione, const OpzioniStampa& opzioni,
                         ServizioStampanti& stampanti) {
    const std::filesystem::path& cartellaDati = postazione.cartellaDati();
    const ImpostazioniStampa imp = RisolviImpostazioni(cartellaDati, opzioni);
    // The chart is read before any output is chosen or opened, so that a missing chart
    // leaves the printers and the output untouched.
    const auto righe = LeggiRigheTableau(postazione);
    if (imp.stampanteGrafica()) {
        std::string dove = ScegliStampanteUscita(cartellaDati, imp, stampanti);
        StampaSuPagine(righe, imp, opzioni, stampanti);
        return dove;
    }
    const auto uscita = ApriUscitaGrezza(cartellaDati, imp.uscita);
    ScriviTestoGrezzo(righe, imp, opzioni, *uscita);
    uscita->chiudi();
    return uscita->destinazione();
}

std::vector<std::string> StampantiInstallate(const ServizioStampanti& stampanti) {
    return stampanti.stampantiInstallate();
}

std::string LeggiCodiceAssistenza(const std::filesystem::path& cartellaDati) {
    db::DataSource origine(cartellaDati, std::nullopt);
    return LeggiCodiceAssistenza(origine);
}

std::string LeggiCodiceAssistenza(db::DataSource& origine) {
    const auto database = origine.open("AnagraficaHotels.mdb");
    auto alberghi = database->openTable("AnagraficaHotels");
    alberghi.findFirst(db::Criteria("Numero = ?", {db::Value::integer(1)}));
    return alberghi.noMatch() ? std::string() : alberghi.field("CodiceAssistenza").asText();
}

std::vector<std::string> ElencoDestinazioni(const std::filesystem::path& cartellaDati) {
    const auto database = db::OpenDatabase(cartellaDati, "Stampanti.mdb");
    auto righe = database->openTable("Stampanti");
    const db::Criteria criterio("NumeroHotel = ?", {db::Value::integer(1)});
    std::vector<std::string> destinazioni;
    for (righe.findFirst(criterio); !righe.noMatch(); righe.findNext(criterio)) {
        destinazioni.push_back(righe.field("Destinazione").asText());
    }
    return destinazioni;
}

}  // namespace tableau::print
