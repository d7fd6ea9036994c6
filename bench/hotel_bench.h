#pragma once
// One hotel's line of the benchmark: the chart of all its rooms for a week against the same
// week read with bare SQLite calls (bare_week.h), each with its peak memory, and the
// reading of the week's arrangements and companies by client code alone, both ways.
#include <filesystem>
#include <ostream>
#include <string>

#include "routines/clock.h"
#include "routines/dates.h"

namespace tableau::bench {

struct AlbergoDiProva {
    std::string nome;
    std::filesystem::path cartellaDati;
    routines::Data inizio;  // the chart's first day
};

struct MisuraAlbergo {
    double tableau = 0;  // seconds, best of seven
    long piccoTableau = 0;
    double nudo = 0;
    long piccoNudo = 0;
    double codiciTableau = 0;  // the arrangements and companies of the week's codes
    double codiciNudo = 0;
    std::size_t righe = 0;  // rows of the week read by the bare reading
    std::size_t codici = 0;
};

// The data directory's hotel 1, block 1, rooms "0001" to numeroCamera(kCamere).
MisuraAlbergo Misura(const AlbergoDiProva& albergo, const routines::Orologio& orologio);

void StampaIntestazione(std::ostream& out);
void StampaRiga(std::ostream& out, const AlbergoDiProva& albergo, const MisuraAlbergo& misura);

}  // namespace tableau::bench
