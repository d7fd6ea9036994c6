#include "chart/chart_reader.h"

#include <algorithm>
#include <charconv>

#include "chart/chart_file.h"
#include "routines/codepage.h"
#include "routines/text.h"
#include "routines/text_file.h"

namespace tableau::chart {
namespace {

// The room column and the seven cells of a grid line.
using Colonne = std::array<std::string_view, 1 + kGiorniTableau>;

constexpr std::size_t kLarghezzaColonnaCamera = 5;
constexpr std::size_t kLarghezzaCodice = 6;  // the note starts at the cell's 7th character

struct Stato {
    StatoSoggiorno stato;
    std::string_view testo;
};
constexpr std::array<Stato, 4> kStati = {{{StatoSoggiorno::arrivata, "(arrivata)"},
                                          {StatoSoggiorno::inFermata, "(in fermata)"},
                                          {StatoSoggiorno::inArrivo, "(in arrivo)"},
                                          {StatoSoggiorno::prenotata, "(prenotata)"}}};

bool Verticale(char c) {
    return c == kLineaVerticale || c == '|' || c == kDiramazioneSinistra;
}

bool Vuota(std::string_view riga) {
    return riga.find_first_not_of(' ') == std::string_view::npos;
}

// A frame line without text: horizontal rules and their crossings, as written or as the
// preview saves them.
bool Bordo(std::string_view riga) {
    static constexpr std::string_view kOrizzontali = "\xC4\xC2\xBF\xC5\xC1\xD9-+";
    bool linea = false;
    for (const char c : riga) {
        if (kOrizzontali.find(c) != std::string_view::npos) {
            linea = true;
        } else if (c != ' ' && !Verticale(c)) {
            return false;
        }
    }
    return linea;
}

std::string Pulito(std::string_view testo) {
    return routines::TogliSpazi(testo);
}

// A grid line cut at its vertical lines: at their places when they are all there, else at
// whatever vertical lines the line holds (a cell typed wider or narrower), which must then
// be eight with nothing but blanks after the last.
std::optional<Colonne> DividiRiga(std::string_view riga) {
    Colonne colonne;
    bool alLoroPosto = riga.size() == kLarghezzaRiga && Verticale(riga.back());
    for (std::size_t g = 0; alLoroPosto && g < kGiorniTableau; ++g) {
        alLoroPosto = Verticale(riga[InizioCella(g) - 1]);
    }
    if (alLoroPosto) {
        colonne[0] = riga.substr(0, kLarghezzaColonnaCamera);
        for (std::size_t g = 0; g < kGiorniTableau; ++g) {
            colonne[g + 1] = riga.substr(InizioCella(g), kLarghezzaCella);
        }
        return colonne;
    }
    std::vector<std::size_t> linee;
    for (std::size_t i = 0; i < riga.size(); ++i) {
        if (Verticale(riga[i])) {
            linee.push_back(i);
        }
    }
    if (linee.size() != kGiorniTableau + 1 || !Vuota(riga.substr(linee.back() + 1))) {
        return std::nullopt;
    }
    colonne[0] = riga.substr(0, linee[0]);
    for (std::size_t g = 0; g < kGiorniTableau; ++g) {
        const std::size_t inizio = linee[g] + 1;
        colonne[g + 1] = riga.substr(inizio, linee[g + 1] - inizio);
    }
    return colonne;
}

// An integer written in decimal, blanks around it allowed.
std::optional<long> Numero(std::string_view testo) {
    const std::string cifre = Pulito(testo);
    long valore = 0;
    const auto [fine, errore] = std::from_chars(cifre.data(), cifre.data() + cifre.size(), valore);
    if (cifre.empty() || errore != std::errc() || fine != cifre.data() + cifre.size()) {
        return std::nullopt;
    }
    return valore;
}

}  // namespace

// A state text cut by a narrow cell (" (32767)(in arriv") is the state it is the start of,
// when only one state starts so.
StatoSoggiorno StatoDelTesto(std::string_view testo) {
    if (testo.empty()) {
        return StatoSoggiorno::nessuno;
    }
    std::optional<StatoSoggiorno> trovato;
    for (const Stato& s : kStati) {
        if (s.testo == testo) {
            return s.stato;
        }
        if (testo.size() > 1 && s.testo.starts_with(testo)) {
            if (trovato) {
                return StatoSoggiorno::altro;
            }
            trovato = s.stato;
        }
    }
    return trovato.value_or(StatoSoggiorno::altro);
}

namespace {

class LettoreFile {
  public:
    LettoreFile(std::string_view testo, std::string_view nomeFile)
        : righe_(routines::RigheDelTesto(testo)), nomeFile_(nomeFile) {
        // Blank lines after the chart (an editor's final line ends) do not belong to it.
        while (!righe_.empty() && Vuota(righe_.back())) {
            righe_.pop_back();
        }
    }

