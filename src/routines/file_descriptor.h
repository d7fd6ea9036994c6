#pragma once
// Descriptors owned by an object: closed when it goes, handed on by moving. The pipes and
// socket pairs that connect the program to its child processes are made close-on-exec, so
// that no child inherits an end it was not given.
#include <cstddef>
#include <utility>

namespace tableau::routines {

class FileDescriptor {
  public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = other.release();
        }
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Gives the descriptor up without closing it.
    int release() { return std::exchange(fd_, -1); }
    // Closes it (an error of close is of no use to anyone here).
    void reset();

    // Reads what is there, at most size bytes; 0 at the end. Interrupted reads are retried;
    // throws ErroreProcesso on a failure.
    std::size_t read(char* into, std::size_t size);

  private:
    int fd_ = -1;
};

// What is written at writeEnd comes out at readEnd.
struct Pipe {
    FileDescriptor readEnd;
    FileDescriptor writeEnd;

    // Throws ErroreProcesso when the system has no more descriptors.
    static Pipe open();
};

// Two connected stream sockets. Sending on one whose peer is closed fails with EPIPE, where
// writing on a pipe would raise SIGPIPE and end the program.
struct SocketPair {
    FileDescriptor first;
    FileDescriptor second;

    // Throws ErroreProcesso when the system has no more descriptors.
    static SocketPair open();
};

}  // namespace tableau::routines
