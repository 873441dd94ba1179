#pragma once
// The schema, one step per version. Each step runs once, in order, inside the transaction
// that records its version, so a store opened by a newer program is brought up to date and a
// half-applied step never stays. The two databases differ only in how they spell an
// auto-numbered key and a byte column.

#include <cstdint>

struct SchemaStep {
    int32_t version;
    const char* sqlite;
    const char* postgres;
};

// clang-format off
constexpr SchemaStep kSchemaSteps[] = {
    {1,
     "CREATE TABLE entries ("
     " id INTEGER PRIMARY KEY AUTOINCREMENT,"
     " sha256 TEXT NOT NULL UNIQUE,"
     " name TEXT NOT NULL,"
     " score TEXT NOT NULL,"
     " score_digits INTEGER NOT NULL,"
     " level INTEGER NOT NULL,"
     " frames INTEGER NOT NULL,"
     " created TEXT NOT NULL,"
     " replay BLOB NOT NULL);"
     "CREATE INDEX entries_board ON entries (score_digits DESC, score DESC, id);",
     "CREATE TABLE entries ("
     " id BIGSERIAL PRIMARY KEY,"
     " sha256 TEXT NOT NULL UNIQUE,"
     " name TEXT NOT NULL,"
     " score TEXT COLLATE \"C\" NOT NULL,"
     " score_digits INTEGER NOT NULL,"
     " level INTEGER NOT NULL,"
     " frames BIGINT NOT NULL,"
     " created TEXT NOT NULL,"
     " replay BYTEA NOT NULL);"
     "CREATE INDEX entries_board ON entries (score_digits DESC, score DESC, id);"},
};
// clang-format on

// The columns of an entry, in the order the stores read them.
constexpr const char* kEntryColumns = "id, name, score, level, frames, created, sha256";
