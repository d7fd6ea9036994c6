#pragma once
// A file written whole or not at all: the bytes go to a temporary file beside the target,
// which replaces the target only on commit(). A writer destroyed without commit() (an
// exception on the way) removes its temporary file and leaves the previous file intact.
// The temporaries a killed run left for the same target are removed by the next writer
// once they are ten minutes old.
#include <cstdio>
#include <filesystem>
#include <string_view>

namespace tableau::routines {

class AtomicFile {
  public:
    // Throws Errore (Italian message naming the file) when it cannot be created.
    explicit AtomicFile(std::filesystem::path target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Throws Errore on a write error (a full disk, say).
    void write(std::string_view bytes);
    // Flushes, syncs and renames over the target; throws Errore on failure.
    void commit();

    const std::filesystem::path& target() const { return target_; }

  private:
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    std::FILE* file_ = nullptr;
};

}  // namespace tableau::routines
