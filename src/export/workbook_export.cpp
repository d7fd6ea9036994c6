#include "export/workbook_export.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "export/errors.h"
#include "export/state_fills.h"
#include "routines/atomic_file.h"
#include "routines/codepage.h"
#include "routines/errors.h"
#include "routines/text.h"

namespace tableau::exports {
namespace {

using chart::kGiorniTableau;

constexpr double kAltezzaRigaTesto = 15.0;  // points: one line of the default font
constexpr double kLarghezzaMinima = 8.0;    // characters
constexpr double kLarghezzaMassima = 60.0;
constexpr std::uint8_t kCartaA4 = 9;

struct LiberaCartellaLavoro {
    void operator()(lxw_workbook* cartellaLavoro) const { lxw_workbook_free(cartellaLavoro); }
};
using CartellaLavoro = std::unique_ptr<lxw_workbook, LiberaCartellaLavoro>;

std::string Utf8(std::string_view cp1252) {
    return routines::InUtf8(cp1252);
}

// The widest line of a text, in characters (Windows-1252: one byte each).
std::size_t RigaPiuLarga(std::string_view testo) {
    std::size_t larghezza = 0;
    std::size_t inizio = 0;
    while (inizio <= testo.size()) {
        const std::size_t fine = std::min(testo.find('\n', inizio), testo.size());
        larghezza = std::max(larghezza, fine - inizio);
        inizio = fine + 1;
    }
    return larghezza;
}

// Lines joined by line ends, the empty ones at the end left out; the number of lines kept.
std::string Righe(std::vector<std::string> righe, std::size_t& quante) {
    while (!righe.empty() && righe.back().empty()) {
        righe.pop_back();
    }
    quante = righe.size();
    std::string testo;
    for (std::size_t i = 0; i < righe.size(); ++i) {
        testo += (i > 0 ? "\n" : "") + righe[i];
    }
    return testo;
}

std::string Posti(const std::string& posti) {
    return posti.empty() ? posti : posti + (posti == "1" ? " posto" : " posti");
}

bool SoloCifre(std::string_view testo) {
    return !testo.empty() && testo.size() < 10 &&
           std::all_of(testo.begin(), testo.end(), [](char c) { return c >= '0' && c <= '9'; });
}

lxw_datetime DataExcel(const routines::Data& data) {
    return {data.anno, data.mese, data.giorno, 0, 0, 0};
}

// A text of the printed page's header, cut well within the header's 255 bytes; "&" is the
// header's own escape.
std::string TestoIntestazione(std::string_view cp1252) {
    std::string testo;
    for (const char c : Utf8(cp1252.substr(0, 60))) {
        testo += c == '&' ? std::string("&&") : std::string(1, c);
    }
    return testo;
}

// The formats of the workbook; the workbook owns them.
struct Formati {
    explicit Formati(lxw_workbook* cartellaLavoro) {
        const auto nuovo = [&] { return workbook_add_format(cartellaLavoro); };
        intestazione = nuovo();
        format_set_bold(intestazione);
        format_set_text_wrap(intestazione);
        format_set_align(intestazione, LXW_ALIGN_VERTICAL_CENTER);
        format_set_pattern(intestazione, LXW_PATTERN_SOLID);
        format_set_bg_color(intestazione, 0xEEEEEE);
        format_set_border(intestazione, LXW_BORDER_THIN);
        camera = nuovo();
        format_set_bold(camera);
        format_set_text_wrap(camera);
        format_set_align(camera, LXW_ALIGN_VERTICAL_TOP);
        format_set_border(camera, LXW_BORDER_THIN);
        libera = nuovo();
        format_set_text_wrap(libera);
        format_set_align(libera, LXW_ALIGN_VERTICAL_TOP);
        format_set_border(libera, LXW_BORDER_THIN);
        for (std::size_t s = 0; s < stati.size(); ++s) {
            stati[s] = nuovo();
            format_set_text_wrap(stati[s]);
            format_set_align(stati[s], LXW_ALIGN_VERTICAL_TOP);
            format_set_border(stati[s], LXW_BORDER_THIN);
            format_set_pattern(stati[s], LXW_PATTERN_SOLID);
            format_set_bg_color(stati[s], *ColoreStato(chart::kStatiSoggiorno[s]));
        }
        partenza = nuovo();
        format_set_text_wrap(partenza);
        format_set_align(partenza, LXW_ALIGN_VERTICAL_TOP);
        format_set_border(partenza, LXW_BORDER_THIN);
        format_set_pattern(partenza, LXW_PATTERN_SOLID);
        format_set_bg_color(partenza, kColorePartenza);
        totale = nuovo();
        format_set_bold(totale);
        format_set_border(totale, LXW_BORDER_THIN);
        format_set_top(totale, LXW_BORDER_MEDIUM);
        grassetto = nuovo();
        format_set_bold(grassetto);
        data = nuovo();
        format_set_num_format(data, "dd/mm/yyyy");
    }

