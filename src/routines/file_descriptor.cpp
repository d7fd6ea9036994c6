#include "routines/file_descriptor.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "routines/errors.h"

namespace tableau::routines {

void FileDescriptor::reset() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

std::size_t FileDescriptor::read(char* into, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(fd_, into, size);
        if (n >= 0) {
            return static_cast<std::size_t>(n);
        }
        if (errno != EINTR) {
            throw ErroreProcesso("Errore di lettura", errno);
        }
    }
}

Pipe Pipe::open() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        throw ErroreProcesso("Impossibile creare una pipe", errno);
    }
    return Pipe{FileDescriptor(ends[0]), FileDescriptor(ends[1])};
}

SocketPair SocketPair::open() {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        throw ErroreProcesso("Impossibile creare una coppia di socket", errno);
    }
    return SocketPair{FileDescriptor(ends[0]), FileDescriptor(ends[1])};
}

}  // namespace tableau::routines
