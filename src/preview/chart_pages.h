#pragma once
// The chart file read a page at a time for the preview, and a page written back into it.
// No Qt here; texts are Windows-1252.
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tableau::preview {

// First page on show: about 20000 characters; the pages after it (and the first page again):
// about 26000. A page holds whole lines and ends with the line that reaches the limit.
inline constexpr long kLimitePrimaPagina = 20000;
inline constexpr long kLimitePagina = 26000;

struct PaginaTableau {
    std::string testo;          // each line with its borders replaced and a CR LF after it
    std::size_t primaRiga = 0;  // index of the page's first line in the file
    std::size_t righe = 0;      // lines of the page
    long caratteriLetti = 0;    // characters read, before conversion, without line ends
    bool altrePagine = false;   // lines remain after the page
};

class LettoreTableau {
  public:
    // Opens the chart file; throws std::runtime_error (Italian message) when it cannot.
    explicit LettoreTableau(std::filesystem::path file);

    // The next page from the current read position.
    PaginaTableau caricaPagina(long limite);
    // Back to the start of the file, read again so that a rewritten file is seen as it is.
    void riavvolgi();

    bool allaFine() const { return prossimaRiga_ >= righe_.size(); }
    const std::filesystem::path& file() const { return file_; }

  private:
    std::filesystem::path file_;
    std::vector<std::string> righe_;  // the file's lines, without line ends
    std::size_t prossimaRiga_ = 0;
};

// Replaces the lines [primaRiga, primaRiga + righe) of the chart file with the lines of
// `testo` (line ends of any kind; a final line end opens no extra line) and keeps every other
// line as it was. Lines are written with CR LF; the file is replaced whole or not at all.
// Returns the number of lines the page has now. Throws std::runtime_error.
std::size_t SalvaPagina(const std::filesystem::path& file, std::size_t primaRiga, std::size_t righe,
                        std::string_view testo);

}  // namespace tableau::preview