    // A day's fill: its state's, or the departure's on a day the room is otherwise free.
    lxw_format* cella(const chart::GiornoLetto& giorno) const {
        for (std::size_t s = 0; s < stati.size(); ++s) {
            if (chart::kStatiSoggiorno[s] == giorno.stato) {
                return stati[s];
            }
        }
        return giorno.partenza ? partenza : libera;
    }

    lxw_format* intestazione;
    lxw_format* camera;
    lxw_format* libera;
    std::array<lxw_format*, chart::kStatiSoggiorno.size()> stati{};
    lxw_format* partenza;
    lxw_format* totale;
    lxw_format* grassetto;
    lxw_format* data;
};

// Column widths that fit the widest text of each column.
class Larghezze {
  public:
    explicit Larghezze(std::size_t colonne) : caratteri_(colonne, 0) {}
    void misura(std::size_t colonna, std::string_view testo) {
        caratteri_[colonna] = std::max(caratteri_[colonna], RigaPiuLarga(testo));
    }
    void applica(lxw_worksheet* foglio) const {
        for (std::size_t c = 0; c < caratteri_.size(); ++c) {
            const double larghezza = std::clamp(static_cast<double>(caratteri_[c]) * 1.1 + 2,
                                                kLarghezzaMinima, kLarghezzaMassima);
            worksheet_set_column(foglio, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                 larghezza, nullptr);
        }
    }

