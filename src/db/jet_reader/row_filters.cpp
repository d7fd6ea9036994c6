#include "db/jet_reader/row_filters.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>

#include "db/jet_reader/field_values.h"

namespace tableau::db::jet_reader {
namespace {

bool Confronta(int esito, const std::string& operatore) {
    if (operatore == "=") {
        return esito == 0;
    }
    if (operatore == "<>") {
        return esito != 0;
    }
    if (operatore == "<") {
        return esito < 0;
    }
    if (operatore == "<=") {
        return esito <= 0;
    }
    if (operatore == ">") {
        return esito > 0;
    }
    return esito >= 0;  // ">="
}

std::optional<std::int64_t> Intero(std::string_view testo) {
    std::int64_t n = 0;
    const auto read = std::from_chars(testo.data(), testo.data() + testo.size(), n);
    if (read.ec != std::errc() || read.ptr != testo.data() + testo.size()) {
        return std::nullopt;
    }
    return n;
}

}  // namespace

bool LeggiFiltri(int argc, char** argv, int from, std::vector<Filtro>& filtri) {
    static const std::unordered_set<std::string> operatori{"=", "<>", "<", "<=", ">", ">="};
    for (int i = from; i < argc;) {
        const std::string tipo = argv[i];
        Filtro filtro{Filtro::Tipo::Testo, {}, {}, {}, 0, {}, 0};
        if (tipo == "--tra" && i + 2 < argc) {
            filtro.tipo = Filtro::Tipo::Tra;
            filtro.campo = argv[i + 1];
            std::string_view lista = argv[i + 2];
            while (!lista.empty()) {
                const auto fine = std::min(lista.find(','), lista.size());
                const auto numero = Intero(lista.substr(0, fine));
                if (!numero) {
                    return false;
                }
                filtro.numeri.insert(*numero);
                lista.remove_prefix(std::min(fine + 1, lista.size()));
            }
            i += 3;
        } else if ((tipo == "--testo" || tipo == "--intero") && i + 3 < argc) {
            filtro.campo = argv[i + 1];
            filtro.operatore = argv[i + 2];
            if (operatori.count(filtro.operatore) == 0) {
                return false;
            }
            if (tipo == "--testo") {
                filtro.testo = argv[i + 3];
            } else {
                const auto numero = Intero(argv[i + 3]);
                if (!numero) {
                    return false;
                }
                filtro.tipo = Filtro::Tipo::Intero;
                filtro.numero = *numero;
            }
            i += 4;
        } else {
            return false;
        }
        filtri.push_back(std::move(filtro));
    }
    return true;
}

bool Soddisfa(const Filtro& filtro, MdbHandle* mdb, const MdbTableDef* table, const MdbColumn* col,
              const char* text, int length) {
    const std::string_view value(text, length > 0 ? static_cast<std::size_t>(length) : 0);
    if (filtro.tipo == Filtro::Tipo::Testo) {
        if (value.empty() && !TestoVuoto(mdb, table, col)) {
            return false;  // null
        }
        if (std::any_of(value.begin(), value.end(), [](char c) { return (c & 0x80) != 0; })) {
            return true;  // the program compares it in its own code page: let it decide
        }
        return Confronta(value.compare(filtro.testo), filtro.operatore);
    }
    const auto numero = Intero(value);
    if (!numero) {
        return false;  // null
    }
    if (filtro.tipo == Filtro::Tipo::Tra) {
        return filtro.numeri.count(*numero) != 0;
    }
    return Confronta(*numero < filtro.numero   ? -1
                     : *numero > filtro.numero ? 1
                                               : 0,
                     filtro.operatore);
}

}  // namespace tableau::db::jet_reader
