#include "print/cups_queue.h"

#include "print/child_process.h"
#include "routines/codepage.h"
#include "routines/text_file.h"

namespace tableau::print {

std::vector<std::string> CodeDiStampa() {
    std::string uscita;
    if (EseguiProgramma({"lpstat", "-e"}, uscita) != 0) {
        return {};
    }
    std::vector<std::string> code;
    for (auto& riga : routines::RigheDelTesto(uscita)) {
        if (!riga.empty()) {
            code.push_back(routines::utf8ToCp1252(riga));
        }
    }
    return code;
}

}  // namespace tableau::print
