#include "print/sample_chart.h"

#include <array>

namespace tableau::test {
namespace {

constexpr std::size_t kLarghezza = 132;
constexpr std::array<std::size_t, 7> kSeparatori = {6, 24, 42, 60, 78, 96, 114};

std::string Cornice(char resto, char separatore, char fine) {
    std::string riga(kLarghezza, resto);
    for (const auto s : kSeparatori) {
        riga[s - 1] = separatore;
    }
    riga[kLarghezza - 1] = fine;
    return riga;
}

std::string Vuota() {
    return Cornice(' ', '\xB3', '\xB3');
}

void Scrivi(std::string& riga, std::size_t posizione, const std::string& testo) {
    riga.replace(posizione - 1, testo.size(), testo);
}

std::size_t Cella(int giorno) {
    return static_cast<std::size_t>(18 * giorno - 11);
}

}  // namespace

std::vector<std::string> RigheTableauEsempio(const std::vector<CameraEsempio>& camere) {
    std::vector<std::string> righe;
    std::string titolo(kLarghezza, ' ');
    Scrivi(titolo, 1, " Hotel : Albergo Bella Vista");
    Scrivi(titolo, 55, " Tableau Tavornelide : Primo piano dal 07/12/2026");
    Scrivi(titolo, 117, "07/12/2026 10:38");
    righe.push_back(titolo);
    righe.push_back(Cornice('\xC4', '\xC2', '\xBF'));
    const std::array<const char*, 7> giorni = {"Luned\xEC",  "Marted\xEC", "Mercoled\xEC",
                                               "Gioved\xEC", "Venerd\xEC", "Sabato",
                                               "Domenica"};
    std::string nomi = Vuota();
    std::string date = Vuota();
    for (int k = 1; k <= 7; ++k) {
        Scrivi(nomi, Cella(k) + 1, giorni[static_cast<std::size_t>(k - 1)]);
        Scrivi(date, Cella(k) + 1, (k + 6 < 10 ? "0" : "") + std::to_string(k + 6) + "/12/2026");
    }
    righe.push_back(nomi);
    righe.push_back(date);
    const std::string separatore = Cornice('\xC4', '\xC5', '\xB4');
    righe.push_back(separatore);
    for (const auto& camera : camere) {
        std::array<std::string, 4> blocco = {Vuota(), Vuota(), Vuota(), Vuota()};
        Scrivi(blocco[0], 1, camera.numero);
        Scrivi(blocco[1], 1, camera.tipo);
        Scrivi(blocco[2], 1, std::to_string(camera.posti));
        for (int k = 1; k <= 7; ++k) {
            Scrivi(blocco[0], Cella(k), k == 1 ? " (2)(arrivata)" : " (0)");
            if (k == 1) {
                Scrivi(blocco[1], Cella(k), camera.ospite);
                Scrivi(blocco[2], Cella(k), "Ditta S.p.A.");
                Scrivi(blocco[3], Cella(k), "MP    1.234,56");
            }
        }
        for (auto& riga : blocco) {
            righe.push_back(riga);
        }
        righe.push_back(separatore);
    }
    for (const char* etichetta : {"CC = ", "MP = ", "PC = "}) {
        std::string totali = Vuota();
        for (int k = 1; k <= 7; ++k) {
            Scrivi(totali, Cella(k), std::string(etichetta) + "    " + std::to_string(k % 10));
        }
        righe.push_back(totali);
    }
    righe.push_back(Cornice('\xC4', '\xC1', '\xD9'));
    return righe;
}

std::string TestoTableau(const std::vector<std::string>& righe) {
    std::string testo;
    for (const auto& riga : righe) {
        testo += riga;
        testo += "\r\n";
    }
    return testo;
}

std::string TableauEsempio(int camere) {
    std::vector<CameraEsempio> elenco;
    for (int i = 0; i < camere; ++i) {
        elenco.push_back({std::to_string(101 + i), "DOP", 2, "Rossi Mario"});
    }
    return TestoTableau(RigheTableauEsempio(elenco));
}

}  // namespace tableau::test
