// The Jet reader runs apart: whatever the file or the reader does, the program gets rows
// or a ErroreArchivio naming the file, never a crash or a wait without end.
#include "db/jet/jet_reader_process.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "db/database.h"
#include "db/errors.h"
#include "db/writer/jet_writer.h"
#include "support/record_walk.h"
#include "support/temp_dir.h"

namespace tableau::db::jet {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

using test::errorOf;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A stand-in for the reader program, a shell script.
class ReaderStandIn : public ::testing::Test {
  protected:
    void use(const std::string& script) {
        const fs::path program = dir / "reader";
        test::writeFile(program, "#!/bin/sh\n" + script + "\n");
        fs::permissions(program, fs::perms::owner_all);
        env_.reset();  // the original value comes back first
        env_ = std::make_unique<test::ScopedEnv>("TABLEAU_LETTORE_JET", program.c_str());
    }
    std::string failure(std::chrono::milliseconds patience = std::chrono::seconds(5)) {
        return errorOf([&] {
            RunJetReader(JetReading{dir / "Tableau.mdb", "Tableau.mdb", "Tableau", patience});
        });
    }
    test::TempDir dir;
    std::unique_ptr<test::ScopedEnv> env_;
};

TEST_F(ReaderStandIn, CrashesHangsAndNonsenseNameTheFile) {
    use("kill -SEGV $$");
    std::string why = failure();
    EXPECT_TRUE(contains(why, "L'archivio Tableau.mdb è danneggiato o illeggibile")) << why;
    EXPECT_TRUE(contains(why, "(tabella Tableau)")) << why;
    EXPECT_TRUE(contains(why, "segnale 11")) << why;

    // Silent, or talking only on its error output: stopped after the patience runs out.
    for (const char* script :
         {"exec sleep 60",
          "while :; do echo 'Warning: unsupported data type' >&2; sleep 0.05; done"}) {
        use(script);
        const auto start = Clock::now();
        why = failure(std::chrono::milliseconds(400));
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(10)) << script;
        EXPECT_TRUE(contains(why, "interrotta")) << why;
    }
    EXPECT_TRUE(contains(why, "(Warning: unsupported data type)")) << "its last word is shown";

    // Nonsense, a failure, and an exit with no error but no rows and no end either.
    for (const char* script : {"printf 'not a stream'", "exit 1", "exit 0"}) {
        use(script);
        why = failure();
        EXPECT_TRUE(contains(why, "non ha concluso la lettura")) << script << ": " << why;
    }

    const std::string missing = (dir / "nowhere").string();
    test::ScopedEnv nowhere("TABLEAU_LETTORE_JET", missing.c_str());
    why = failure();
    EXPECT_TRUE(contains(why, "TABLEAU_LETTORE_JET")) << why;
    EXPECT_TRUE(contains(why, missing)) << why;
}

// Whether the process is gone (or only waits to be reaped, by whoever adopted it).
bool Ended(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) {
        return true;
    }
    const auto close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'Z';
}

