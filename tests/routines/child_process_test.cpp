// Child processes: refused when missing, their outputs and ends reported, never left behind,
// given no descriptor but their own three.
#include "routines/child_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>

#include "routines/errors.h"
#include "support/temp_dir.h"

namespace tableau::routines {
namespace {

ChildOptions Shell(const std::string& script) {
    return {.argv = {"/bin/sh", "-c", script},
            .output = ChildOutput::Pipe,
            .errors = ChildOutput::Pipe};
}

ChildOptions Sleeper() {
    return {.argv = {"sleep", "30"}, .searchPath = true};
}

// Neither running nor a zombie waiting to be reaped.
bool Gone(pid_t pid) {
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

TEST(ChildProcess, AProgramThatIsNotThereIsRefused) {
    for (const bool searchPath : {false, true}) {
        const std::string name = searchPath ? "tableau-no-such-program" : "/nonexistent/tableau";
        try {
            ChildProcess child({.argv = {name}, .searchPath = searchPath});
            ADD_FAILURE() << name << " started";
        } catch (const ErroreAvvio& e) {
            EXPECT_EQ(e.codice(), ENOENT);
            EXPECT_EQ(std::string(e.what()).rfind("Impossibile avviare " + name + ": ", 0), 0u)
                << e.what();
        }
    }
}

TEST(ChildProcess, OutputsAreCollectedApartOrMerged) {
    ChildProcess apart(Shell("echo out; echo err >&2; exit 3"));
    const ExitStatus status = apart.finish();
    EXPECT_EQ(status.code, 3);
    EXPECT_EQ(status.signal, 0);
    EXPECT_EQ(apart.output(), "out\n");
    EXPECT_EQ(apart.errors(), "err\n");

    auto options = Shell("echo out; echo err >&2");
    options.errors = ChildOutput::Merged;
    ChildProcess merged(options);
    EXPECT_TRUE(merged.finish().success());
    EXPECT_EQ(merged.output(), "out\nerr\n");
    EXPECT_EQ(merged.errors(), "");

    // More than a pipe holds on the error output before anything on the standard output.
    ChildProcess talkative(Shell("head -c 300000 /dev/zero >&2; echo done"));
    EXPECT_TRUE(talkative.finish().success());
    EXPECT_EQ(talkative.errors().size(), 300000u);
    EXPECT_EQ(talkative.output(), "done\n");
}

TEST(ChildProcess, FeedingItsInput) {
    // A child that answers as it reads: its answers are drained while it is fed.
    ChildProcess cat({.argv = {"cat"},
                      .searchPath = true,
                      .input = ChildInput::Pipe,
                      .output = ChildOutput::Pipe});
    const std::string megabyte(1 << 20, 'x');
    cat.write(megabyte);
    EXPECT_TRUE(cat.finish().success());
    EXPECT_EQ(cat.output(), megabyte);

    // A child that no longer reads: an error to report, not a SIGPIPE ending this program.
    ChildProcess deaf({.argv = {"true"}, .searchPath = true, .input = ChildInput::Pipe});
    EXPECT_TRUE(deaf.wait().success());
    try {
        deaf.write(megabyte);
        ADD_FAILURE() << "no error";
    } catch (const ErroreProcesso& e) {
        EXPECT_EQ(e.codice(), EPIPE);
        EXPECT_EQ(std::string(e.what()).rfind("Errore di comunicazione con true: ", 0), 0u)
            << e.what();
    }
}

TEST(ChildProcess, EndsByASignalAndChecksWithoutWaiting) {
    ChildProcess killed(Shell("kill -TERM $$"));
    const ExitStatus status = killed.wait();
    EXPECT_FALSE(status.code);
    EXPECT_EQ(status.signal, SIGTERM);

    ChildProcess sleeper(Sleeper());
    EXPECT_FALSE(sleeper.tryWait());
    sleeper.kill();
    EXPECT_EQ(sleeper.wait().signal, SIGKILL);
    ASSERT_TRUE(sleeper.tryWait());
    EXPECT_EQ(sleeper.tryWait()->signal, SIGKILL) << "the same end, asked again";
    EXPECT_TRUE(Gone(sleeper.pid()));
}

TEST(ChildProcess, OneNotWaitedForIsStoppedAndReaped) {
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = -1;
    {
        ChildProcess sleeper(Sleeper());
        pid = sleeper.pid();
        ASSERT_GT(pid, 0);
    }
    EXPECT_TRUE(Gone(pid));

    // Moved over, the replaced child is stopped at once and the moved one lives on.
    auto piped = Sleeper();
    piped.input = ChildInput::Pipe;
    piped.stopSignal = SIGTERM;
    ChildProcess first(Sleeper());
    ChildProcess second(piped);
    const pid_t firstPid = first.pid();
    const pid_t secondPid = second.pid();
    first = std::move(second);
    EXPECT_TRUE(Gone(firstPid));
    EXPECT_FALSE(Gone(secondPid));
    first = ChildProcess(Sleeper());
    EXPECT_TRUE(Gone(secondPid)) << "stopped with its own signal";
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(ChildProcess, TheChildGetsOnlyItsStandardDescriptors) {
    ChildProcess fed({.argv = {"cat"},
                      .searchPath = true,
                      .input = ChildInput::Pipe,
                      .output = ChildOutput::Pipe});
    const FileDescriptor stray(::open("/dev/null", O_RDONLY));  // without close-on-exec
    ASSERT_TRUE(stray.valid());
    std::string fds = "0 1 2";
    for (const int fd : {fed.inputSocket().get(), fed.outputPipe().get(), stray.get()}) {
        fds += " " + std::to_string(fd);
    }
    ChildProcess lister(
        Shell("for fd in " + fds + "; do [ -e /proc/$$/fd/$fd ] && echo $fd; done"));
    lister.finish();
    EXPECT_EQ(lister.output(), "0\n1\n2\n");
}

TEST(ChildProcess, RunsInItsOwnSessionAndDirectory) {
    test::TempDir dir;
    auto options = Shell("pwd; cut -d' ' -f6 /proc/$$/stat");
    options.newSession = true;
    options.workingDirectory = dir.path();
    ChildProcess child(options);
    EXPECT_TRUE(child.finish().success()) << child.errors();
    EXPECT_EQ(child.output(), std::filesystem::canonical(dir.path()).string() + "\n" +
                                  std::to_string(child.pid()) + "\n");
}

}  // namespace
}  // namespace tableau::routines
