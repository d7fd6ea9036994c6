#pragma once
// The program's failures. Every failure the program reports is an Errore whose message is
// Italian (UTF-8 unless its thrower says otherwise), ready to be shown to the user; each
// layer derives its own (db::ErroreArchivio, print::ErroreStampa). The windows show them
// in the message box, the commands on standard error with exit status 1, or 2 for a
// RichiestaRifiutata.
#include <cstring>
#include <stdexcept>
#include <string>

namespace tableau::routines {

class Errore : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The user's request is refused before anything is done: a room range or a start date
// that does not hold, a wrong option. Nothing has been written.
class RichiestaRifiutata : public Errore {
  public:
    using Errore::Errore;
};

// A 16-bit counter would pass 32767: guests of a room and day, a weekly total, persons of a
// booking, a number of a list entry, the message box's layout.
class ErroreOverflow : public Errore {
  public:
    using Errore::Errore;
};

// A system call around a child process failed: a pipe could not be made, the child could
// not be fed or read. The message ends with the system's reason; codice() is its errno.
class ErroreProcesso : public Errore {
  public:
    ErroreProcesso(const std::string& cosa, int codice)
        : Errore(cosa + ": " + std::strerror(codice)), codice_(codice) {}
    int codice() const { return codice_; }

  private:
    int codice_;
};

// The child's program could not be started (ENOENT: it is not there, or not on the search
// path).
class ErroreAvvio : public ErroreProcesso {
  public:
    using ErroreProcesso::ErroreProcesso;
};

}  // namespace tableau::routines