TEST_F(ReaderStandIn, WrapperIsStoppedWithItsChildrenAndBytesWithoutRowsAreNoProgress) {
    // A wrapper script whose own child holds the stream open and never writes.
    use("sleep 60 &\necho $! > '" + (dir / "figlio").string() + "'\nwait");
    std::string why = failure(std::chrono::milliseconds(400));
    EXPECT_TRUE(contains(why, "interrotta")) << why;
    std::ifstream in(dir / "figlio");
    pid_t figlio = 0;
    ASSERT_TRUE(in >> figlio);
    const auto start = Clock::now();
    while (!Ended(figlio) && Clock::now() - start < std::chrono::seconds(5)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(Ended(figlio)) << "the wrapper's child still runs";

    // A record announced 64 MB long whose bytes trickle in for hours.
    use("printf '\\377\\377\\377\\003R'\n"
        "while :; do printf 'xxxxxxxxxxxxxxxx' || exit; sleep 0.01; done");
    const auto trickle = Clock::now();
    why = failure(std::chrono::milliseconds(400));
    EXPECT_LT(Clock::now() - trickle, std::chrono::seconds(10));
    EXPECT_TRUE(contains(why, "interrotta")) << why;
}

TEST(JetReaderPatience, SetInSecondsByTheAdministrator) {
    {
        test::ScopedEnv set("TABLEAU_ATTESA_JET", "2.5");
        EXPECT_EQ(JetReaderPatience(), std::chrono::milliseconds(2500));
    }
    for (const char* wrong : {"", "0", "-3", "dieci", "99999"}) {
        test::ScopedEnv set("TABLEAU_ATTESA_JET", wrong);
        EXPECT_EQ(JetReaderPatience(), kDefaultPatience) << wrong;
    }
}

// Opens the file and reads every table it lists; the outcome is rows or a ErroreArchivio
// naming the file. Anything else fails the test (a crash would end it).
std::string readEverything(const fs::path& dir, const std::string& name) {
    try {
        const auto database = OpenDatabase(dir, name);
        RecordSet none = database->openTable("no such table, surely");
        return "no error for a missing table";
    } catch (const ErroreArchivio& e) {
        const std::string why = e.what();
        if (contains(why, "non trovata")) {
            return "read";
        }
        if (!contains(why, name)) {
            return "message without the file's name: " + why;
        }
        return contains(why, "interrotta") ? "hung"
               : contains(why, "segnale")  ? "crashed"
                                           : "refused";
    }
}

std::string readTables(const fs::path& dir, const std::string& name,
                       const std::vector<std::string>& tables) {
    try {
        const auto database = OpenDatabase(dir, name);
        for (const auto& table : tables) {
            try {
                database->openTable(table);
            } catch (const ErroreArchivio& e) {
                if (!contains(e.what(), "non trovata")) {
                    throw;
                }
            }
        }
        return "read";
    } catch (const ErroreArchivio& e) {
        const std::string why = e.what();
        if (!contains(why, name)) {
            return "message without the file's name: " + why;
        }
        return contains(why, "interrotta") ? "hung"
               : contains(why, "segnale")  ? "crashed"
                                           : "refused";
    }
}

TEST(DamagedJetFiles, NeverBringTheProgramDown) {
    test::ScopedEnv quick("TABLEAU_ATTESA_JET", "2");
    test::TempDir dir;
    struct Sample {
        const char* file;
        std::vector<std::string> tables;
    };
    const std::vector<Sample> samples = {
        {"nwind.mdb", {"Customers", "Orders", "Order Details", "Employees", "Products"}},
        {"Monitor.mdb", {"Monitor_Authenticate"}},
        {"testodbc.mdb", {"FPdev"}},
        {"ASampleDatabase.accdb", {"Asset Items"}}};
    std::map<std::string, int> outcomes;
    std::mt19937 random(20261208);
    for (const auto& sample : samples) {
        const std::string original =
            test::readFile(test::testData(std::string("jet/") + sample.file));
        for (int variant = 0; variant < 12; ++variant) {
            std::string damaged = original;
            switch (variant % 3) {
                case 0:  // cut short
                    damaged.resize(
                        std::uniform_int_distribution<std::size_t>(0, original.size() - 1)(random));
                    break;
                case 1:  // bytes overwritten where the catalog and table definitions live
                    for (int i = 0; i < 40; ++i) {
                        damaged[std::uniform_int_distribution<std::size_t>(
                            0, std::min<std::size_t>(original.size(), 65536) - 1)(random)] =
                            static_cast<char>(random());
                    }
                    break;
                default: {  // a whole page of zeros
                    const std::size_t pages = original.size() / 4096;
                    const std::size_t page =
                        std::uniform_int_distribution<std::size_t>(1, pages - 1)(random);
                    std::fill_n(damaged.begin() + static_cast<std::ptrdiff_t>(page * 4096), 4096,
                                '\0');
                }
            }
            const std::string name = "v" + std::to_string(variant) + "_" + sample.file;
            test::writeFile(dir / name, damaged);
            const std::string outcome = readTables(dir.path(), name, sample.tables);
            EXPECT_TRUE(outcome == "read" || outcome == "refused" || outcome == "hung" ||
                        outcome == "crashed")
                << name << ": " << outcome;
            ++outcomes[outcome];
        }
    }
    std::string summary;
    for (const auto& [outcome, count] : outcomes) {
        summary += outcome + "=" + std::to_string(count) + " ";
    }
    RecordProperty("outcomes", summary);
    std::cout << "[ damaged  ] " << summary << '\n';

    // A known damage: one byte of the catalog makes libmdb loop for ever.
    std::string looping = test::readFile(test::testData("jet/testodbc.mdb"));
    looping[42767] = 0x69;
    test::writeFile(dir / "Looping.mdb", looping);
    const auto start = Clock::now();
    EXPECT_EQ(readEverything(dir.path(), "Looping.mdb"), "hung");
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));

    // A known damage: one byte of the catalog sends libmdb after more memory than the
    // reader may have, and glib ends it. Reaching the usual 2 GiB takes libmdb about as
    // long as the patience here (several times longer under the sanitizers), so the bound
    // is set lower: still far above what the sound file needs.
    std::string runaway = test::readFile(test::testData("jet/nwind.mdb"));
    runaway[1542109] = 0;
    test::writeFile(dir / "Runaway.mdb", runaway);
    {
        test::ScopedEnv bound("TABLEAU_MEMORIA_JET", "256");
        EXPECT_EQ(readEverything(dir.path(), "Runaway.mdb"), "crashed");
        // The sound file reads whole within the same bound (with the usual patience: under
        // the sanitizers its rows come slowly).
        const test::ScopedEnv usual("TABLEAU_ATTESA_JET", "15");
        test::writeFile(dir / "Sound.mdb", test::readFile(test::testData("jet/nwind.mdb")));
        EXPECT_EQ(readTables(dir.path(), "Sound.mdb", samples.front().tables), "read");
    }

    // The first page only: refused at once.
    test::writeFile(dir / "Short.mdb", looping.substr(0, 3000));
    EXPECT_EQ(readEverything(dir.path(), "Short.mdb"), "refused");
}

