#pragma once
// Failures of the print job and of the raw output, with an Italian message (UTF-8) ready
// to be shown to the user.
#include "routines/errors.h"

namespace tableau::print {

class ErroreStampa : public routines::Errore {
  public:
    using routines::Errore::Errore;
};

}  // namespace tableau::print
