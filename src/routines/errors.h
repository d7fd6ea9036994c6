#pragma once
// The program's failures. Every failure the program reports is an Errore whose message is
// Italian (UTF-8 unless its thrower says otherwise), ready to be shown to the user; each
// layer derives its own (db::ErroreArchivio, print::ErroreStampa). The windows show them
// in the message box, the commands on standard error with exit status 1, or 2 for a
// RichiestaRifiutata.
#include <stdexcept>

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

}  // namespace tableau::routines
