#include "print/print_settings.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>

#include "db/data_directory.h"
#include "db/database.h"
#include "routines/codepage.h"
#include "routines/environment.h"
#include "routines/numeric_value.h"
#include "routines/text.h"
#include "routines/text_file.h"

namespace tableau::print {
namespace {

constexpr const char* kFontPredefinito = "Courier New";
constexpr std::int16_t kLungPaginaPredefinita = 60;
constexpr std::int16_t kLungPaginaFilePredefinita = 66;

// A number rounded half to even into a 16-bit integer, as the settings are kept.
std::int16_t Intero16(double valore, std::string_view cosa) {
    const double arrotondato = std::nearbyint(valore);
    if (!(arrotondato >= std::numeric_limits<std::int16_t>::min() &&
          arrotondato <= std::numeric_limits<std::int16_t>::max())) {
        throw ErroreStampa("Valore fuori intervallo per " + std::string(cosa) + ": " +
                           std::to_string(valore));
    }
    return static_cast<std::int16_t>(arrotondato);
}

}  // namespace

std::array<double, 12> DodiciValori(std::string_view testo) {
    std::array<double, 12> valori{};
    for (std::size_t i = 0; i < valori.size(); ++i) {
        const std::size_t inizio = 3 * i;
        if (inizio < testo.size()) {
            valori[i] = routines::ValoreNumerico(testo.substr(inizio, 3));
        }
    }
    return valori;
}

std::string LeggiFontStampa(const std::filesystem::path& cartellaDati) {
    const auto file = db::FindFileIgnoringCase(cartellaDati, "FontStp.txt");
    if (!file || !std::filesystem::is_regular_file(*file)) {
        return kFontPredefinito;
    }
    std::ifstream in(*file, std::ios::binary);
    const std::string testo((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto righe = routines::RigheDelTesto(testo);
    const std::string font = righe.empty() ? std::string() : routines::TogliSpazi(righe.front());
    return font.empty() ? kFontPredefinito : font;
}

ImpostazioniStampa RisolviImpostazioni(const std::filesystem::path& cartellaDati,
                                       const OpzioniStampa& opzioni) {
    ImpostazioniStampa imp;
    imp.fontStampa = LeggiFontStampa(cartellaDati);

    {
        const auto contatori = db::OpenDatabase(cartellaDati, "Contatori.mdb");
        auto righe = contatori->openTable("Contatori");
        righe.findFirst(
            db::Criteria("NumeroHotel = ?", {db::Value::integer(opzioni.hotelCorrente)}));
        if (righe.noMatch()) {
            imp.lungPagina = kLungPaginaPredefinita;
        } else {
            const auto& campo = righe.field(opzioni.compressa ? "LungPagComp" : "LungPagNoComp");
            imp.lungPagina = Intero16(campo.asNumber(), "LungPagina");
        }
    }

    const auto stampanti = db::OpenDatabase(cartellaDati, "Stampanti.mdb");
    auto destinazioni = stampanti->openTable("Stampanti");
    auto setStampa = stampanti->openTable("SetStampa");
    destinazioni.findFirst(
        db::Criteria("Destinazione = ?", {db::Value::text(opzioni.destinazione)}));
    if (destinazioni.noMatch()) {
        throw ErroreStampa("La destinazione \"" + routines::InUtf8(opzioni.destinazione) +
                           "\" non \xC3\xA8 configurata nella tabella Stampanti");
    }
    imp.tipoStampa = Intero16(destinazioni.field("TipoStampa").asNumber(), "TipoStampa");

    setStampa.findFirst(db::Criteria("TipoStampa = ?", {db::Value::integer(imp.tipoStampa)}));
    if (setStampa.noMatch()) {
        imp.lungPaginaFile = kLungPaginaFilePredefinita;
        imp.righeMargine = 0;
    } else {
        imp.c = DodiciValori(setStampa.field("Compresso").asText());
        const auto grassetto = DodiciValori(setStampa.field("Grassetto").asText());
        for (std::size_t i = 0; i < grassetto.size(); ++i) {
            imp.g[i] = Intero16(grassetto[i], "Grassetto");
        }
        imp.lungPaginaFile = opzioni.compressa ? imp.G(7) : imp.G(8);
        imp.righeMargine = imp.G(6);
    }

    const std::string nome = destinazioni.field("Destinazione").asText();
    const auto variabile = routines::VariabileAmbiente(nome);
    imp.uscita =
        variabile && !variabile->empty() ? *variabile : destinazioni.field("Linea").asText();
    if (!routines::TogliSpazi(opzioni.stampante).empty()) {
        imp.uscita = opzioni.stampante;
    }
    return imp;
}

}  // namespace tableau::print
