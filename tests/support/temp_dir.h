#pragma once
// A fresh directory under the system's temporary directory, removed with everything in it
// when the object goes.
#include <filesystem>
#include <string>

namespace tableau::test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

// Makes a directory the current one for the object's lifetime.
class CurrentDirectory {
  public:
    explicit CurrentDirectory(const std::filesystem::path& path);
    ~CurrentDirectory();
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

  private:
    std::filesystem::path previous_;
};

// Sets (or, with no value, unsets) an environment variable for the object's lifetime.
class ScopedEnv {
  public:
    ScopedEnv(std::string name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string name_;
    bool had_ = false;
    std::string previous_;
};

std::string readFile(const std::filesystem::path& path);

// A file of the tests' own data folder (tests/data), by its path inside it.
std::filesystem::path testData(const std::string& relative);

// "riga <da>" to "riga <a>", each ended by CR LF: a chart-like text of numbered lines.
std::string Righe(int da, int a);
void writeFile(const std::filesystem::path& path, const std::string& bytes);

}  // namespace tableau::test
