#include "export/qt/format_table.h"

#include "export/csv_export.h"
#include "export/qt/pdf_export.h"
#include "export/text_export.h"
#include "export/workbook_export.h"

namespace tableau::exports {
namespace {

constexpr const FormatoUscita* kFormati[] = {
    &kFormatoCsv,
    &kFormatoPdf,
    &kFormatoXlsx,
    &kFormatoTesto,
};

}  // namespace

std::span<const FormatoUscita* const> FormatiUscita() {
    return kFormati;
}

const FormatoUscita* FormatoDiNome(std::string_view nome) {
    for (const FormatoUscita* formato : kFormati) {
        if (formato->nome == nome) {
            return formato;
        }
    }
    return nullptr;
}

}  // namespace tableau::exports
