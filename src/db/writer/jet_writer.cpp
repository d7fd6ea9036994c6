#include "db/writer/jet_writer.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <stdexcept>

#include "db/errors.h"
#include "db/writer/jet_rows.h"

namespace tableau::db::writer {
namespace {

using jet::Append16;
using jet::Append32;
using jet::Bytes;
using jet::ColumnKind;
using jet::kPageSize;
using jet::Put16;
using jet::Put32;
using jet::TableLayout;

// Where the file's fixed parts live. Readers bootstrap the catalog from page 2; the usage
// maps of every table are rows of page 3; the tables follow from page 4, the catalog's rows
// last, as they name the tables' definition pages.
constexpr std::uint32_t kCatalogDefinitionPage = 2;
constexpr std::uint32_t kMapPage = 3;

constexpr std::size_t kDataHeaderBytes = 14;
constexpr std::size_t kMaxRowsPerPage = 255;  // rows are addressed by one byte
constexpr std::size_t kInlineMapBytes = 64;   // an inline map: start page, then 512 pages
constexpr std::size_t kPagesPerMapPage = (kPageSize - 4) * 8;
constexpr std::size_t kMapPageEntries = 17;  // a reference map: up to 17 bitmap pages

// Catalog values.
constexpr std::int64_t kTablesContainerId = 0x0F000001;
constexpr std::int64_t kRootId = 0x0F000000;
constexpr std::int64_t kTypeTable = 1;
constexpr std::int64_t kTypeContainer = 3;
constexpr std::int64_t kSystemFlags = -2147483648LL;  // 0x80000000

struct PageRange {
    std::uint32_t first = 0;
    std::uint32_t count = 0;
};

Bytes Rc4(const Bytes& key, Bytes data) {
    std::array<std::uint8_t, 256> s{};
    for (std::size_t i = 0; i < s.size(); ++i) {
        s[i] = static_cast<std::uint8_t>(i);
    }
    std::size_t j = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        j = (j + s[i] + key[i % key.size()]) & 0xFF;
        std::swap(s[i], s[j]);
    }
    std::size_t a = 0;
    std::size_t b = 0;
    for (auto& byte : data) {
        a = (a + 1) & 0xFF;
        b = (b + s[a]) & 0xFF;
        std::swap(s[a], s[b]);
        byte ^= s[(s[a] + s[b]) & 0xFF];
    }
    return data;
}

// Page 0: format name and version in clear, the rest of the header under Jet's fixed RC4 key.
Bytes HeaderPage() {
    Bytes page(kPageSize, 0);
    page[1] = 0x01;
    const std::string name = "Standard Jet DB";
    std::copy(name.begin(), name.end(), page.begin() + 4);
    Put32(page, 0x14, 1);  // Jet 4
    constexpr std::size_t kSealedAt = 0x18;
    constexpr std::size_t kSealedBytes = 128;
    Put16(page, 0x3C, 1252);    // code page
    Put32(page, 0x3E, 0);       // no database key: pages are not encrypted
    Put32(page, 0x6E, 0x0409);  // "General" sort order
    const Bytes sealed =
        Rc4({0xC7, 0xDA, 0x39, 0x6B},
            Bytes(page.begin() + kSealedAt, page.begin() + kSealedAt + kSealedBytes));
    std::copy(sealed.begin(), sealed.end(), page.begin() + kSealedAt);
    return page;
}

Bytes DataPage(std::uint32_t owner, const std::vector<Bytes>& rows) {
    Bytes page(kPageSize, 0);
    page[0] = 0x01;
    page[1] = 0x01;
    Put32(page, 4, owner);
    Put16(page, 12, static_cast<std::uint32_t>(rows.size()));
    std::size_t end = kPageSize;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        end -= rows[i].size();
        std::copy(rows[i].begin(), rows[i].end(), page.begin() + static_cast<std::ptrdiff_t>(end));
        Put16(page, kDataHeaderBytes + 2 * i, static_cast<std::uint32_t>(end));
    }
    Put16(page, 2, static_cast<std::uint32_t>(end - kDataHeaderBytes - 2 * rows.size()));
    return page;
}

// Fills data pages in order, each as far as it goes, appending them to a list of pages.
class RowPages {
  public:
    RowPages(std::uint32_t owner, std::vector<Bytes>& out) : owner_(owner), out_(out) {}

    void add(Bytes row) {
        if (rows_.size() == kMaxRowsPerPage || used_ + row.size() + 2 > kPageSize) {
            flush();
        }
        used_ += row.size() + 2;
        rows_.push_back(std::move(row));
    }

    // Writes the last page; returns the number of pages written.
    std::uint32_t finish() {
        flush();
        return pages_;
    }

