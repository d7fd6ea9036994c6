#pragma once
// Failures of the hotel databases. The message is Italian and names the file, table or
// field at fault, ready to be shown to the user.
#include <stdexcept>
#include <string>

namespace tableau::db {

class DatabaseError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace tableau::db
