#include "routines/message_layout.h"

#include <algorithm>
#include <limits>

namespace tableau::routines {
namespace {

constexpr int kLimite16 = std::numeric_limits<std::int16_t>::max();
constexpr int kDistanzaTasti = 70;

bool SiNoConFuoco(TipoMessaggio tipo) {
    return tipo == TipoMessaggio::siNo || tipo == TipoMessaggio::siNoDomanda;
}
bool SiNoSenzaFuoco(TipoMessaggio tipo) {
    const auto codice = static_cast<std::int16_t>(tipo);
    return codice >= static_cast<std::int16_t>(TipoMessaggio::siNoSenzaFuoco) &&
           codice <= static_cast<std::int16_t>(TipoMessaggio::siNoSenzaFuocoUltimo);
}
bool SiNo(TipoMessaggio tipo) {
    return SiNoConFuoco(tipo) || SiNoSenzaFuoco(tipo);
}
bool SiNoAnnulla(TipoMessaggio tipo) {
    return tipo == TipoMessaggio::siNoAnnullaDomanda || tipo == TipoMessaggio::siNoAnnullaAvviso;
}
bool SoloOk(TipoMessaggio tipo) {
    return tipo == TipoMessaggio::ok || tipo == TipoMessaggio::okAvviso;
}

int Prodotto16(int a, int b, const char* cosa) {
    const long long prodotto = static_cast<long long>(a) * b;
    if (prodotto > kLimite16) {
        throw ErroreOverflow(std::string("Il messaggio \xE8 troppo ") + cosa +
                             " per la finestra dei messaggi.");
    }
    return static_cast<int>(prodotto);
}

}  // namespace

TastiMessaggio TastiPerTipo(TipoMessaggio tipo) {
    TastiMessaggio tasti;
    for (std::size_t i = 0; i < 3; ++i) {
        tasti.didascalie[i] = std::string(kDidascalieDefinite[i]);
        tasti.visibili[i] = true;
    }
    if (SoloOk(tipo)) {
        tasti.didascalie[0] = "Ok";
        tasti.visibili = {true, false, false};
    } else if (SiNo(tipo)) {
        tasti.didascalie[0] = "Si";
        tasti.didascalie[1] = "No";
        tasti.visibili = {true, true, false};
        tasti.fuocoSulPrimo = SiNoConFuoco(tipo);
    } else if (SiNoAnnulla(tipo)) {
        tasti.didascalie[0] = "Si";
        tasti.didascalie[1] = "No";
        tasti.visibili = {true, true, true};
        tasti.fuocoSulPrimo = true;
    }
    return tasti;
}

std::optional<Risposta> RispostaTastoPremuto(TastoMessaggio tasto, std::string_view didascalia) {
    switch (tasto) {
        case TastoMessaggio::conferma:
            if (didascalia == "Ok") {
                return Risposta::ok;
            }
            if (didascalia == "Si") {
                return Risposta::si;
            }
            return std::nullopt;
        case TastoMessaggio::no:
            return Risposta::no;
        case TastoMessaggio::annulla:
            return Risposta::annulla;
    }
    return std::nullopt;
}

std::int16_t CalcolaRighe(std::string_view testo) {
    const auto ritorni = std::count(testo.begin(), testo.end(), '\r');
    if (ritorni + 2 > kLimite16) {
        throw ErroreOverflow("Il messaggio ha troppe righe per la finestra dei messaggi.");
    }
    return static_cast<std::int16_t>(ritorni + 2);
}

std::int16_t CalcolaColonne(std::string_view testo) {
    std::size_t piuLunga = 0;
    std::size_t corrente = 0;
    for (const char c : testo) {
        if (c == '\r') {
            corrente = 0;
        } else {
            piuLunga = std::max(piuLunga, ++corrente);
        }
    }
    const std::size_t colonne = std::max<std::size_t>(50, piuLunga) + 1;
    if (colonne > static_cast<std::size_t>(kLimite16)) {
        throw ErroreOverflow("Il messaggio \xE8 troppo largo per la finestra dei messaggi.");
    }
    return static_cast<std::int16_t>(colonne);
}

LayoutMessaggio CalcolaLayout(std::string_view testo, TipoMessaggio tipo) {
    LayoutMessaggio layout;
    layout.titolo = kTitolo;
    layout.testo = kTesto;
    layout.tasti = kTasti;

    // The buttons are placed against the window's width before it takes the text's size.
    auto& tasti = layout.tasti;
    const int larghezzaTasto = tasti[0].width;
    if (SoloOk(tipo)) {
        tasti[0].left = (kLarghezzaFinestra - larghezzaTasto) / 2;
    } else if (SiNo(tipo)) {
        tasti[0].left = (kLarghezzaFinestra - (2 * larghezzaTasto + kDistanzaTasti)) / 2;
        tasti[1].left = tasti[0].left + tasti[0].width + kDistanzaTasti;
    } else if (SiNoAnnulla(tipo)) {
        tasti[0].left = (kLarghezzaFinestra - (3 * larghezzaTasto + 2 * kDistanzaTasti)) / 2;
        tasti[1].left = tasti[0].left + tasti[0].width + kDistanzaTasti;
        tasti[2].left = tasti[1].left + tasti[1].width + kDistanzaTasti;
    }

    layout.righe = CalcolaRighe(testo);
    layout.colonne = CalcolaColonne(testo);
    layout.larghezza = Prodotto16(layout.colonne, 90, "largo");
    layout.titolo.width = layout.larghezza;
    layout.testo.width = layout.larghezza - 180;
    layout.testo.height = Prodotto16(layout.righe, 300, "lungo");
    layout.altezza = layout.testo.height + layout.titolo.height + tasti[0].height + 300;
    layout.cornice = {0, 0, layout.larghezza, layout.altezza};
    for (auto& tasto : tasti) {
        tasto.top = layout.testo.height + layout.testo.top + 100;
    }
    return layout;
}

}  // namespace tableau::routines
