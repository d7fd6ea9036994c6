#pragma once
// A program run as a child process with its input fed by the caller, the way the raw
// output reaches a printer queue. Output is collected for the messages.
#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

namespace tableau::print {

class ProcessoFiglio {
  public:
    // Starts argv[0] (found through the search path). Throws ErroreStampa when it cannot.
    explicit ProcessoFiglio(const std::vector<std::string>& argv);
    // Without attendi(): the child is stopped and reaped.
    ~ProcessoFiglio();
    ProcessoFiglio(const ProcessoFiglio&) = delete;
    ProcessoFiglio& operator=(const ProcessoFiglio&) = delete;

    // Feeds the child's standard input. Throws ErroreStampa when the child stopped reading.
    void scrivi(std::string_view byte);
    // Closes the input and waits for the child; returns its exit status (-1 when it did
    // not exit normally). Its standard output and error are in uscita() afterwards.
    int attendi();
    const std::string& uscita() const { return uscita_; }

  private:
    void leggiUscita();

    std::string programma_;
    pid_t pid_ = -1;
    int ingresso_ = -1;  // socket to the child's standard input
    int lettura_ = -1;   // pipe from the child's standard output and error
    std::string uscita_;
};

// Runs a program to its end with no input; returns its exit status and output, or -1
// when it cannot be started.
int EseguiProgramma(const std::vector<std::string>& argv, std::string& uscita);

}  // namespace tableau::print
