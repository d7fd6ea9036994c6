// tableau pdf and tableau xlsx: the chart file laid out as a PDF document and as a
// spreadsheet workbook, in the data directory unless --output says otherwise.
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "app/cli_commands.h"
#include "app/qt_application.h"
#include "preview/workbook_export.h"
#include "print/qt/chart_pdf.h"
#include "routines/codepage.h"
#include "routines/system_log.h"

namespace tableau::app {
namespace {

// The options of the two commands.
struct OpzioniEsportazione {
    std::filesystem::path file;  // empty: the usual name in the data directory
    bool a3 = false;
};

// Reads "--output FILE" (or "--output=FILE") and, where allowed, "--a3"; a wrong argument
// is written on err and gives no options.
std::optional<OpzioniEsportazione> LeggiOpzioni(const Argomenti& argomenti,
                                                std::string_view comando, bool conA3,
                                                std::ostream& err) {
    OpzioniEsportazione opzioni;
    bool fileDato = false;
    for (std::size_t i = 0; i < argomenti.size(); ++i) {
        const std::string& a = argomenti[i];
        std::optional<std::string> valore;
        if (a == "--output") {
            if (i + 1 >= argomenti.size()) {
                err << "tableau " << comando << ": manca il valore di --output. Usare tableau "
                    << "--help.\n";
                return std::nullopt;
            }
            valore = argomenti[++i];
        } else if (a.starts_with("--output=")) {
            valore = a.substr(9);
        } else if (a == "--a3" && conA3) {
            opzioni.a3 = true;
            continue;
        } else {
            err << "tableau " << comando << ": opzione sconosciuta \"" << a
                << "\". Usare tableau --help.\n";
            return std::nullopt;
        }
        if (fileDato || valore->empty()) {
            err << "tableau " << comando
                << (fileDato ? ": l'opzione --output \xC3\xA8 indicata pi\xC3\xB9 volte.\n"
                             : ": il nome del file di --output \xC3\xA8 vuoto.\n");
            return std::nullopt;
        }
        opzioni.file = *valore;
        fileDato = true;
    }
    return opzioni;
}

// The file as the user knows it: as given, or the usual name.
std::string NomeMostrato(const OpzioniEsportazione& opzioni, const std::string& nomeUsuale) {
    return opzioni.file.empty() ? routines::InUtf8(nomeUsuale) : opzioni.file.string();
}

}  // namespace

int ComandoPdf(const Argomenti& argomenti, std::ostream& out, std::ostream& err) {
    const auto opzioni = LeggiOpzioni(argomenti, "pdf", true, err);
    if (!opzioni) {
        return kRifiutato;
    }
    try {
        ApplicazioneQt app;
        app.prepara();
        print::CreaPdfTableau(std::filesystem::current_path(),
                              opzioni->a3 ? print::FormatoPdf::a3 : print::FormatoPdf::a4,
                              opzioni->file);
    } catch (const std::exception& e) {
        err << "tableau pdf: " << e.what() << '\n';
        routines::RegistraErrore(std::string("tableau grafico non salvato: ") + e.what());
        return EsitoDi(e);
    }
    routines::RegistraEvento("tableau grafico salvato: " +
                             NomeMostrato(*opzioni, print::NomeFilePdf()));
    out << "PDF salvato in " << NomeMostrato(*opzioni, print::NomeFilePdf()) << ".\n";
    return kEseguito;
}

int ComandoXlsx(const Argomenti& argomenti, std::ostream& out, std::ostream& err) {
    const auto opzioni = LeggiOpzioni(argomenti, "xlsx", false, err);
    if (!opzioni) {
        return kRifiutato;
    }
    try {
        preview::EsportaXlsx(std::filesystem::current_path(), opzioni->file);
    } catch (const std::exception& e) {
        err << "tableau xlsx: " << e.what() << '\n';
        routines::RegistraErrore(std::string("foglio Excel non salvato: ") + e.what());
        return EsitoDi(e);
    }
    routines::RegistraEvento("foglio Excel salvato: " +
                             NomeMostrato(*opzioni, preview::NomeFileXlsx()));
    out << "Foglio di calcolo salvato in " << NomeMostrato(*opzioni, preview::NomeFileXlsx())
        << ".\n";
    return kEseguito;
}

}  // namespace tableau::app
