// Jet files read through the reader program, checked against what mdbtools' own
// mdb-export prints for the same tables, and against the same data in SQLite.
#include "db/jet/jet_database.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "db/database.h"
#include "db/errors.h"
#include "db/jet/jet_format.h"
#include "db/writer/jet_writer.h"
#include "db/writer/sqlite_writer.h"
#include "routines/codepage.h"
#include "support/record_walk.h"
#include "support/temp_dir.h"

namespace tableau::db::jet {
namespace {

namespace fs = std::filesystem;

const fs::path kSamples = test::testData("jet");

// One field as mdb-export prints it: unquoted empty for a null.
struct CsvField {
    std::string text;
    bool quoted = false;
};
using CsvRow = std::vector<CsvField>;

// Splits mdb-export's output: fields between double quotes may hold commas, doubled
// quotes and line ends.
std::vector<CsvRow> parseCsv(const std::string& csv) {
    std::vector<CsvRow> rows;
    CsvRow row;
    CsvField field;
    bool inQuotes = false;
    for (std::size_t i = 0; i < csv.size(); ++i) {
        const char c = csv[i];
        if (inQuotes) {
            if (c == '"' && i + 1 < csv.size() && csv[i + 1] == '"') {
                field.text += '"';
                ++i;
            } else if (c == '"') {
                inQuotes = false;
            } else {
                field.text += c;
            }
        } else if (c == '"') {
            inQuotes = true;
            field.quoted = true;
        } else if (c == ',') {
            row.push_back(std::move(field));
            field = CsvField();
        } else if (c == '\n') {
            row.push_back(std::move(field));
            field = CsvField();
            rows.push_back(std::move(row));
            row.clear();
        } else {
            field.text += c;
        }
    }
    return rows;
}

std::string run(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return out;
    }
    char block[65536];
    std::size_t n = 0;
    while ((n = std::fread(block, 1, sizeof block, pipe)) > 0) {
        out.append(block, n);
    }
    ::pclose(pipe);
    return out;
}

std::vector<CsvRow> mdbExport(const fs::path& file, const std::string& table) {
    const std::string format = "'%Y-%m-%d %H:%M:%S'";
    return parseCsv(run("mdb-export -b strip -D " + format + " -T " + format + " '" +
                        file.string() + "' '" + table + "'"));
}

// Every field of every row read through the layer equals what mdb-export prints:
// numbers as the same numbers, texts as the same characters, nulls as nothing.
void expectSameAsMdbExport(const fs::path& file, const std::string& table) {
    SCOPED_TRACE(file.filename().string() + " / " + table);
    const auto expected = mdbExport(file, table);
    ASSERT_FALSE(expected.empty()) << "mdb-export printed nothing";
    const auto database = OpenDatabase(file.parent_path(), file.filename().string());
    RecordSet set = database->openTable(table);
    const auto& names = set.fieldNames();
    ASSERT_EQ(expected.front().size(), names.size());
    for (std::size_t c = 0; c < names.size(); ++c) {
        EXPECT_EQ(routines::InCp1252(expected.front()[c].text), names[c]);
    }
    ASSERT_EQ(set.rowCount(), expected.size() - 1);
    const Criteria every("");
    std::size_t r = 1;
    for (set.findFirst(every); !set.noMatch(); set.findNext(every), ++r) {
        for (std::size_t c = 0; c < names.size(); ++c) {
            const CsvField& want = expected[r][c];
            const Value& got = set.field(names[c]);
            SCOPED_TRACE("row " + std::to_string(r) + ", " + names[c]);
            if (want.text.empty()) {
                // mdb-export prints a null and an empty text alike.
                EXPECT_TRUE(got.isNull() || got.asText().empty()) << got.asText();
            } else if (want.quoted) {
                ASSERT_TRUE(got.isText()) << got.asText();
                EXPECT_EQ(got.textRef(), routines::InCp1252(want.text));
            } else {
                ASSERT_TRUE(got.isNumber()) << got.asText();
                // mdb-export writes a single's binary tail (0.050000001 for 0.05) and may
                // round a double's last digit; the exact values are tested on written files.
                const double number = std::strtod(want.text.c_str(), nullptr);
                EXPECT_NEAR(got.asNumber(), number, 1e-7 * std::max(1.0, std::fabs(number)));
            }
        }
    }
}

using test::walk;

using test::errorOf;

TEST(JetFormat, TheFirstPageTellsTheVersion) {
    EXPECT_EQ(JetFormatOf(kSamples / "nwind.mdb"), DatabaseFormat::Jet3);
    EXPECT_EQ(JetFormatOf(kSamples / "testodbc.mdb"), DatabaseFormat::Jet3);
    EXPECT_EQ(JetFormatOf(kSamples / "Monitor.mdb"), DatabaseFormat::Jet4);
    EXPECT_EQ(JetFormatOf(kSamples / "ASampleDatabase.accdb"), DatabaseFormat::Ace);
    EXPECT_EQ(JetFormatOf(kSamples / "README.md"), std::nullopt);

    test::TempDir dir;
    test::writeFile(dir / "short.mdb", std::string("\0\1\0\0Standard Jet", 16));
    EXPECT_EQ(JetFormatOf(dir / "short.mdb"), std::nullopt);
    EXPECT_EQ(std::string(formatName(OpenDatabase(kSamples, "NWIND.MDB")->format())), "Jet 3");
    EXPECT_EQ(std::string(formatName(OpenDatabase(kSamples, "monitor.mdb")->format())), "Jet 4");
}

TEST(JetDatabase, EveryTableReadsAsMdbExportPrintsIt) {
    for (const char* table : {"Customers", "Orders", "Order Details", "Products", "Employees",
                              "Categories", "Shippers", "Suppliers"}) {
        expectSameAsMdbExport(kSamples / "nwind.mdb", table);
    }
    expectSameAsMdbExport(kSamples / "testodbc.mdb", "FPdev");
    expectSameAsMdbExport(kSamples / "Monitor.mdb", "Monitor_Authenticate");
    expectSameAsMdbExport(kSamples / "ASampleDatabase.accdb", "Asset Items");
}

TEST(JetDatabase, AccentedTextsNullsAndNumbersKeepTheirKind) {
    const auto nwind = OpenDatabase(kSamples, "nwind.mdb");
    RecordSet customers = nwind->openTable("customers");  // table names ignore letter case
    customers.findFirst(Criteria("CustomerID = 'ANATR'"));
    ASSERT_FALSE(customers.noMatch());
    EXPECT_EQ(customers.field("City").textRef(), "M\xE9xico D.F.");  // Windows-1252
    EXPECT_EQ(customers.field("Address").textRef(), "Avda. de la Constituci\xF3n 2222");
    EXPECT_TRUE(customers.field("Region").isNull());

    // An empty text is not a null (libmdb's own null flags say which is which).
    RecordSet suppliers = nwind->openTable("Suppliers");
    suppliers.findFirst(Criteria("SupplierID = 1"));
    ASSERT_FALSE(suppliers.noMatch());
    ASSERT_TRUE(suppliers.field("Region").isText());
    EXPECT_EQ(suppliers.field("Region").textRef(), "");
    EXPECT_TRUE(suppliers.field("HomePage").isNull());

    RecordSet products = nwind->openTable("Products");
    products.findFirst(Criteria("ProductName = 'Chang'"));
    ASSERT_FALSE(products.noMatch());
    EXPECT_TRUE(products.field("ProductID").isInteger());
    EXPECT_EQ(products.field("UnitPrice").asNumber(), 19.0);  // currency
    EXPECT_EQ(products.field("Discontinued").asInteger(), 0);

    RecordSet employees = nwind->openTable("Employees");
    employees.findFirst(Criteria("LastName = 'Davolio'"));
    ASSERT_FALSE(employees.noMatch());
    EXPECT_EQ(employees.field("HireDate").textRef(), "1992-05-01 00:00:00");
    EXPECT_NE(employees.field("Address").textRef().find("Ave. E.\r\nApt. 2A"), std::string::npos);
    EXPECT_TRUE(employees.field("Photo").isNull()) << "pictures are not read";
}

TEST(JetDatabase, FindFirstAndNextOverNumbersTextsAndDates) {
    const auto nwind = OpenDatabase(kSamples, "nwind.mdb");
    RecordSet orders = nwind->openTable("Orders");
    // Expected values worked out from mdb-export's listing of the table.
    std::vector<std::string> alfki;
    std::vector<std::string> january;
    std::size_t nullRegions = 0;
    for (const auto& row : mdbExport(kSamples / "nwind.mdb", "Orders")) {
        if (row[1].text == "ALFKI") {
            alfki.push_back(row[0].text);
        }
        if (row[3].text >= "1995-01-01" && row[3].text < "1995-02-01") {
            january.push_back(row[0].text);
        }
        nullRegions += row[11].text.empty() && !row[11].quoted ? 1 : 0;
    }
    ASSERT_FALSE(alfki.empty());
    ASSERT_FALSE(january.empty());
    EXPECT_EQ(walk(orders, Criteria("CustomerID = 'ALFKI'"), "OrderID"), alfki);
    EXPECT_EQ(
        walk(orders, Criteria("OrderDate >= '1995-01-01' and OrderDate < '1995-02-01'"), "OrderID"),
        january);
    EXPECT_EQ(walk(orders, Criteria("ShipRegion Is Null"), "OrderID").size(), nullRegions);

    // Numbers compare as numbers: 9 < 10 even though "9" > "10" as texts.
    RecordSet details = nwind->openTable("Order Details");
    const auto small =
        walk(details,
             Criteria("OrderID = ? and Quantity < ?", {Value::integer(10248), Value::integer(10)}),
             "ProductID");
    EXPECT_EQ(small, (std::vector<std::string>{"72"}));
    EXPECT_EQ(walk(details, Criteria("OrderID = 10248 and UnitPrice > 10"), "ProductID"),
              (std::vector<std::string>{"11", "72"}));
}

TEST(JetDatabase, SameResultsAsTheSameTableInSqlite) {
    // The Orders table copied into a SQLite file: every criteria gives the same rows.
    test::TempDir dir;
    fs::copy_file(kSamples / "nwind.mdb", dir / "nwind.mdb");
    const auto jet = OpenDatabase(dir.path(), "nwind.mdb");
    RecordSet source = jet->openTable("Orders");
    {
        writer::SqliteWriter writer(dir / "Orders.db");
        std::string create = "CREATE TABLE Orders (";
        for (const auto& name : source.fieldNames()) {
            create += (name == source.fieldNames().front() ? "" : ", ") + name;
        }
        writer.exec(create + ")");
        writer.begin();
        const Criteria every("");
        for (source.findFirst(every); !source.noMatch(); source.findNext(every)) {
            std::vector<writer::Cell> cells;
            for (const auto& name : source.fieldNames()) {
                const Value& v = source.field(name);
                if (v.isInteger()) {
                    cells.emplace_back(v.asInteger());
                } else if (v.isReal()) {
                    cells.emplace_back(v.asNumber());
                } else if (v.isText()) {
                    cells.emplace_back(routines::InUtf8(v.textRef()));
                } else {
                    cells.emplace_back();
                }
            }
            writer.insert("Orders", source.fieldNames(), cells);
        }
        writer.commit();
    }
    const auto sqlite = OpenDatabase(dir.path(), "Orders.db");
    ASSERT_EQ(sqlite->format(), DatabaseFormat::Sqlite);
    for (const char* criteria :
         {"CustomerID = 'VINET'", "Freight > 100 and ShipCountry = 'Germany'",
          "EmployeeID = 5 or ShipVia = 3", "ShipRegion Is Not Null and OrderID < 10300",
          "ShipCity = 'M\xE9xico D.F.'", "Not (ShipVia = 1) and Freight <= 5",
          "ShippedDate Is Null", "OrderDate > '1996-04-30 00:00:00'"}) {
        RecordSet fromJet = jet->select(SelectStatement{"Orders", Criteria(criteria)});
        RecordSet fromSqlite = sqlite->select(SelectStatement{"Orders", Criteria(criteria)});
        // A file whose table is not kept yet chooses the rows as they stream in.
        RecordSet streamed = OpenDatabase(dir.path(), "nwind.mdb")
                                 ->select(SelectStatement{"Orders", Criteria(criteria)});
        const auto rows = walk(fromJet, Criteria(""), "OrderID");
        EXPECT_FALSE(rows.empty()) << criteria;
        EXPECT_EQ(rows, walk(fromSqlite, Criteria(""), "OrderID")) << criteria;
        EXPECT_EQ(rows, walk(streamed, Criteria(""), "OrderID")) << criteria;
        RecordSet sortedJet = fromJet.sortedBy("ShipName");
        RecordSet sortedSqlite = fromSqlite.sortedBy("ShipName");
        EXPECT_EQ(walk(sortedJet, Criteria(""), "OrderID"),
                  walk(sortedSqlite, Criteria(""), "OrderID"))
            << criteria;
    }

    // A sub-query on the other file, either way round.
    const SelectStatement::SubqueryIn ofAlfki{"OrderID", "Orders.db", "Orders", "OrderID",
                                              Criteria("CustomerID = 'ALFKI'")};
    RecordSet details = jet->select(SelectStatement{"Order Details", Criteria(""), ofAlfki});
    EXPECT_EQ(walk(details, Criteria(""), "OrderID"),
              (std::vector<std::string>{"10643", "10643", "10643", "10692", "10702", "10702",
                                        "10835", "10835", "10952", "10952", "11011", "11011"}));
    const SelectStatement::SubqueryIn fromJetFile{"CustomerID", "nwind.mdb", "Customers",
                                                  "CustomerID", Criteria("Country = 'Mexico'")};
    RecordSet mexican = sqlite->select(SelectStatement{"Orders", Criteria(""), fromJetFile});
    std::size_t count = 0;
    for (mexican.findFirst(Criteria("")); !mexican.noMatch(); mexican.findNext(Criteria(""))) {
        ++count;
        EXPECT_EQ(mexican.field("ShipCountry").textRef(), "Mexico");
    }
    EXPECT_EQ(count, 28u);
}

TEST(JetDatabase, AScanHandsOnTheRowsAsTheyStreamIn) {
    test::TempDir dir;
    fs::copy_file(kSamples / "nwind.mdb", dir / "nwind.mdb");
    test::ScannedTable scanned;
    OpenDatabase(dir.path(), "nwind.mdb")->scanTable("orders", scanned);
    const RecordSet whole = OpenDatabase(dir.path(), "nwind.mdb")->openTable("Orders");
    EXPECT_EQ(scanned.names, whole.fieldNames());
    EXPECT_EQ(scanned.types, whole.fieldTypes());
    EXPECT_EQ(scanned.rows, test::rowTexts(whole));
    EXPECT_GT(scanned.rows.size(), 800u);

    // The scan's own failure is not taken for a damaged file, and no row follows it.
    test::ScannedTable failing;
    failing.failAt = 10;
    EXPECT_THROW(OpenDatabase(dir.path(), "nwind.mdb")->scanTable("Orders", failing), ErroreServer);
    EXPECT_EQ(failing.rows.size(), 9u);
}

TEST(JetDatabase, TheReaderSkipsOnlyRowsTheCriteriaWouldNotChoose) {
    // A select on a table not read yet lets the reader skip rows on simple conditions;
    // the rows chosen are those chosen from the whole table.
    test::TempDir dir;
    using Type = writer::JetColumn::Type;
    writer::WriteJetFile(
        dir / "Ospiti.mdb",
        {{"Ospiti",
          {{"Codice", Type::Long}, {"Nome", Type::Text}, {"Camera", Type::Text}},
          {{std::int64_t{1}, std::string("Rossi"), std::string("101")},
           {std::int64_t{2},
            std::string("\xC5\x81\xC3\xB3"
                        "d\xC5\xBA"),  // Łódź
            std::string("102")},
           {std::int64_t{3}, std::string("\xC3\x88lena"), std::string("")},  // Èlena
           {std::int64_t{4}, writer::Cell{}, writer::Cell{}},
           {writer::Cell{}, std::string("Zeta"), std::string("9")},
           {std::int64_t{-5}, std::string(""), std::string("1010")}}}});
    const std::vector<Criteria> criteria = {
        Criteria("Nome < 'A'"),  // "?\xF3d?" in Windows-1252: before "A"
        Criteria("Nome > 'M'"),  // "\xC8lena" after "M"
        Criteria("Nome >= ''"),
        Criteria("Nome = ''"),
        Criteria("Camera = '' and Codice >= 3"),
        Criteria("Camera < '102' and Codice <> 1"),
        Criteria("Codice > -6 and Codice <= ?", {Value::integer(3)}),
        Criteria("Codice = ? or Nome = 'Zeta'", {Value::integer(2)}),
        Criteria("Codice = 2.0"),
        Criteria("Camera = 101"),  // a text field read as a number
    };
    const auto kept = OpenDatabase(dir.path(), "Ospiti.mdb");
    kept->openTable("Ospiti");
    for (const auto& c : criteria) {
        RecordSet fromKept = kept->select(SelectStatement{"Ospiti", c});
        RecordSet narrowed =
            OpenDatabase(dir.path(), "Ospiti.mdb")->select(SelectStatement{"Ospiti", c});
        const auto expected = walk(fromKept, Criteria(""), "Codice");
        EXPECT_EQ(walk(narrowed, Criteria(""), "Codice"), expected) << c.text();
    }
    EXPECT_EQ(walk(*std::make_unique<RecordSet>(
                       OpenDatabase(dir.path(), "Ospiti.mdb")
                           ->select(SelectStatement{"Ospiti", Criteria("Nome < 'A'")})),
                   Criteria(""), "Codice"),
              (std::vector<std::string>{"2", "-5"}));

    // An In over numbers, and one with no number at all.
    for (const auto& values :
         {std::vector<Value>{Value::integer(4), Value::real(1.0), Value()}, std::vector<Value>{}}) {
        for (const bool equalAsCriteria : {false, true}) {
            const SelectStatement in{"Ospiti", Criteria(""), std::nullopt,
                                     SelectStatement::ValuesIn{"Codice", values, equalAsCriteria}};
            RecordSet fromKept = kept->select(in);
            RecordSet narrowed = OpenDatabase(dir.path(), "Ospiti.mdb")->select(in);
            EXPECT_EQ(walk(narrowed, Criteria(""), "Codice"),
                      walk(fromKept, Criteria(""), "Codice"));
        }
    }
}

TEST(JetDatabase, MissingTablesAndFieldsAreNamed) {
    const auto nwind = OpenDatabase(kSamples, "nwind.mdb");
    EXPECT_EQ(errorOf([&] { nwind->openTable("Camere"); }),
              "Tabella Camere non trovata nell'archivio nwind.mdb");
    EXPECT_NE(errorOf([&] {
                  nwind->select(SelectStatement{"Customers", Criteria("Camera = '1'")});
              }).find("Camera"),
              std::string::npos);
    nwind->openTable("Customers");  // kept: the same answer from the kept rows
    EXPECT_NE(errorOf([&] {
                  nwind->select(SelectStatement{"Customers", Criteria("Camera = '1'")});
              }).find("Camera"),
              std::string::npos);
    EXPECT_NE(errorOf([&] { nwind->openTable("MSysObjects"); }).find("non trovata"),
              std::string::npos)
        << "system tables are not the hotel's";
}

}  // namespace
}  // namespace tableau::db::jet
