#include "preview/chart_pages.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "chart/chart_file.h"
#include "routines/atomic_file.h"
#include "routines/text.h"
#include "routines/text_file.h"

namespace tableau::preview {

LettoreTableau::LettoreTableau(std::filesystem::path file) : file_(std::move(file)) {
    riavvolgi();
}

void LettoreTableau::riavvolgi() {
    righe_ = routines::RigheDelTesto(chart::LeggiTestoTableau(file_));
    prossimaRiga_ = 0;
}

PaginaTableau LettoreTableau::caricaPagina(long limite) {
    PaginaTableau pagina;
    pagina.primaRiga = prossimaRiga_;
    while (!allaFine() && pagina.caratteriLetti < limite) {
        std::string riga = righe_[prossimaRiga_];
        pagina.caratteriLetti += static_cast<long>(riga.size());
        pagina.testo += routines::SostituisciBordi(riga);
        pagina.testo += "\r\n";
        ++pagina.righe;
        ++prossimaRiga_;
    }
    pagina.altrePagine = !allaFine();
    return pagina;
}

std::size_t SalvaPagina(const std::filesystem::path& file, std::size_t primaRiga, std::size_t righe,
                        std::string_view testo) {
    const std::vector<std::string> presenti =
        routines::RigheDelTesto(chart::LeggiTestoTableau(file));
    const std::vector<std::string> nuove = routines::RigheDelTesto(testo);
    const std::size_t inizio = std::min(primaRiga, presenti.size());
    const std::size_t fine = std::min(primaRiga + righe, presenti.size());

    routines::AtomicFile uscita(file);
    std::string contenuto;
    const auto scrivi = [&](const std::string& riga) {
        contenuto += riga;
        contenuto += "\r\n";
        if (contenuto.size() >= 1 << 16) {
            uscita.write(contenuto);
            contenuto.clear();
        }
    };
    std::for_each(presenti.begin(), presenti.begin() + static_cast<std::ptrdiff_t>(inizio), scrivi);
    std::for_each(nuove.begin(), nuove.end(), scrivi);
    std::for_each(presenti.begin() + static_cast<std::ptrdiff_t>(fine), presenti.end(), scrivi);
    uscita.write(contenuto);
    uscita.commit();
    return nuove.size();
}

}  // namespace tableau::preview