    TableauLetto leggi() {
        TableauLetto tableau;
        leggiTitolo(tableau);
        attendiBordo("la linea sopra i giorni");
        leggiIntestazione(tableau);
        attendiBordo("la linea sotto le date");
        while (true) {
            const std::string_view riga = prossima("le righe dei totali");
            const Colonne colonne = dividi(riga);
            if (Pulito(colonne[1]).starts_with("CC =")) {
                leggiTotali(tableau, colonne);
                break;
            }
            tableau.camere.push_back(leggiCamera(tableau, colonne));
        }
        if (indice_ < righe_.size() && Bordo(righe_[indice_])) {
            ++indice_;  // the bottom line, which an edit may have taken away
        }
        if (indice_ < righe_.size()) {
            ++indice_;
            errore("dopo i totali il tableau \xC3\xA8 finito, ma il file continua");
        }
        return tableau;
    }

  private:
    [[noreturn]] void errore(std::string_view motivo) const {
        throw ErroreFileTableau(nomeFile_, indice_, motivo);
    }

    // The next line, counted for the messages; `attesa` names what the end of the file
    // leaves out.
    std::string_view prossima(std::string_view attesa) {
        if (indice_ >= righe_.size()) {
            indice_ = std::max<std::size_t>(righe_.size(), 1);
            errore("il file finisce qui, senza " + std::string(attesa));
        }
        return righe_[indice_++];
    }

    Colonne dividi(std::string_view riga) const {
        auto colonne = DividiRiga(riga);
        if (!colonne) {
            errore(
                "le linee verticali non separano pi\xC3\xB9 la colonna delle camere e i sette "
                "giorni");
        }
        return *colonne;
    }

    void attendiBordo(std::string_view quale) {
        if (!Bordo(prossima(quale))) {
            errore("manca " + std::string(quale));
        }
    }

    void leggiTitolo(TableauLetto& tableau) {
        static constexpr std::string_view kHotel = "Hotel :";
        static constexpr std::string_view kTableau = " Tableau Tavornelide : ";
        static constexpr std::string_view kDal = " dal ";
        constexpr std::size_t kInizioGenerazione = 116;
        std::string_view riga = prossima("il titolo");
        if (riga.size() == kLarghezzaRiga) {
            tableau.generazione = Pulito(riga.substr(kInizioGenerazione));
            riga = riga.substr(0, kInizioGenerazione);
        }
        const std::size_t inizio = riga.find_first_not_of(' ');
        if (inizio == std::string_view::npos || !riga.substr(inizio).starts_with(kHotel)) {
            errore("manca il titolo che comincia con \"Hotel :\"");
        }
        const std::string_view testo = riga.substr(inizio + kHotel.size());
        const std::size_t marca = testo.find(kTableau);
        tableau.hotel = Pulito(testo.substr(0, marca));
        if (marca == std::string_view::npos) {
            return;
        }
        const std::string resto = Pulito(testo.substr(marca + kTableau.size()));
        const std::size_t dal = resto.rfind(kDal);
        if (dal == std::string::npos) {
            tableau.descrizione = resto;
            return;
        }
        tableau.descrizione = Pulito(std::string_view(resto).substr(0, dal));
        tableau.dataInizio = Pulito(std::string_view(resto).substr(dal + kDal.size()));
    }

