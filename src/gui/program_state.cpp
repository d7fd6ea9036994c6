#include "gui/program_state.h"

namespace tableau::gui {

std::unique_ptr<db::DataSource> ApriSorgente(const StatoProgramma& stato) {
    if (stato.apriSorgente) {
        return stato.apriSorgente();
    }
    return std::make_unique<db::DataSource>(stato.cartellaDati, std::nullopt);
}

}  // namespace tableau::gui
