#include "routines/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <utility>

#include "routines/errors.h"

extern char** environ;

namespace tableau::routines {
namespace {

// posix_spawn's file actions: what the child does with its descriptors before the program
// runs, in the order they are added.
class SpawnFileActions {
  public:
    explicit SpawnFileActions(std::string why) : why_(std::move(why)) {
        check(::posix_spawn_file_actions_init(&actions_));
    }
    ~SpawnFileActions() { ::posix_spawn_file_actions_destroy(&actions_); }
    SpawnFileActions(const SpawnFileActions&) = delete;
    SpawnFileActions& operator=(const SpawnFileActions&) = delete;

    void open(int fd, const char* path, int flags) {
        check(::posix_spawn_file_actions_addopen(&actions_, fd, path, flags, 0));
    }
    void duplicate(int from, int to) {
        check(::posix_spawn_file_actions_adddup2(&actions_, from, to));
    }
    void closeFrom(int fd) { check(::posix_spawn_file_actions_addclosefrom_np(&actions_, fd)); }
    void changeDirectory(const std::filesystem::path& directory) {
        check(::posix_spawn_file_actions_addchdir_np(&actions_, directory.c_str()));
    }
    const posix_spawn_file_actions_t* get() const { return &actions_; }

  private:
    void check(int result) const {
        if (result != 0) {
            throw ErroreProcesso(why_, result);
        }
    }
    std::string why_;
    posix_spawn_file_actions_t actions_;
};

class SpawnAttributes {
  public:
    explicit SpawnAttributes(const std::string& why) {
        if (const int result = ::posix_spawnattr_init(&attributes_); result != 0) {
            throw ErroreProcesso(why, result);
        }
    }
    ~SpawnAttributes() { ::posix_spawnattr_destroy(&attributes_); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;

    void setFlags(short flags) { ::posix_spawnattr_setflags(&attributes_, flags); }
    void setProcessGroup(pid_t group) { ::posix_spawnattr_setpgroup(&attributes_, group); }
    const posix_spawnattr_t* get() const { return &attributes_; }

  private:
    posix_spawnattr_t attributes_;
};

// The child's descriptor `target` as asked; `childEnd` is the child's end of its pipe.
void Redirect(SpawnFileActions& actions, ChildOutput how, const FileDescriptor& childEnd,
              int target) {
    switch (how) {
        case ChildOutput::Inherit:
            break;
        case ChildOutput::Null:
            actions.open(target, "/dev/null", O_WRONLY);
            break;
        case ChildOutput::Pipe:
            actions.duplicate(childEnd.get(), target);
            break;
        case ChildOutput::Merged:
            actions.duplicate(STDOUT_FILENO, target);
            break;
    }
}

ExitStatus Decode(int waitStatus) {
    ExitStatus status;
    if (WIFEXITED(waitStatus)) {
        status.code = WEXITSTATUS(waitStatus);
    } else if (WIFSIGNALED(waitStatus)) {
        status.signal = WTERMSIG(waitStatus);
    }
    return status;
}

// Appends what poll found waiting on the pipe; closes the pipe at its end or on a failure.
void CollectReady(const pollfd& polled, FileDescriptor& pipe, std::string& into) {
    if (!pipe.valid() || (polled.revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
        return;
    }
    char block[4096];
    std::size_t n = 0;
    try {
        n = pipe.read(block, sizeof block);
    } catch (const ErroreProcesso&) {
        n = 0;  // nothing more can come from it
    }
    if (n == 0) {
        pipe.reset();
    } else {
        into.append(block, n);
    }
}

}  // namespace

ChildProcess::ChildProcess(const ChildOptions& options)
    : program_(options.argv.at(0)), stopSignal_(options.stopSignal) {
    if (options.output == ChildOutput::Merged) {
        throw std::invalid_argument("ChildProcess: only the error output can be merged");
    }
    const std::string cannotStart = "Impossibile avviare " + program_;
    // The child's ends, closed here once the child has its copies.
    FileDescriptor childInput;
    FileDescriptor childOutput;
    FileDescriptor childErrors;
    try {
        if (options.input == ChildInput::Pipe) {
            SocketPair pair = SocketPair::open();
            input_ = std::move(pair.first);
            childInput = std::move(pair.second);
        }
        if (options.output == ChildOutput::Pipe) {
            Pipe pipe = Pipe::open();
            output_ = std::move(pipe.readEnd);
            childOutput = std::move(pipe.writeEnd);
        }
        if (options.errors == ChildOutput::Pipe) {
            Pipe pipe = Pipe::open();
            errors_ = std::move(pipe.readEnd);
            childErrors = std::move(pipe.writeEnd);
        }
    } catch (const ErroreProcesso& e) {
        throw ErroreProcesso(cannotStart, e.codice());
    }

    SpawnFileActions actions(cannotStart);
    switch (options.input) {
        case ChildInput::Inherit:
            break;
        case ChildInput::Null:
            actions.open(STDIN_FILENO, "/dev/null", O_RDONLY);
            break;
        case ChildInput::Pipe:
            actions.duplicate(childInput.get(), STDIN_FILENO);
            break;
    }
    Redirect(actions, options.output, childOutput, STDOUT_FILENO);
    Redirect(actions, options.errors, childErrors, STDERR_FILENO);
    // Descriptors opened without close-on-exec, by a library say, stay here too.
    actions.closeFrom(STDERR_FILENO + 1);
    if (!options.workingDirectory.empty()) {
        actions.changeDirectory(options.workingDirectory);
    }
    SpawnAttributes attributes(cannotStart);
    if (options.newSession) {
        attributes.setFlags(POSIX_SPAWN_SETSID);  // a session leader leads a group too
    } else if (options.newProcessGroup) {
        attributes.setFlags(POSIX_SPAWN_SETPGROUP);
        attributes.setProcessGroup(0);
    }

    std::vector<char*> argv;
    for (const auto& argument : options.argv) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned =
        options.searchPath
            ? ::posix_spawnp(&pid, argv[0], actions.get(), attributes.get(), argv.data(), environ)
            : ::posix_spawn(&pid, argv[0], actions.get(), attributes.get(), argv.data(), environ);
    if (spawned != 0) {
        throw ErroreAvvio(cannotStart, spawned);
    }
    pid_ = pid;
    group_ = options.newProcessGroup;
}

ChildProcess::~ChildProcess() {
    stop();
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : program_(std::move(other.program_)),
      pid_(std::exchange(other.pid_, -1)),
      status_(std::exchange(other.status_, std::nullopt)),
      stopSignal_(other.stopSignal_),
      group_(other.group_),
      input_(std::move(other.input_)),
      output_(std::move(other.output_)),
      errors_(std::move(other.errors_)),
      collectedOutput_(std::move(other.collectedOutput_)),
      collectedErrors_(std::move(other.collectedErrors_)) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        stop();
        program_ = std::move(other.program_);
        pid_ = std::exchange(other.pid_, -1);
        status_ = std::exchange(other.status_, std::nullopt);
        stopSignal_ = other.stopSignal_;
        group_ = other.group_;
        input_ = std::move(other.input_);
        output_ = std::move(other.output_);
        errors_ = std::move(other.errors_);
        collectedOutput_ = std::move(other.collectedOutput_);
        collectedErrors_ = std::move(other.collectedErrors_);
    }
    return *this;
}

void ChildProcess::stop() {
    input_.reset();
    output_.reset();
    errors_.reset();
    if (pid_ > 0 && !status_) {
        kill(stopSignal_);
        wait();
    }
}

void ChildProcess::kill(int signal) {
    // Until it is reaped the child's pid names it, and its group while it leads one.
    if (pid_ > 0 && !status_) {
        ::kill(group_ ? -pid_ : pid_, signal);
    }
}

ExitStatus ChildProcess::wait() {
    if (pid_ > 0 && !status_) {
        int waitStatus = 0;
        pid_t reaped = -1;
        while ((reaped = ::waitpid(pid_, &waitStatus, 0)) < 0 && errno == EINTR) {
        }
        status_ = reaped < 0 ? ExitStatus{} : Decode(waitStatus);
    }
    return status_.value_or(ExitStatus{});
}

std::optional<ExitStatus> ChildProcess::tryWait() {
    if (pid_ > 0 && !status_) {
        int waitStatus = 0;
        pid_t reaped = -1;
        while ((reaped = ::waitpid(pid_, &waitStatus, WNOHANG)) < 0 && errno == EINTR) {
        }
        if (reaped == 0) {
            return std::nullopt;
        }
        status_ = reaped < 0 ? ExitStatus{} : Decode(waitStatus);
    }
    return status_;
}

void ChildProcess::write(std::string_view bytes) {
    if (!input_.valid()) {
        throw std::logic_error("ChildProcess::write: the standard input is not piped");
    }
    const std::string why = "Errore di comunicazione con " + program_;
    while (!bytes.empty()) {
        // poll passes over the closed pipes (negative descriptors).
        pollfd waits[3] = {
            {input_.get(), POLLOUT, 0}, {output_.get(), POLLIN, 0}, {errors_.get(), POLLIN, 0}};
        if (::poll(waits, 3, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw ErroreProcesso(why, errno);
        }
        CollectReady(waits[1], output_, collectedOutput_);
        CollectReady(waits[2], errors_, collectedErrors_);
        if ((waits[0].revents & (POLLOUT | POLLERR | POLLHUP)) == 0) {
            continue;
        }
        // Without blocking: only what the socket has room for, so that the child's output
        // is drained again before it fills up.
        const ssize_t sent =
            ::send(input_.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                continue;
            }
            throw ErroreProcesso(why, errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
}

ExitStatus ChildProcess::finish() {
    input_.reset();
    while (output_.valid() || errors_.valid()) {
        pollfd waits[2] = {{output_.get(), POLLIN, 0}, {errors_.get(), POLLIN, 0}};
        if (::poll(waits, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            output_.reset();  // cannot listen any more: the child hears of it
            errors_.reset();
            break;
        }
        CollectReady(waits[0], output_, collectedOutput_);
        CollectReady(waits[1], errors_, collectedErrors_);
    }
    return wait();
}

}  // namespace tableau::routines
