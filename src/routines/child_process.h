#pragma once
// Child processes: a program started with the standard streams its caller chooses, owned by
// an object. A child not waited for is stopped and reaped when its object goes, so that no
// path leaves a zombie or a stray program behind. The Jet reader, the print queue's clients
// and the mail program all start this way.
#include <signal.h>
#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "routines/file_descriptor.h"

namespace tableau::routines {

// The child's standard input.
enum class ChildInput {
    Inherit,  // the program's own
    Null,     // /dev/null
    Pipe,     // a socket the caller feeds: write(), or inputSocket()
};

// The child's standard output or error output.
enum class ChildOutput {
    Inherit,  // the program's own
    Null,     // /dev/null
    Pipe,     // a pipe: collected by write() and finish(), or read from outputPipe()/errorPipe()
    Merged,   // the error output only: wherever the standard output goes
};

struct ChildOptions {
    // argv[0] names the program: its path, or with searchPath a name looked up in $PATH.
    std::vector<std::string> argv;
    bool searchPath = false;
    ChildInput input = ChildInput::Null;
    ChildOutput output = ChildOutput::Inherit;
    ChildOutput errors = ChildOutput::Inherit;
    // The child leads a session of its own, apart from the program's terminal and signals.
    bool newSession = false;
    // The child leads a process group of its own: kill() and the stop reach the programs it
    // starts in turn (a wrapper script's children), not the child alone.
    bool newProcessGroup = false;
    // Where the child runs; the program's current directory when empty.
    std::filesystem::path workingDirectory = {};
    // The signal that stops a child whose object goes without waiting for it.
    int stopSignal = SIGKILL;
};

// How a child ended: neither a code nor a signal when its end cannot be known.
struct ExitStatus {
    std::optional<int> code;  // the exit status, when it exited
    int signal = 0;           // the signal that ended it, when one did
    bool success() const { return code == 0; }
};

class ChildProcess {
  public:
    // Starts the program. Throws ErroreAvvio when it cannot be started (ENOENT: it is not
    // there), ErroreProcesso when its pipes cannot be made; both messages begin
    // "Impossibile avviare <argv[0]>". Every descriptor but the three standard ones is
    // closed in the child.
    explicit ChildProcess(const ChildOptions& options);
    // Closes the pipes; a child not waited for is then stopped and reaped.
    ~ChildProcess();
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    const std::string& program() const { return program_; }

    // The caller's ends of the piped streams; invalid for the streams not piped.
    FileDescriptor& inputSocket() { return input_; }
    FileDescriptor& outputPipe() { return output_; }
    FileDescriptor& errorPipe() { return errors_; }

    // Sends the signal to the child (to its process group when it leads one) unless it has
    // been reaped.
    void kill(int signal = SIGKILL);
    // Waits for the child's end; asked again, tells the same.
    ExitStatus wait();
    // The child's end when it has come, without waiting.
    std::optional<ExitStatus> tryWait();

    // Feeds the child's standard input (ChildInput::Pipe). Meanwhile whatever the child
    // writes on its piped outputs is collected, so that a talkative child never blocks.
    // Throws ErroreProcesso ("Errore di comunicazione con <argv[0]>") when the child no
    // longer reads.
    void write(std::string_view bytes);
    // Closes the standard input, collects the piped outputs to their end and waits.
    ExitStatus finish();
    // What write() and finish() collected from the standard output (with the error output
    // when merged) and from the error output.
    const std::string& output() const { return collectedOutput_; }
    const std::string& errors() const { return collectedErrors_; }

  private:
    void stop();

    std::string program_;
    pid_t pid_ = -1;
    std::optional<ExitStatus> status_;
    int stopSignal_ = SIGKILL;
    bool group_ = false;
    FileDescriptor input_;
    FileDescriptor output_;
    FileDescriptor errors_;
    std::string collectedOutput_;
    std::string collectedErrors_;
};

}  // namespace tableau::routines
