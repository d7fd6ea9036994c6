#pragma once
// Failures of the hotel databases. The message is Italian and names the file, table or
// field at fault, ready to be shown to the user.
#include "routines/errors.h"

namespace tableau::db {

class ErroreArchivio : public routines::Errore {
  public:
    using routines::Errore::Errore;
};

}  // namespace tableau::db
