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
int ComandoEsporta(const exports::FormatoUscita& formato, const OpzioniEsportazione& opzioni,
                   std::ostream& out, std::ostream& err,
                   const routines::Impostazioni& impostazioni) {
    std::string mostrato;
    try {
        const routines::Postazione postazione = PostazioneImpostata(impostazioni);
        // The file as the user knows it: as given, or the usual name.
        mostrato = opzioni.file.empty() ? routines::InUtf8(exports::NomeFile(formato, postazione))
                                        : opzioni.file.string();
        std::optional<ApplicazioneQt> app;
        if (formato.conQt) {
            app.emplace();
            app->prepara();
        }
        exports::Esporta(formato, postazione, opzioni.file,
                         opzioni.a3 ? exports::FormatoCarta::a3 : exports::FormatoCarta::a4);
    } catch (const std::exception& e) {
        err << "tableau " << formato.nome << ": " << e.what() << '\n';
        routines::RegistraErrore(std::string(formato.registroFallito) + ": " + e.what());
        return EsitoDi(e);
    }
    routines::RegistraEvento(std::string(formato.registroFatto) + ": " + mostrato);
    out << formato.annuncioPrima << mostrato << formato.annuncioDopo << '\n';
    return kEseguito;
}

}  // namespace tableau::app
