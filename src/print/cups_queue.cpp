#include "print/cups_queue.h"

#include "routines/child_process.h"
#include "routines/codepage.h"
#include "routines/errors.h"
#include "routines/text_file.h"

namespace tableau::print {

std::vector<std::string> CodeDiStampa() {
    std::string uscita;
    try {
        routines::ChildProcess lpstat({.argv = {"lpstat", "-e"},
                                       .searchPath = true,
                                       .input = routines::ChildInput::Null,
                                       .output = routines::ChildOutput::Pipe,
                                       .errors = routines::ChildOutput::Merged});
        if (!lpstat.finish().success()) {
            return {};
        }
        uscita = lpstat.output();
    } catch (const routines::ErroreProcesso&) {
        return {};  // no client to ask
    }
    std::vector<std::string> code;
    for (auto& riga : routines::RigheDelTesto(uscita)) {
        if (!riga.empty()) {
            code.push_back(routines::InCp1252(riga));
        }
    }
    return code;
}

}  // namespace tableau::print
