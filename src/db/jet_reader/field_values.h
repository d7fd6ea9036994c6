#pragma once
// The fields of the row libmdb has just read, handed to the program's stream with their
// kind: whole numbers, real numbers, texts, nulls.
#include <glib.h>
// libmdb's header expects glib's declarations first and brings its own C linkage.
#include <mdbtools.h>

#include "db/jet_stream.h"

namespace tableau::db::jet_reader {

// Whole numbers, real numbers, texts; pictures, binary data and attachments are not read.
enum class Genere { Intero, Reale, Testo, Omesso };

Genere GenereDi(int type);

// Whether a text field that libmdb hands over as empty holds an empty text rather than a
// null: the row's null mask tells. False whenever the row cannot be looked at directly.
bool TestoVuoto(MdbHandle* mdb, const MdbTableDef* table, const MdbColumn* col);

// Writes the bound field (its text and length as libmdb left them) to the stream.
void Valore(db::jet_stream::Encoder& out, MdbHandle* mdb, const MdbTableDef* table,
            const MdbColumn* col, Genere genere, const char* text, int length);

}  // namespace tableau::db::jet_reader
