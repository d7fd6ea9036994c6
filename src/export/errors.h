#pragma once
// Failures of the outputs: an output file that cannot be prepared or written. The message
// is UTF-8 and names the file. A chart file that cannot be read, or no longer follows the
// chart's layout, is the chart's own failure (chart/errors.h).
#include "routines/errors.h"

namespace tableau::exports {

class ErroreEsportazione : public routines::Errore {
  public:
    using routines::Errore::Errore;
};

}  // namespace tableau::exports
