// The commands of the output formats (tableau csv, pdf, xlsx, text): the workstation's chart
// file written in the format of the table of formats, in the data directory unless --output
// says otherwise.
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "app/cli_commands.h"
#include "app/qt_application.h"
#include "app/startup.h"
#include "export/qt/format_table.h"
#include "routines/codepage.h"
#include "routines/system_log.h"

namespace tableau::app {
namespace {

// The options of the commands.
struct OpzioniEsportazione {
    std::filesystem::path file;  // empty: the usual name in the data directory
    bool a3 = false;
};

// Reads "--output FILE" (or "--output=FILE") and "--a3", where the format takes them; a
// wrong argument is written on err and gives no options.
std::optional<OpzioniEsportazione> LeggiOpzioni(const Argomenti& argomenti,
                                                const exports::FormatoUscita& formato,
                                                std::ostream& err) {
    const std::string_view comando = formato.nome;
    OpzioniEsportazione opzioni;
    bool fileDato = false;
    for (std::size_t i = 0; i < argomenti.size(); ++i) {
        const std::string& a = argomenti[i];
        if (!formato.conUscita && !formato.conCarta) {
            err << "tableau " << comando << ": argomento non previsto \"" << a
                << "\". Usare tableau --help.\n";
            return std::nullopt;
        }
        std::optional<std::string> valore;
        if (a == "--output" && formato.conUscita) {
            if (i + 1 >= argomenti.size()) {
                err << "tableau " << comando << ": manca il valore di --output. Usare tableau "
                    << "--help.\n";
                return std::nullopt;
            }
            valore = argomenti[++i];
        } else if (a.starts_with("--output=") && formato.conUscita) {
            valore = a.substr(9);
        } else if (a == "--a3" && formato.conCarta) {
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

}  // namespace

int ComandoEsporta(const exports::FormatoUscita& formato, const Argomenti& argomenti,
                   std::ostream& out, std::ostream& err,
                   const routines::Impostazioni& impostazioni) {
    const auto opzioni = LeggiOpzioni(argomenti, formato, err);
    if (!opzioni) {
        return kRifiutato;
    }
    std::string mostrato;
    try {
        const routines::Postazione postazione = PostazioneImpostata(impostazioni);
        // The file as the user knows it: as given, or the usual name.
        mostrato = opzioni->file.empty() ? routines::InUtf8(exports::NomeFile(formato, postazione))
                                         : opzioni->file.string();
        std::optional<ApplicazioneQt> app;
        if (formato.conQt) {
            app.emplace();
            app->prepara();
        }
        exports::Esporta(formato, postazione, opzioni->file,
                         opzioni->a3 ? exports::FormatoCarta::a3 : exports::FormatoCarta::a4);
    } catch (const std::exception& e) {
        err << "tableau " << formato.nome << ": " << e.what() << '\n';
        routines::RegistraErrore(std::string(formato.registroFallito) + ": " + e.what());
        return EsitoDi(e);
    }
    routines::RegistraEvento(std::string(formato.registroFatto) + ": " + mostrato);
    out << formato.annuncioPrima << mostrato << formato.annuncioDopo << '\n';
    return kEseguito;
}

int ComandoCsv(const Argomenti& argomenti, std::ostream& out, std::ostream& err,
               const routines::Impostazioni& impostazioni) {
    return ComandoEsporta(*exports::FormatoDiNome("csv"), argomenti, out, err, impostazioni);
}

int ComandoPdf(const Argomenti& argomenti, std::ostream& out, std::ostream& err,
               const routines::Impostazioni& impostazioni) {
    return ComandoEsporta(*exports::FormatoDiNome("pdf"), argomenti, out, err, impostazioni);
}

int ComandoXlsx(const Argomenti& argomenti, std::ostream& out, std::ostream& err,
                const routines::Impostazioni& impostazioni) {
    return ComandoEsporta(*exports::FormatoDiNome("xlsx"), argomenti, out, err, impostazioni);
}

}  // namespace tableau::app