TEST(DamagedJetFiles, TheLibrarysOwnPrintingStaysOutOfTheStream) {
    // Cut short, nwind.mdb loses the page of the Orders table; libmdb says so on its
    // standard output, which must not garble the rows handed to the program.
    test::TempDir dir;
    test::writeFile(dir / "Cut.mdb",
                    test::readFile(test::testData("jet/nwind.mdb")).substr(0, 300000));
    const auto content = RunJetReader(JetReading{dir / "Cut.mdb", "Cut.mdb", "Orders"});
    EXPECT_EQ(content.failure, jet_stream::FailureKind::NoTable);
    EXPECT_EQ(errorOf([&] { OpenDatabase(dir.path(), "Cut.mdb")->openTable("Orders"); }),
              "Tabella Orders non trovata nell'archivio Cut.mdb");
}

TEST(JetWrittenFiles, ValuesComeBackExactly) {
    // Real numbers as stored (libmdb's text of 99.99 is 99.98999999999999), empty texts
    // apart from nulls, texts beyond ASCII.
    test::TempDir dir;
    using Type = writer::JetColumn::Type;
    writer::WriteJetFile(
        dir / "Valori.mdb",
        {{"Valori",
          {{"N", Type::Long}, {"R", Type::Double}, {"T", Type::Text}},
          {{std::int64_t{1}, 99.99, std::string("")},
           {std::int64_t{-2147483647 - 1}, 0.1, writer::Cell{}},
           {writer::Cell{}, 1e-300, std::string("Citt\xC3\xA0 \xE2\x82\xAC 'x' \"y\"")},
           {std::int64_t{2147483647}, writer::Cell{}, std::string(255, 'z')}}}});
    const auto database = OpenDatabase(dir.path(), "valori.MDB");
    EXPECT_EQ(database->format(), DatabaseFormat::Jet4);
    RecordSet set = database->openTable("VALORI");
    const Criteria every("");
    set.findFirst(every);
    EXPECT_EQ(set.field("R").asNumber(), 99.99);
    ASSERT_TRUE(set.field("T").isText()) << "an empty text is not a null";
    EXPECT_EQ(set.field("T").textRef(), "");
    set.findNext(every);
    EXPECT_EQ(set.field("N").asInteger(), -2147483648LL);
    EXPECT_EQ(set.field("R").asNumber(), 0.1);
    EXPECT_TRUE(set.field("T").isNull());
    set.findNext(every);
    EXPECT_TRUE(set.field("N").isNull());
    EXPECT_EQ(set.field("R").asNumber(), 1e-300);
    EXPECT_EQ(set.field("T").textRef(), "Citt\xE0 \x80 'x' \"y\"");
    set.findNext(every);
    EXPECT_TRUE(set.field("R").isNull());
    EXPECT_EQ(set.field("T").textRef(), std::string(255, 'z'));
    set.findNext(every);
    EXPECT_TRUE(set.noMatch());

    set.findFirst(Criteria("T = ''"));
    EXPECT_EQ(set.field("N").asInteger(), 1);
    set.findFirst(Criteria("T Is Null"));
    EXPECT_EQ(set.field("N").asInteger(), -2147483648LL);
}

}  // namespace
}  // namespace tableau::db::jet