  private:
    std::vector<std::size_t> caratteri_;
};

// Writes a Windows-1252 text as UTF-8 and measures it for its column.
void Testo(lxw_worksheet* foglio, lxw_row_t riga, lxw_col_t colonna, std::string_view cp1252,
           lxw_format* formato, Larghezze& larghezze) {
    if (cp1252.empty()) {
        if (formato != nullptr) {
            worksheet_write_blank(foglio, riga, colonna, formato);
        }
        return;
    }
    worksheet_write_string(foglio, riga, colonna, Utf8(cp1252).c_str(), formato);
    larghezze.misura(colonna, cp1252);
}

void FoglioTableau(lxw_workbook* cartellaLavoro, const Formati& formati,
                   const chart::TableauLetto& tableau, const std::string& nome) {
    lxw_worksheet* foglio = workbook_add_worksheet(cartellaLavoro, nome.c_str());
    if (foglio == nullptr) {
        throw ErroreEsportazione("Impossibile aggiungere il foglio \"" + nome +
                                 "\" alla cartella di lavoro.");
    }
    Larghezze larghezze(1 + kGiorniTableau);
    Testo(foglio, 0, 0, "Camera", formati.intestazione, larghezze);
    for (std::size_t g = 0; g < kGiorniTableau; ++g) {
        const chart::GiornoIntestazione& giorno = tableau.giorni[g];
        Testo(foglio, 0, static_cast<lxw_col_t>(g + 1), giorno.nome + "\n" + giorno.testoData,
              formati.intestazione, larghezze);
    }
    worksheet_set_row(foglio, 0, 2 * kAltezzaRigaTesto, nullptr);

    lxw_row_t riga = 1;
    for (const chart::CameraLetta& camera : tableau.camere) {
        std::size_t righeCamera = 0;
        Testo(foglio, riga, 0,
              Righe({camera.numero, camera.tipo, Posti(camera.posti)}, righeCamera), formati.camera,
              larghezze);
        std::size_t piuAlta = std::max<std::size_t>(righeCamera, 1);
        for (std::size_t g = 0; g < kGiorniTableau; ++g) {
            const chart::GiornoLetto& giorno = camera.giorni[g];
            std::size_t righe = 0;
            const std::string testo = Righe(
                {PrimaRigaCella(giorno), giorno.nome, giorno.ditta, chart::CodiceENota(giorno)},
                righe);
            Testo(foglio, riga, static_cast<lxw_col_t>(g + 1), testo, formati.cella(giorno),
                  larghezze);
            piuAlta = std::max(piuAlta, righe);
        }
        worksheet_set_row(foglio, riga, static_cast<double>(piuAlta) * kAltezzaRigaTesto, nullptr);
        ++riga;
    }
    const std::array<std::pair<const char*, const std::array<long, kGiorniTableau>*>, 3> classi = {
        {{"CC", &tableau.totaleCC}, {"MP", &tableau.totaleMP}, {"PC", &tableau.totalePC}}};
    for (const auto& [sigla, totali] : classi) {
        Testo(foglio, riga, 0, sigla, formati.totale, larghezze);
        for (std::size_t g = 0; g < kGiorniTableau; ++g) {
            worksheet_write_number(foglio, riga, static_cast<lxw_col_t>(g + 1),
                                   static_cast<double>((*totali)[g]), formati.totale);
        }
        ++riga;
    }
    larghezze.applica(foglio);

    worksheet_freeze_panes(foglio, 1, 1);
    worksheet_set_landscape(foglio);
    worksheet_set_paper(foglio, kCartaA4);
    worksheet_fit_to_pages(foglio, 1, 0);
    worksheet_repeat_rows(foglio, 0, 0);
    const std::string titolo = TestoIntestazione(
        tableau.hotel + (tableau.descrizione.empty() ? "" : " - ") + tableau.descrizione);
    const std::string settimana = TestoIntestazione(tableau.giorni.front().testoData + " - " +
                                                    tableau.giorni.back().testoData);
    worksheet_set_header(foglio, ("&L&B" + titolo + "&R" + settimana).c_str());
    worksheet_set_footer(foglio, "&CPagina &P di &N");
}

void FoglioDati(lxw_workbook* cartellaLavoro, const Formati& formati,
                const std::vector<const chart::TableauLetto*>& sezioni) {
    lxw_worksheet* foglio = workbook_add_worksheet(cartellaLavoro, "Dati");
    static constexpr std::array<const char*, 15> kColonne = {
        "Camera",      "Tipo", "Posti",  "Data", "Persone", "Stato", "Nome",   "Ditta",
        "Trattamento", "Nota", "Classe", "CC",   "MP",      "PC",    "Tableau"};
    Larghezze larghezze(kColonne.size());
    for (std::size_t c = 0; c < kColonne.size(); ++c) {
        Testo(foglio, 0, static_cast<lxw_col_t>(c), kColonne[c], formati.grassetto, larghezze);
    }
    larghezze.misura(3, "00/00/0000");
    lxw_row_t riga = 1;
    for (const chart::TableauLetto* tableau : sezioni) {
        // The class and the persons the totals count are known from the hotel tables only.
        const bool dalleTabelle = tableau->conteggi.has_value();
        for (const chart::CameraLetta& camera : tableau->camere) {
            for (std::size_t g = 0; g < kGiorniTableau; ++g) {
                const chart::GiornoLetto& giorno = camera.giorni[g];
                const chart::GiornoIntestazione& data = tableau->giorni[g];
                Testo(foglio, riga, 0, camera.numero, nullptr, larghezze);
                Testo(foglio, riga, 1, camera.tipo, nullptr, larghezze);
                if (SoloCifre(camera.posti)) {
                    worksheet_write_number(foglio, riga, 2, std::stod(camera.posti), nullptr);
                } else {
                    Testo(foglio, riga, 2, camera.posti, nullptr, larghezze);
                }
                if (data.data) {
                    lxw_datetime momento = DataExcel(*data.data);
                    worksheet_write_datetime(foglio, riga, 3, &momento, formati.data);
                } else {
                    Testo(foglio, riga, 3, data.testoData, nullptr, larghezze);
                }
                worksheet_write_number(foglio, riga, 4, static_cast<double>(giorno.persone),
                                       nullptr);
                const std::string_view stato = chart::NomeStato(giorno.stato);
                Testo(foglio, riga, 5, stato.empty() ? giorno.testoStato : std::string(stato),
                      nullptr, larghezze);
                Testo(foglio, riga, 6, giorno.nome, nullptr, larghezze);
                Testo(foglio, riga, 7, giorno.ditta, nullptr, larghezze);
                Testo(foglio, riga, 8, giorno.codice, nullptr, larghezze);
                Testo(foglio, riga, 9, giorno.nota, nullptr, larghezze);
                Testo(foglio, riga, 10, giorno.classe, nullptr, larghezze);
                if (dalleTabelle) {
                    for (std::size_t c = 0; c < chart::kClassi.size(); ++c) {
                        worksheet_write_number(foglio, riga, static_cast<lxw_col_t>(11 + c),
                                               static_cast<double>(giorno.perClasse[c]), nullptr);
                    }
                }
                Testo(foglio, riga, 14, tableau->descrizione, nullptr, larghezze);
                ++riga;
            }
        }
    }
    larghezze.applica(foglio);
    worksheet_autofilter(foglio, 0, 0, riga - 1, static_cast<lxw_col_t>(kColonne.size() - 1));
    worksheet_freeze_panes(foglio, 1, 0);
}

// The totals and figures of a week, for a block or for the hotel.
struct RigheTotali {
    std::string tableau;
    const std::array<chart::GiornoIntestazione, kGiorniTableau>* giorni;
    std::array<const std::array<long, kGiorniTableau>*, 3> classi;
    const std::array<chart::ConteggioGiorno, kGiorniTableau>* conteggi;  // none from a file
};

void FoglioTotali(lxw_workbook* cartellaLavoro, const Formati& formati,
                  const std::vector<RigheTotali>& settimane) {
    lxw_worksheet* foglio = workbook_add_worksheet(cartellaLavoro, "Totali");
    static constexpr std::array<const char*, 13> kColonne = {"Data",
                                                             "Giorno",
                                                             "CC",
                                                             "MP",
                                                             "PC",
                                                             "Arrivi (camere)",
                                                             "Arrivi (persone)",
                                                             "Partenze (camere)",
                                                             "Partenze (persone)",
                                                             "Camere occupate",
                                                             "Camere libere",
                                                             "Persone",
                                                             "Tableau"};
    Larghezze larghezze(kColonne.size());
    for (std::size_t c = 0; c < kColonne.size(); ++c) {
        Testo(foglio, 0, static_cast<lxw_col_t>(c), kColonne[c], formati.grassetto, larghezze);
    }
    larghezze.misura(0, "00/00/0000");
    lxw_row_t riga = 1;
    const auto numero = [&](lxw_col_t colonna, long valore) {
        worksheet_write_number(foglio, riga, colonna, static_cast<double>(valore), nullptr);
    };
    for (const RigheTotali& settimana : settimane) {
        for (std::size_t g = 0; g < kGiorniTableau; ++g) {
            const chart::GiornoIntestazione& giorno = (*settimana.giorni)[g];
            if (giorno.data) {
                lxw_datetime momento = DataExcel(*giorno.data);
                worksheet_write_datetime(foglio, riga, 0, &momento, formati.data);
            } else {
                Testo(foglio, riga, 0, giorno.testoData, nullptr, larghezze);
            }
            Testo(foglio, riga, 1, giorno.nome, nullptr, larghezze);
            for (std::size_t c = 0; c < settimana.classi.size(); ++c) {
                numero(static_cast<lxw_col_t>(2 + c), (*settimana.classi[c])[g]);
            }
            if (settimana.conteggi != nullptr) {
                const chart::ConteggioGiorno& conta = (*settimana.conteggi)[g];
                numero(5, conta.arrivi);
                numero(6, conta.personeInArrivo);
                numero(7, conta.partenze);
                numero(8, conta.personeInPartenza);
                numero(9, conta.camereOccupate);
                numero(10, conta.camereLibere);
                numero(11, conta.persone);
            }
            Testo(foglio, riga, 12, settimana.tableau, nullptr, larghezze);
            ++riga;
        }
    }
    larghezze.applica(foglio);
    worksheet_autofilter(foglio, 0, 0, riga - 1, static_cast<lxw_col_t>(kColonne.size() - 1));
    worksheet_freeze_panes(foglio, 1, 0);
}

// A sheet's name for a block: "Tableau", or with several blocks "Tableau " + code and
// description, within the 31 characters a sheet's name may have and without the characters
// it may not hold; each different from the others.
std::vector<std::string> NomiFogli(const std::vector<const chart::TableauLetto*>& sezioni,
                                   const std::vector<std::int16_t>& codici) {
    if (sezioni.size() == 1) {
        return {"Tableau"};
    }
    std::vector<std::string> nomi;
    for (std::size_t i = 0; i < sezioni.size(); ++i) {
        const std::string codice =
            i < codici.size() ? std::to_string(codici[i]) : std::to_string(i + 1);
        std::string nome = "Tableau " + codice;
        std::string descrizione;
        for (const char c : sezioni[i]->descrizione) {
            descrizione +=
                std::string_view("[]:*?/\\'").find(c) == std::string_view::npos ? c : ' ';
        }
        if (!descrizione.empty()) {
            nome += " " + descrizione;
        }
        // Whole characters of the UTF-8 name, at most 31.
        std::string utf8 = Utf8(routines::TogliSpazi(nome));
        std::size_t caratteri = 0;
        std::size_t fine = 0;
        while (fine < utf8.size() && caratteri < 31) {
            ++fine;
            while (fine < utf8.size() && (static_cast<unsigned char>(utf8[fine]) & 0xC0) == 0x80) {
                ++fine;
            }
            ++caratteri;
        }
        utf8.resize(fine);
        while (std::find(nomi.begin(), nomi.end(), utf8) != nomi.end()) {
            utf8 = "Tableau " + std::to_string(nomi.size() + 1);
        }
        nomi.push_back(utf8);
    }
    return nomi;
}

}  // namespace

void ScriviXlsx(const std::vector<const chart::TableauLetto*>& sezioni,
                const chart::SettimanaAlbergo* settimana, const std::filesystem::path& file) {
    routines::AtomicPath uscita(file);
    lxw_workbook_options opzioni{};
    CartellaLavoro cartellaLavoro(workbook_new_opt(uscita.temporary().c_str(), &opzioni));
    if (!cartellaLavoro) {
        throw ErroreEsportazione("Impossibile preparare il foglio di calcolo " + file.string());
    }
    const Formati formati(cartellaLavoro.get());
    const std::vector<std::string> nomi = NomiFogli(
        sezioni, settimana != nullptr ? settimana->codiciTableau : std::vector<std::int16_t>{});
    for (std::size_t i = 0; i < sezioni.size(); ++i) {
        FoglioTableau(cartellaLavoro.get(), formati, *sezioni[i], nomi[i]);
    }
    FoglioDati(cartellaLavoro.get(), formati, sezioni);
    std::vector<RigheTotali> totali;
    for (const chart::TableauLetto* tableau : sezioni) {
        totali.push_back({tableau->descrizione,
                          &tableau->giorni,
                          {&tableau->totaleCC, &tableau->totaleMP, &tableau->totalePC},
                          tableau->conteggi ? &*tableau->conteggi : nullptr});
    }
    if (settimana != nullptr && sezioni.size() > 1) {
        const chart::TotaliAlbergo& albergo = settimana->totale;
        totali.push_back({"Tutto l'albergo",
                          &sezioni.front()->giorni,
                          {&albergo.totaleCC, &albergo.totaleMP, &albergo.totalePC},
                          &albergo.conteggi});
    }
    FoglioTotali(cartellaLavoro.get(), formati, totali);
    // workbook_close writes the file and frees the workbook, whatever its outcome.
    const lxw_error esito = workbook_close(cartellaLavoro.release());
    if (esito != LXW_NO_ERROR) {
        throw ErroreEsportazione("Impossibile scrivere il foglio di calcolo " + file.string() +
                                 ": " + lxw_strerror(esito));
    }
    uscita.commit();
}

void ScriviXlsx(const chart::TableauLetto& tableau, const std::filesystem::path& file) {
    ScriviXlsx({&tableau}, nullptr, file);
}

void ScriviCartellaLavoro(const TableauDaEsportare& tableau, const std::filesystem::path& file,
                          const OpzioniUscita& /*opzioni*/) {
    ScriviXlsx(tableau.sezioni(), tableau.settimana(), file);
}

}  // namespace tableau::exports
