#include "print/output_conversions.h"

namespace tableau::print {
namespace {

char Sostituto(unsigned char codice) {
    switch (codice) {
        case 180:
            return '\'';
        case 192:
            return '\xE0';  // À -> à
        case 200:
            return '\xE8';  // È -> è
        case 201:
            return '\xE9';  // É -> é
        case 204:
            return '\xEC';  // Ì -> ì
        case 217:
            return '\xF9';  // Ù -> ù
        case 210:
            return '\xF2';  // Ò -> ò
        case 187:
        case 188:
        case 191:
        case 193:
        case 194:
        case 196:
        case 197:
        case 202:
        case 203:
        case 206:
        case 218:
            return '-';
        case 179:
        case 183:
        case 186:
        case 195:
            return '|';
        default:
            return static_cast<char>(codice);
    }
}

constexpr char kInterruttoreGrassetto = '\xE7';  // ç
constexpr double kPassoGrassetto = 0.4;

}  // namespace

std::string Converti2(std::string_view riga) {
    std::string risultato(riga);
    for (char& c : risultato) {
        c = Sostituto(static_cast<unsigned char>(c));
    }
    return risultato;
}

void StampaLaser(std::string_view riga, ServizioStampanti& stampante) {
    std::string inSospeso;
    bool grassetto = false;
    for (const char c : riga) {
        if (c != kInterruttoreGrassetto) {
            inSospeso += c;
            continue;
        }
        grassetto = !grassetto;
        stampante.stampaTesto(inSospeso);
        inSospeso.clear();
        const double dimensione = stampante.dimensioneFont();
        stampante.impostaDimensioneFont(grassetto ? dimensione - kPassoGrassetto
                                                  : dimensione + kPassoGrassetto);
        stampante.impostaGrassetto(grassetto);
    }
    stampante.stampaRiga(inSospeso);
}

}  // namespace tableau::print
