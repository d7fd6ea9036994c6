#pragma once
// The fields of the row libmdb has just read, handed to the program's stream with their
// kind: whole numbers, real numbers, texts, nulls.
#include <glib.h>
// libmdb's header expects glib's declarations first and brings its own C linkage.
#include <mdbtools.h>

#include "db/jet/jet_stream.h"

namespace tableau::db::jet::reader {

// Whole numbers, real numbers, texts; pictures, binary data and attachments are not read.
enum class Kind { integer, real, text, skipped };

Kind KindOf(int type);

// Whether a text field that libmdb hands over as empty holds an empty text rather than a
// null: the row's null mask tells. False whenever the row cannot be looked at directly.
bool IsEmptyText(MdbHandle* mdb, const MdbTableDef* table, const MdbColumn* col);

// Writes the bound field (its text and length as libmdb left them) to the stream.
void WriteValue(db::jet::jet_stream::Encoder& out, MdbHandle* mdb, const MdbTableDef* table,
                const MdbColumn* col, Kind kind, const char* text, int length);

}  // namespace tableau::db::jet::reader
