#include "export/csv_export.h"

#include "export/output_format.h"

#include "chart/chart_file.h"
#include "db/data_directory.h"
#include "routines/atomic_file.h"
#include "routines/codepage.h"
#include "routines/text_file.h"

namespace tableau::exports {
namespace {

bool Cifra(std::string_view riga, std::ptrdiff_t posizione) {
    if (posizione < 0 || posizione >= static_cast<std::ptrdiff_t>(riga.size())) {
        return false;
    }
    const char c = riga[static_cast<std::size_t>(posizione)];
    return c >= '0' && c <= '9';
}

// A digit before the position and two after it, as Italian numbers group them.
bool TraCifre(std::string_view riga, std::ptrdiff_t i) {
    return Cifra(riga, i - 1) && Cifra(riga, i + 1) && Cifra(riga, i + 2);
}

bool Bordo(unsigned char c) {
    switch (c) {
        case 217:
        case 197:
        case 194:
        case 195:
        case 192:
        case 193:
        case 179:
        case 191:
        case 218:
        case '|':
        case '+':
            return true;
        default:
            return false;
    }
}

}  // namespace

SeparatoriXLS LeggiSeparatoriXLS(const std::filesystem::path& cartellaDati) {
    SeparatoriXLS separatori;
    const auto file = db::FindFileIgnoringCase(cartellaDati, "SeparatoreXLS.txt");
    if (!file || !std::filesystem::is_regular_file(*file)) {
        return separatori;
    }
    std::string testo = routines::LeggiFile(*file);
    if (routines::ScrittoInUtf8(testo)) {
        testo = routines::InCp1252(testo);  // "€" saved by a Linux editor is still the euro sign
    }
    const auto righe = routines::RigheDelTesto(testo);
    std::string* const valori[] = {&separatori.separatoreCampi, &separatori.separatoreDecimali,
                                   &separatori.simboloValuta};
    for (std::size_t i = 0; i < righe.size() && i < std::size(valori); ++i) {
        *valori[i] = righe[i];
    }
    return separatori;
}

std::string ConvertiRigaXLS(std::string_view riga, const SeparatoriXLS& separatori) {
    std::string uscita;
    const auto ultima = static_cast<std::ptrdiff_t>(riga.size()) - 1;
    for (std::ptrdiff_t i = 0; i <= ultima; ++i) {
        const char c = riga[static_cast<std::size_t>(i)];
        const auto codice = static_cast<unsigned char>(c);
        if (Bordo(codice)) {
            uscita += separatori.separatoreCampi;
        } else if (codice == 180) {
            uscita += i == ultima ? separatori.separatoreCampi : std::string(" ");
        } else if (codice == 196) {
            uscita += ' ';
        } else if (c == ',') {
            if (TraCifre(riga, i)) {
                const auto spazio = uscita.rfind(' ');
                if (spazio != std::string::npos) {
                    uscita[spazio] =
                        separatori.simboloValuta.empty() ? ' ' : separatori.simboloValuta.front();
                }
                uscita += separatori.separatoreDecimali;
            } else {
                uscita += ' ';
            }
        } else if (c == '.') {
            if (!TraCifre(riga, i)) {
                uscita += '.';
            }
        } else if (c == '-') {
            uscita += Cifra(riga, i + 1) ? '-' : ' ';
        } else {
            uscita += c;
        }
    }
    return uscita;
}

void ScriviCsv(const TableauDaEsportare& tableau, const std::filesystem::path& file,
               const OpzioniUscita& opzioni) {
    routines::AtomicFile uscita(file);
    for (const auto& riga : routines::RigheDelTesto(tableau.testo())) {
        uscita.write(ConvertiRigaXLS(riga, opzioni.separatori));
        uscita.write("\r\n");
    }
    uscita.commit();
}

std::filesystem::path ConvertiXLS(const routines::Postazione& postazione) {
    return Esporta(kFormatoCsv, postazione);
}

}  // namespace tableau::exports
