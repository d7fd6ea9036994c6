#pragma once
// The workstation a run works for: its data directory, where the hotel's files are read and
// the workstation's own files written, and its number (PCLocal), which names those files
// ("FD7", "fd7.csv", "e-mail7.txt"). Made once at start-up from the settings and handed to
// every part that reads or writes a workstation's file; nothing below the start-up reads
// the environment or the current directory for them.
#include <filesystem>
#include <string>

namespace tableau::routines {

class Postazione {
  public:
    // The number as the settings give it (Windows-1252, empty when none is set); a relative
    // data directory is taken from the current directory at the moment it is made.
    Postazione(std::filesystem::path cartellaDati, std::string numero);

    const std::filesystem::path& cartellaDati() const { return cartellaDati_; }

    // The workstation number. Throws ErrorePostazione when the text cannot be part of a
    // file name (a path separator, "..", a control character): nothing has been read or
    // written. The check is made here, at the first file named, as every reader and writer
    // of a workstation's file asks for it.
    const std::string& numero() const;

    // The number as given, unchecked: for messages and the log.
    const std::string& numeroIndicato() const { return numero_; }

    // A file of the workstation in the data directory: the name (Windows-1252) in the file
    // system's UTF-8.
    std::filesystem::path percorso(const std::string& nomeCp1252) const;

  private:
    std::filesystem::path cartellaDati_;
    std::string numero_;
};

}  // namespace tableau::routines
