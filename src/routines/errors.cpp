#include "routines/errors.h"

#include "routines/codepage.h"

namespace tableau::routines {

Errore::Errore(const std::string& messaggio) : std::runtime_error(SoloUtf8(messaggio)) {}

}  // namespace tableau::routines
