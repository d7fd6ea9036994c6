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

// The same for a file that a library writes by its name (a zip writer, say): the library
// writes the temporary file, which replaces the target only on commit(); without commit()
// the temporary file is removed and the previous file stays whole.
class AtomicPath {
  public:
    // Reserves a fresh temporary file beside the target; throws Errore when it cannot.
    explicit AtomicPath(std::filesystem::path target);
    ~AtomicPath();
    AtomicPath(const AtomicPath&) = delete;
    AtomicPath& operator=(const AtomicPath&) = delete;

    // Where the library writes.
    const std::filesystem::path& temporary() const { return temporary_; }
    const std::filesystem::path& target() const { return target_; }
    // Syncs the written file and renames it over the target; throws Errore on failure.
    void commit();

  private:
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    bool committed_ = false;
};

}  // namespace tableau::routines