    void leggiIntestazione(TableauLetto& tableau) {
        const Colonne nomi = dividi(prossima("i nomi dei giorni"));
        const Colonne date = dividi(prossima("le date"));
        for (std::size_t g = 0; g < kGiorniTableau; ++g) {
            GiornoIntestazione& giorno = tableau.giorni[g];
            giorno.nome = Pulito(nomi[g + 1]);
            giorno.testoData = Pulito(date[g + 1]);
            std::string data = giorno.testoData;
            if (routines::DataValida(data)) {
                giorno.data = routines::LeggiData(data);
            }
        }
    }

    CameraLetta leggiCamera(const TableauLetto& tableau, const Colonne& prima) {
        CameraLetta camera;
        camera.riga = indice_;
        camera.numero = Pulito(prima[0]);
        std::array<Colonne, 4> righe{prima};
        for (std::size_t r = 1; r < righe.size(); ++r) {
            const std::string_view riga = prossima("le righe della camera " + Utf8(camera.numero));
            if (Bordo(riga)) {
                errore("la camera " + Utf8(camera.numero) + " ha " + std::to_string(r) +
                       " righe invece di " + std::to_string(righe.size()));
            }
            righe[r] = dividi(riga);
        }
        camera.tipo = Pulito(righe[1][0]);
        camera.posti = Pulito(righe[2][0]);
        for (std::size_t g = 0; g < kGiorniTableau; ++g) {
            GiornoLetto& giorno = camera.giorni[g];
            const std::size_t colonna = g + 1;
            leggiPersone(giorno, righe[0][colonna], tableau.giorni[g], camera);
            giorno.nome = Pulito(righe[1][colonna]);
            giorno.ditta = Pulito(righe[2][colonna]);
            const std::string_view ultima = righe[3][colonna];
            // The code takes the first six characters and the note the rest, unless the
            // text runs on across them: a longer code without a note.
            const bool unTesto = ultima.size() > kLarghezzaCodice &&
                                 ultima[kLarghezzaCodice - 1] != ' ' &&
                                 ultima[kLarghezzaCodice] != ' ';
            const std::size_t taglio = unTesto ? ultima.size() : kLarghezzaCodice;
            giorno.codice = Pulito(ultima.substr(0, taglio));
            giorno.nota = Pulito(ultima.substr(std::min(taglio, ultima.size())));
        }
        const std::string_view chiusura =
            prossima("la linea che chiude la camera " + Utf8(camera.numero));
        if (!Bordo(chiusura)) {
            errore("manca la linea che chiude la camera " + Utf8(camera.numero));
        }
        return camera;
    }

    // " (2)(arrivata)": the persons in brackets, then the state.
    void leggiPersone(GiornoLetto& giorno, std::string_view cella,
                      const GiornoIntestazione& intestazione, const CameraLetta& camera) const {
        const std::string testo = Pulito(cella);
        if (testo.empty()) {
            return;
        }
        const std::size_t chiusa = testo.find(')');
        const auto persone = testo.starts_with('(') && chiusa != std::string::npos
                                 ? Numero(std::string_view(testo).substr(1, chiusa - 1))
                                 : std::nullopt;
        if (!persone) {
            throw ErroreFileTableau(
                nomeFile_, camera.riga,
                "il giorno " + Utf8(intestazione.nome) + " " + Utf8(intestazione.testoData) +
                    " della camera " + Utf8(camera.numero) +
                    " non comincia con il numero delle persone tra parentesi, come \"(2)\"");
        }
        giorno.persone = *persone;
        giorno.testoStato = Pulito(std::string_view(testo).substr(chiusa + 1));
        giorno.stato = StatoDelTesto(giorno.testoStato);
    }

