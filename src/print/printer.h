#pragma once
// The page printer as the print job drives it: the installed printers, the current one and
// the operations of one document. The service object outlives the jobs: the current
// printer and its settings (duplex, orientation) persist from one job to the next for as
// long as the caller keeps the object. Texts are Windows-1252 bytes.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tableau::print {

inline constexpr int kOrientamentoVerticale = 1;
inline constexpr int kOrientamentoOrizzontale = 2;
inline constexpr int kFronteRetro = 2;  // duplex mode: double-sided

class ServizioStampanti {
  public:
    virtual ~ServizioStampanti() = default;

    // Device names of the installed printers, in the platform's order.
    virtual std::vector<std::string> stampantiInstallate() const = 0;

    // The device name of the current printer (the system's default until one is chosen);
    // empty when there is none.
    virtual std::string nomeStampanteCorrente() const = 0;

    // Makes an installed printer (its exact device name) the current printer.
    virtual void scegliStampante(const std::string& nome) = 0;
    // The next document goes into this PDF file instead of the current printer; the
    // current printer is unchanged and is used again after that document.
    virtual void scegliFilePdf(const std::filesystem::path& file) = 0;

    virtual void impostaFronteRetro(int modo) = 0;
    virtual void impostaOrientamento(int orientamento) = 0;
    virtual void impostaNomeFont(const std::string& nome) = 0;
    virtual void impostaDimensioneFont(double punti) = 0;
    // The size the printer accepted.
    virtual double dimensioneFont() const = 0;
    virtual void impostaGrassetto(bool grassetto) = 0;

    // Prints a text that stays on the line.
    virtual void stampaTesto(std::string_view testo) = 0;
    // Prints a text and ends the line.
    virtual void stampaRiga(std::string_view testo) = 0;
    virtual void nuovaPagina() = 0;
    // Ends the document and sends it to the printer (or closes the PDF file). Throws
    // ErroreStampa when the printer refuses it.
    virtual void fineDocumento() = 0;
    // Drops the document begun so far (a job that failed half-way); never throws.
    virtual void annullaDocumento() noexcept = 0;
};

}  // namespace tableau::print
