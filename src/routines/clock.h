#pragma once
// The wall clock, behind an interface so that tests can fix "now".
#include <memory>

namespace tableau::routines {

struct DataOra {
    int anno = 0;
    int mese = 0;  // 1..12
    int giorno = 0;
    int ore = 0;  // 0..23
    int minuti = 0;
};

class Orologio {
  public:
    virtual ~Orologio() = default;
    virtual DataOra adesso() const = 0;
};

// Local time of the machine.
class OrologioDiSistema final : public Orologio {
  public:
    DataOra adesso() const override;
};

// Always answers the moment it was given; for tests and reproducible runs.
class OrologioFisso final : public Orologio {
  public:
    explicit OrologioFisso(DataOra momento) : momento_(momento) {}
    DataOra adesso() const override { return momento_; }

  private:
    DataOra momento_;
};

}  // namespace tableau::routines
