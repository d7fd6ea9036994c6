#pragma once
// A page printer that records every operation as a line of text, for checking the exact
// sequence the print job drives.
#include <sstream>
#include <string>
#include <vector>

#include "print/printer.h"

namespace tableau::test {

class StampanteRegistrata final : public print::ServizioStampanti {
  public:
    std::vector<std::string> installate;
    std::vector<std::string> operazioni;
    double dimensione = 10;

    std::string corrente;  // the system's default printer

    std::vector<std::string> stampantiInstallate() const override { return installate; }
    std::string nomeStampanteCorrente() const override { return corrente; }
    void scegliStampante(const std::string& nome) override { registra("stampante " + nome); }
    void scegliFilePdf(const std::filesystem::path& file) override {
        registra("pdf " + file.filename().string());
    }
    void impostaFronteRetro(int modo) override { registra("fronteretro " + std::to_string(modo)); }
    void impostaOrientamento(int o) override { registra("orientamento " + std::to_string(o)); }
    void impostaNomeFont(const std::string& nome) override { registra("font " + nome); }
    void impostaDimensioneFont(double punti) override {
        dimensione = punti;
        std::ostringstream testo;
        testo << "dimensione " << punti;
        registra(testo.str());
    }
    double dimensioneFont() const override { return dimensione; }
    void impostaGrassetto(bool g) override { registra(g ? "grassetto si" : "grassetto no"); }
    void stampaTesto(std::string_view testo) override {
        registra("testo [" + std::string(testo) + "]");
    }
    void stampaRiga(std::string_view testo) override {
        registra("riga [" + std::string(testo) + "]");
    }
    void nuovaPagina() override { registra("nuova pagina"); }
    void fineDocumento() override { registra("fine"); }
    void annullaDocumento() noexcept override { registra("annulla"); }

  private:
    void registra(std::string operazione) { operazioni.push_back(std::move(operazione)); }
};

}  // namespace tableau::test