    void leggiTotali(TableauLetto& tableau, const Colonne& primaRiga) {
        struct Classe {
            std::string_view sigla;
            std::array<long, kGiorniTableau>* totali;
        };
        const std::array<Classe, 3> classi = {{{"CC =", &tableau.totaleCC},
                                               {"MP =", &tableau.totaleMP},
                                               {"PC =", &tableau.totalePC}}};
        for (std::size_t c = 0; c < classi.size(); ++c) {
            const Colonne colonne =
                c == 0 ? primaRiga
                       : dividi(prossima("i totali " + std::string(classi[c].sigla.substr(0, 2))));
            for (std::size_t g = 0; g < kGiorniTableau; ++g) {
                const std::string cella = Pulito(colonne[g + 1]);
                const auto totale = cella.starts_with(classi[c].sigla)
                                        ? Numero(std::string_view(cella).substr(4))
                                        : std::nullopt;
                if (!totale) {
                    errore("il totale " + std::string(classi[c].sigla.substr(0, 2)) + " di " +
                           Utf8(tableau.giorni[g].nome) + " non \xC3\xA8 nella forma \"" +
                           std::string(classi[c].sigla) + " numero\"");
                }
                (*classi[c].totali)[g] = *totale;
            }
        }
    }

    static std::string Utf8(std::string_view cp1252) { return routines::InUtf8(cp1252); }

    std::vector<std::string> righe_;
    std::string nomeFile_;
    std::size_t indice_ = 0;  // lines read so far: the line last read, counted from 1
};

}  // namespace

ConteggioGiorno& ConteggioGiorno::operator+=(const ConteggioGiorno& altro) {
    arrivi += altro.arrivi;
    personeInArrivo += altro.personeInArrivo;
    partenze += altro.partenze;
    personeInPartenza += altro.personeInPartenza;
    camereOccupate += altro.camereOccupate;
    camereLibere += altro.camereLibere;
    persone += altro.persone;
    return *this;
}

std::string_view NomeStato(StatoSoggiorno stato) {
    for (const Stato& s : kStati) {
        if (s.stato == stato) {
            return s.testo.substr(1, s.testo.size() - 2);
        }
    }
    return {};
}

std::string PersoneEStato(const GiornoLetto& giorno) {
    if (giorno.persone == 0 && giorno.testoStato.empty()) {
        return {};
    }
    const std::string_view nome = NomeStato(giorno.stato);
    const std::string stato = nome.empty() ? giorno.testoStato : std::string(nome);
    const std::string persone = "(" + std::to_string(giorno.persone) + ")";
    return stato.empty() ? persone : persone + " " + stato;
}

std::string CodiceENota(const GiornoLetto& giorno) {
    if (giorno.codice.empty() || giorno.nota.empty()) {
        return giorno.codice + giorno.nota;
    }
    return giorno.codice + "  " + giorno.nota;
}

TableauLetto LeggiTableau(std::string_view testo, std::string_view nomeFile) {
    return LettoreFile(testo, nomeFile).leggi();
}

TableauLetto LeggiFileTableau(const std::filesystem::path& file) {
    // Refused before reading when far larger than any chart.
    return LeggiTableau(LeggiTestoTableau(file), file.filename().string());
}

std::filesystem::path FileTableauEsistente(const routines::Postazione& postazione) {
    const auto file = TrovaFileTableau(postazione);
    if (!file) {
        throw ErroreLetturaTableau(
            "File del tableau " + routines::InUtf8(NomeFileTableau(postazione)) +
            " non trovato nella cartella " + postazione.cartellaDati().string());
    }
    return *file;
}

TableauLetto LeggiTableauDellaPostazione(const routines::Postazione& postazione) {
    return LeggiFileTableau(FileTableauEsistente(postazione));
}

}  // namespace tableau::chart