  private:
    void flush() {
        if (!rows_.empty()) {
            out_.push_back(DataPage(owner_, rows_));
            ++pages_;
        }
        rows_.clear();
        used_ = kDataHeaderBytes;
    }

    std::uint32_t owner_;
    std::vector<Bytes>& out_;
    std::vector<Bytes> rows_;
    std::size_t used_ = kDataHeaderBytes;
    std::uint32_t pages_ = 0;
};

Bytes InlineMap(std::uint32_t start, PageRange pages) {
    Bytes map{0x00};
    Append32(map, start);
    map.resize(map.size() + kInlineMapBytes, 0);
    for (std::uint32_t i = 0; i < pages.count; ++i) {
        const std::uint32_t bit = pages.first + i - start;
        map[5 + bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
    }
    return map;
}

// The map of a table's data pages: inline when they span few pages, else a list of bitmap
// pages, each covering a fixed stretch of the file from page 0, appended to `file`.
Bytes UsageMap(PageRange pages, std::vector<Bytes>& file) {
    if (pages.count <= kInlineMapBytes * 8) {
        return InlineMap(pages.count ? pages.first : 0, pages);
    }
    const std::size_t last = pages.first + pages.count - 1;
    if (last / kPagesPerMapPage >= kMapPageEntries) {
        throw ErroreArchivio("a table beyond the file size a usage map covers");
    }
    Bytes map(1 + 4 * kMapPageEntries, 0);
    map[0] = 0x01;
    for (std::size_t entry = pages.first / kPagesPerMapPage; entry <= last / kPagesPerMapPage;
         ++entry) {
        Put32(map, 1 + 4 * entry, static_cast<std::uint32_t>(file.size()));
        Bytes bitmap(kPageSize, 0);
        bitmap[0] = 0x05;
        bitmap[1] = 0x01;
        const std::size_t from = std::max<std::size_t>(pages.first, entry * kPagesPerMapPage);
        const std::size_t to = std::min(last + 1, (entry + 1) * kPagesPerMapPage);
        for (std::size_t page = from; page < to; ++page) {
            const std::size_t bit = page - entry * kPagesPerMapPage;
            bitmap[4 + bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
        }
        file.push_back(std::move(bitmap));
    }
    return map;
}

std::uint32_t pageRow(std::uint32_t page, std::size_t row) {
    return (page << 8) | static_cast<std::uint32_t>(row);
}

Bytes TableDefinition(const TableLayout& table, bool system, std::size_t rowCount,
                      std::size_t mapRow) {
    Bytes page(63, 0);
    page[0] = 0x02;
    page[1] = 0x01;
    Put32(page, 16, static_cast<std::uint32_t>(rowCount));
    page[40] = system ? 0x53 : 0x4E;
    const auto columnCount = static_cast<std::uint32_t>(table.columns.size());
    Put16(page, 41, columnCount);
    Put16(page, 43, table.varCount);
    Put16(page, 45, columnCount);
    Put32(page, 55, pageRow(kMapPage, mapRow));      // pages in use
    Put32(page, 59, pageRow(kMapPage, mapRow + 1));  // pages with free space
    for (const auto& column : table.columns) {
        const std::size_t at = page.size();
        page.resize(at + 25, 0);
        page[at] = static_cast<std::uint8_t>(column.kind);
        Put16(page, at + 5, column.number);
        Put16(page, at + 7, column.varIndex);
        Put16(page, at + 9, column.number);
        if (column.kind == ColumnKind::Text) {
            Put16(page, at + 11, 0x0409);  // sort order
        }
        page[at + 15] = column.fixed() ? 0x03 : 0x02;
        Put16(page, at + 21, column.fixed() ? column.fixedOffset : 0);
        Put16(page, at + 23, column.length);
    }
    for (const auto& column : table.columns) {
        const std::u16string name = jet::toUcs2(column.name);
        Append16(page, static_cast<std::uint32_t>(2 * name.size()));
        for (const char16_t c : name) {
            Append16(page, c);
        }
    }
    Append16(page, 0xFFFF);  // no long-value column usage entries
    if (page.size() > kPageSize) {
        throw ErroreArchivio("table " + table.name + ": its definition does not fit a page");
    }
    Put32(page, 8, static_cast<std::uint32_t>(page.size()));
    Put16(page, 2, static_cast<std::uint32_t>(kPageSize - page.size() - 8));
    page.resize(kPageSize, 0);
    return page;
}

jet::ColumnKind kindOf(JetColumn::Type type) {
    switch (type) {
        case JetColumn::Type::Long:
            return ColumnKind::Long;
        case JetColumn::Type::Double:
            return ColumnKind::Double;
        case JetColumn::Type::Text:
            break;
    }
    return ColumnKind::Text;
}

TableLayout CatalogLayout() {
    return jet::LayoutOf("MSysObjects", {{"Id", ColumnKind::Long},
                                         {"ParentId", ColumnKind::Long},
                                         {"Name", ColumnKind::Text},
                                         {"Type", ColumnKind::Integer},
                                         {"Flags", ColumnKind::Long},
                                         {"LvProp", ColumnKind::Ole}});
}

std::string folded(const std::string& name) {
    std::string out = name;
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

void CheckNames(const std::vector<JetTable>& tables) {
    std::vector<std::string> seen{folded("MSysObjects")};
    for (const auto& table : tables) {
        const std::size_t chars = jet::toUcs2(table.name).size();
        if (chars == 0 || chars > 64 || std::count(seen.begin(), seen.end(), folded(table.name))) {
            throw ErroreArchivio("bad or repeated table name '" + table.name + "'");
        }
        seen.push_back(folded(table.name));
        std::vector<std::string> columns;
        for (const auto& column : table.columns) {
            if (std::count(columns.begin(), columns.end(), folded(column.name))) {
                throw ErroreArchivio("table " + table.name + ": repeated column " + column.name);
            }
            columns.push_back(folded(column.name));
        }
    }
}

void save(const std::filesystem::path& path, const std::vector<Bytes>& pages) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const auto& page : pages) {
        out.write(reinterpret_cast<const char*>(page.data()),
                  static_cast<std::streamsize>(page.size()));
    }
    out.close();
    if (!out) {
        throw ErroreArchivio("cannot write " + path.string());
    }
}

}  // namespace

