#include "routines/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "routines/errors.h"
#include "support/temp_dir.h"

namespace tableau::routines {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> entries(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(AtomicFile, CommitReplacesTheFile) {
    test::TempDir dir;
    test::writeFile(dir / "FD7", "old contents\r\n");
    {
        AtomicFile file(dir / "FD7");
        file.write("new ");
        file.write("");
        file.write(std::string("li\0ne\r\n", 7));
        EXPECT_EQ(test::readFile(dir / "FD7"), "old contents\r\n") << "not replaced before commit";
        file.commit();
        EXPECT_THROW(file.write("x"), std::logic_error);
        EXPECT_THROW(file.commit(), std::logic_error);
    }
    EXPECT_EQ(test::readFile(dir / "FD7"), std::string("new li\0ne\r\n", 11));
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"FD7"});
}

TEST(AtomicFile, NewFileGetsTheUsualPermissions) {
    test::TempDir dir;
    const mode_t previous = ::umask(022);
    {
        AtomicFile file(dir / "new.txt");
        file.write("x");
        file.commit();
    }
    ::umask(previous);
    EXPECT_EQ(fs::status(dir / "new.txt").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::others_read);
}

TEST(AtomicFile, WithoutCommitThePreviousFileStaysWhole) {
    test::TempDir dir;
    test::writeFile(dir / "FD7", "previous");
    try {
        AtomicFile file(dir / "FD7");
        file.write("half of a new chart");
        throw std::runtime_error("failure halfway");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(test::readFile(dir / "FD7"), "previous");
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"FD7"}) << "no temporary file left";

    { AtomicFile unused(dir / "other"); }
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"FD7"});
}

TEST(AtomicFile, TemporariesOfKilledRunsAreRemovedOnceOld) {
    test::TempDir dir;
    const auto temporaneo = [&](const std::string& nome, std::chrono::minutes eta) {
        test::writeFile(dir / nome, "parziale");
        fs::permissions(dir / nome, fs::perms::owner_read | fs::perms::owner_write);
        fs::last_write_time(dir / nome, fs::file_time_type::clock::now() - eta);
    };
    temporaneo(".FD5.a1B2c3", std::chrono::minutes(60));   // a killed run's
    temporaneo(".FD5.Zz9yX8", std::chrono::minutes(11));   // a killed run's
    temporaneo(".FD5.q7W8e9", std::chrono::minutes(1));    // a run still writing
    temporaneo(".FD55.a1B2c3", std::chrono::minutes(60));  // another target's
    temporaneo(".FD5.a1B2c3d", std::chrono::minutes(60));  // not a temporary name
    test::writeFile(dir / "FD5.bak", "copia");
    {
        AtomicFile file(dir / "FD5");
        file.write("x");
        file.commit();
    }
    EXPECT_EQ(entries(dir.path()), (std::vector<std::string>{".FD5.a1B2c3d", ".FD5.q7W8e9",
                                                             ".FD55.a1B2c3", "FD5", "FD5.bak"}));
}

TEST(AtomicFile, MissingDirectoryIsReportedWithTheFileName) {
    test::TempDir dir;
    try {
        AtomicFile file(dir / "missing" / "FD7");
        FAIL() << "no error for a missing directory";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("FD7"), std::string::npos) << e.what();
    }
}

TEST(AtomicFile, FailedReplacementIsReportedAndCleansUp) {
    test::TempDir dir;
    fs::create_directory(dir / "FD7");  // a directory cannot be replaced by a file
    test::writeFile(dir / "FD7" / "inside", "kept");
    {
        AtomicFile file(dir / "FD7");
        file.write("chart");
        try {
            file.commit();
            ADD_FAILURE() << "the directory was replaced";
        } catch (const Errore& e) {
            // The message names the rename's own cause, not the clean-up's success.
            const std::string messaggio = e.what();
            EXPECT_NE(messaggio.find("Impossibile sostituire il file"), std::string::npos);
            EXPECT_NE(messaggio.find(std::strerror(EISDIR)), std::string::npos) << messaggio;
        }
    }
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"FD7"});
    EXPECT_EQ(test::readFile(dir / "FD7" / "inside"), "kept");

    // The directory vanishes before the commit.
    const fs::path sub = dir / "sub";
    fs::create_directory(sub);
    AtomicFile file(sub / "FD7");
    file.write("chart");
    fs::remove_all(sub);
    EXPECT_THROW(file.commit(), std::runtime_error);
}

// A library writes the temporary file by its name.
TEST(AtomicPath, ReplacesOnCommitOnly) {
    test::TempDir dir;
    test::writeFile(dir / "fd7.xlsx", "previous");
    const mode_t previous = ::umask(022);
    {
        AtomicPath file(dir / "fd7.xlsx");
        EXPECT_EQ(file.temporary().parent_path(), dir.path());
        EXPECT_TRUE(fs::exists(file.temporary())) << "the name is reserved";
        test::writeFile(file.temporary(), "workbook");
        EXPECT_EQ(test::readFile(dir / "fd7.xlsx"), "previous");
        file.commit();
        EXPECT_THROW(file.commit(), std::logic_error);
    }
    ::umask(previous);
    EXPECT_EQ(test::readFile(dir / "fd7.xlsx"), "workbook");
    EXPECT_EQ(fs::status(dir / "fd7.xlsx").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::others_read);
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"fd7.xlsx"});

    {
        AtomicPath file(dir / "fd7.xlsx");
        test::writeFile(file.temporary(), "half a workbook");
    }
    EXPECT_EQ(test::readFile(dir / "fd7.xlsx"), "workbook");
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"fd7.xlsx"}) << "no temporary left";

    EXPECT_THROW(AtomicPath(dir / "missing" / "x.xlsx"), Errore);
}

TEST(AtomicPath, FailedReplacementCleansUp) {
    test::TempDir dir;
    fs::create_directory(dir / "fd7.xlsx");
    {
        AtomicPath file(dir / "fd7.xlsx");
        test::writeFile(file.temporary(), "workbook");
        try {
            file.commit();
            ADD_FAILURE() << "the directory was replaced";
        } catch (const Errore& e) {
            EXPECT_NE(std::string(e.what()).find(std::strerror(EISDIR)), std::string::npos)
                << e.what();
        }
    }
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"fd7.xlsx"});
    // The library took its file away: the commit says so.
    AtomicPath file(dir / "altro.xlsx");
    fs::remove(file.temporary());
    EXPECT_THROW(file.commit(), Errore);
}

}  // namespace
}  // namespace tableau::routines
