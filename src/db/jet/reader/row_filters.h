#pragma once
// The conditions the program hands the reader so that it skips, unconverted, the rows a
// select cannot choose.
#include <glib.h>
// libmdb's header expects glib's declarations first and brings its own C linkage.
#include <mdbtools.h>

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

namespace tableau::db::jet::reader {

// A condition every row the program wants meets, tested here on the fields it reads so
// that the other fields of the rows it fails are never converted:
//   --testo CAMPO OP VALORE   a text field against a text of plain ASCII characters (a
//                             field with other characters always passes)
//   --intero CAMPO OP VALORE  a whole-number field against a whole number
//   --tra CAMPO N1,N2,...     a whole-number field equal to one of the numbers
// OP is one of = <> < <= > >=. A null field meets none of them.
struct Filter {
    enum class Test { text, integer, oneOf } test;
    std::string field;
    std::string op;
    std::string textValue;
    std::int64_t number = 0;
    std::unordered_set<std::int64_t> numbers;
    unsigned int column = 0;
};

// Reads the filters from the command line, from argv[from] on; false for a malformed one.
bool ParseFilters(int argc, char** argv, int from, std::vector<Filter>& filters);

// The row libmdb has just read meets the filter; its field is bound.
bool Satisfies(const Filter& filter, MdbHandle* mdb, const MdbTableDef* table, const MdbColumn* col,
               const char* text, int length);

}  // namespace tableau::db::jet::reader