void WriteJetFile(const std::filesystem::path& path, const std::vector<JetTable>& tables) {
    CheckNames(tables);
    // Page 1, the database's own page map, is left empty: readers do not need it. Pages 2
    // and 3 are filled in last.
    std::vector<Bytes> file{HeaderPage(), DataPage(0, {}), Bytes{}, Bytes{}};
    std::vector<Bytes> maps;  // the rows of the map page: in use, with free space
    maps.emplace_back();      // the catalog's, known last
    maps.emplace_back();

    const TableLayout catalog = CatalogLayout();
    std::vector<Bytes> catalogRows;
    catalogRows.push_back(jet::EncodeRow(
        catalog, {kTablesContainerId, kRootId, "Tables", kTypeContainer, kSystemFlags, {}}));
    catalogRows.push_back(jet::EncodeRow(catalog, {std::int64_t{kCatalogDefinitionPage},
                                                   kTablesContainerId,
                                                   "MSysObjects",
                                                   kTypeTable,
                                                   kSystemFlags,
                                                   {}}));

    for (const auto& table : tables) {
        std::vector<jet::ColumnDeclaration> declared;
        for (const auto& column : table.columns) {
            declared.push_back({column.name, kindOf(column.type)});
        }
        const TableLayout layout = jet::LayoutOf(table.name, declared);
        const auto definitionPage = static_cast<std::uint32_t>(file.size());
        file.push_back(TableDefinition(layout, false, table.rows.size(), maps.size()));
        const auto first = static_cast<std::uint32_t>(file.size());
        RowPages data(definitionPage, file);
        for (const auto& values : table.rows) {
            data.add(jet::EncodeRow(layout, values));
        }
        maps.push_back(UsageMap({first, data.finish()}, file));
        maps.push_back(InlineMap(0, {}));  // the file is written whole: no page has room
        catalogRows.push_back(jet::EncodeRow(catalog, {std::int64_t{definitionPage},
                                                       kTablesContainerId,
                                                       table.name,
                                                       kTypeTable,
                                                       std::int64_t{0},
                                                       {}}));
    }
    const std::size_t catalogRowCount = catalogRows.size();
    const auto catalogFirst = static_cast<std::uint32_t>(file.size());
    RowPages catalogPages(kCatalogDefinitionPage, file);
    for (auto& row : catalogRows) {
        catalogPages.add(std::move(row));
    }
    maps[0] = UsageMap({catalogFirst, catalogPages.finish()}, file);
    maps[1] = InlineMap(0, {});
    file[kCatalogDefinitionPage] = TableDefinition(catalog, true, catalogRowCount, 0);

    std::vector<Bytes> mapPage;
    RowPages mapRows(0, mapPage);
    for (auto& map : maps) {
        mapRows.add(std::move(map));
    }
    if (mapRows.finish() != 1) {
        throw ErroreArchivio("too many tables for one file");
    }
    file[kMapPage] = std::move(mapPage.front());
    save(path, file);
}

}  // namespace tableau::db::writer
