#pragma once
// Failures of the hotel tables, from the files or from the chain's server. The message is
// Italian (UTF-8) and names the file, table or field at fault, ready to be shown to the user.
#include <string>
#include <utility>

#include "routines/errors.h"

namespace tableau::db {

class ErroreArchivio : public routines::Errore {
  public:
    using routines::Errore::Errore;
};

// A failure of the server or of a statement on it. The message is Italian and names the
// server (host, port and database, never the password); sqlstate() is the server's error
// code where it gave one ("42P01": no such table), empty for a connection failure.
class ErroreServer : public ErroreArchivio {
  public:
    ErroreServer(const std::string& message, std::string sqlstate = {})
        : ErroreArchivio(message), sqlstate_(std::move(sqlstate)) {}
    const std::string& sqlstate() const { return sqlstate_; }

  private:
    std::string sqlstate_;
};

// A sync refused because it would leave tables of the server empty, or with less than half
// the rows they hold: the directory looks cut short (a file emptied, restored from an old
// copy). The message names each table with both counts; the caller may force the sync.
class ErroreRiduzione : public ErroreArchivio {
  public:
    using ErroreArchivio::ErroreArchivio;
};

}  // namespace tableau::db
