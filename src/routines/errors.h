#pragma once
// The program's failures: one tree, rooted here. Every failure the program reports is an
// Errore; each layer derives its own in its errors.h (db::ErroreArchivio, chart::
// ErroreFileTableau, print::ErroreStampa, exports::ErroreEsportazione, mail::ErrorePosta).
// The message is Italian and always well-made UTF-8, ready for the message box and the
// terminal alike: data in it are converted from Windows-1252 where the message is built,
// and any byte that still is not UTF-8 is taken as Windows-1252 when the Errore is made, so
// no reader ever has to guess. The windows show them in the message box, the commands on
// standard error with exit status 1, or 2 for a RichiestaRifiutata.
#include <cstring>
#include <stdexcept>
#include <string>

namespace tableau::routines {

class Errore : public std::runtime_error {
  public:
    explicit Errore(const std::string& messaggio);
    explicit Errore(const char* messaggio) : Errore(std::string(messaggio)) {}
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

// The workstation number (PCLocal) holds what cannot be part of a file name: a path
// separator, "..", a NUL or a control character. Refused as a request is: nothing has been
// read or written.
class ErrorePostazione : public RichiestaRifiutata {
  public:
    using RichiestaRifiutata::RichiestaRifiutata;
};

// A file the program reads whole or writes cannot be read or written; the message names it.
class ErroreFile : public Errore {
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
