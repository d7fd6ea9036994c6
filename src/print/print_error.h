#pragma once
// Failures of the print job and of the raw output, with an Italian message (UTF-8) ready
// to be shown to the user.
#include <stdexcept>

namespace tableau::print {

class ErroreStampa : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace tableau::print
