#pragma once
// The failures of the web view: the server that cannot start (an address taken, a
// certificate that cannot be read) and the users file that cannot be read or written.
#include "routines/errors.h"

namespace tableau::web {

class ErroreWeb : public routines::Errore {
  public:
    using routines::Errore::Errore;
};

}  // namespace tableau::web
