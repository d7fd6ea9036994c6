#include "preview/mail_handoff.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "chart/chart_file.h"
#include "routines/atomic_file.h"
#include "routines/child_process.h"
#include "routines/codepage.h"
#include "routines/errors.h"

namespace tableau::preview {
namespace {

// Every line end of the text (CR LF, LF or CR alone) as CR LF.
std::string FineRigaCrLf(std::string_view testo) {
    std::string risultato;
    risultato.reserve(testo.size() + testo.size() / 32);
    for (std::size_t i = 0; i < testo.size(); ++i) {
        const char c = testo[i];
        if (c == '\r' || c == '\n') {
            risultato += "\r\n";
            if (c == '\r' && i + 1 < testo.size() && testo[i + 1] == '\n') {
                ++i;
            }
        } else {
            risultato += c;
        }
    }
    return risultato;
}

// Starts the program in its own session, working in the directory, and leaves it running;
// a detached thread collects its exit so that it leaves no zombie behind.
void AvviaSenzaAttendere(const char* programma, const std::filesystem::path& cartellaDati) {
    try {
        routines::ChildProcess posta({.argv = {programma},
                                      .searchPath = true,
                                      .input = routines::ChildInput::Inherit,
                                      .newSession = true,
                                      .workingDirectory = cartellaDati});
        std::thread([posta = std::move(posta)]() mutable { posta.wait(); }).detach();
    } catch (const routines::ErroreProcesso& e) {
        const std::string motivo = e.codice() == ENOENT
                                       ? "programma non trovato nel percorso di ricerca"
                                       : std::strerror(e.codice());
        throw routines::Errore("Impossibile avviare il programma di posta \"" +
                               std::string(programma) + "\": " + motivo);
    }
}

}  // namespace

std::string NomeFileEMail(const routines::Postazione& postazione) {
    return chart::NomeFilePostazione(postazione, "e-mail", ".txt");
}

std::filesystem::path InviaEMail(const routines::Postazione& postazione, std::string_view testo) {
    const std::filesystem::path& cartellaDati = postazione.cartellaDati();
    routines::AtomicFile file(postazione.percorso(NomeFileEMail(postazione)));
    file.write("OGGETTO\r\n");
    file.write(FineRigaCrLf(testo));
    file.write("\r\n");
    file.commit();
    AvviaSenzaAttendere(kProgrammaPosta, cartellaDati);
    return file.target();
}

}  // namespace tableau::preview
