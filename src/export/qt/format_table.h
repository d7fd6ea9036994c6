#pragma once
// The table of output formats: the one list the command line (a command per format), tableau
// mail (its --format) and the print menu read. A new format is its own file beside the
// others (a writer and its FormatoUscita row) and one line in this table.
#include <span>
#include <string_view>

#include "export/output_format.h"

namespace tableau::exports {

// Every format, in the order --help lists them: csv, pdf, xlsx, text.
std::span<const FormatoUscita* const> FormatiUscita();

// The format named so (FormatoUscita::nome); none for any other name.
const FormatoUscita* FormatoDiNome(std::string_view nome);

}  // namespace tableau::exports
