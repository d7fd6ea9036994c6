#pragma once
// What a field holds as its file declares it: the sync gives each field of a table the
// server column type that keeps its values.
namespace tableau::db {

enum class FieldType {
    Integer,  // SQLite INTEGER affinity; Jet Long, Integer, Byte, Yes/No
    Real,     // SQLite REAL affinity; Jet Double, Single, Currency, Decimal
    Text,     // SQLite TEXT affinity; Jet Text, Memo, and date and time (read as texts)
    Other,    // SQLite NUMERIC or no declared type, Jet fields never read: as the values go
};

}  // namespace tableau::db
