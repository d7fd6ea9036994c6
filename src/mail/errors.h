#pragma once
// Failures of the chart's mail. A recipient or a format refused is a
// routines::RichiestaRifiutata (nothing is sent); a message that could not be handed over
// is an ErrorePosta.
#include "routines/errors.h"

namespace tableau::mail {

// The message could not be handed over: the program is missing, could not be fed or
// exited with a failure. The message (UTF-8) names the program and what it said.
class ErrorePosta : public routines::Errore {
  public:
    using routines::Errore::Errore;
};

}  // namespace tableau::mail
