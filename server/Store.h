#pragma once
// Where the board lives: one small interface, with SQLite (one file, the default) and
// PostgreSQL (several servers sharing one database) behind it. Both keep the same versioned
// schema and bring it up to date when they open.
//
// A replay is kept under its SHA-256, which the database holds unique: the same file sent
// twice, or to two servers at once, is one entry, whoever wins the race. Scores are decimal
// texts of up to 255 digits, ordered by their length and then as text, which is their value;
// a tie goes to the earlier entry.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

struct Entry {
    int64_t id = 0;
    std::string name, score;
    int32_t level = 0;
    int64_t frames = 0;
    std::string date; // ISO 8601 UTC, when the server accepted it
    std::string sha256;
    int64_t rank = 0; // 1-based place on the board
};

struct NewEntry {
    std::string sha256, name, score, date;
    int32_t level = 0;
    int64_t frames = 0;
    std::vector<uint8_t> replay;
};

struct StoreError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Store {
  public:
    virtual ~Store() = default;
    // The schema version this program writes; opening a store brings it to this.
    static constexpr int32_t kSchemaVersion = 1;

    // Stores the entry unless its replay is known already. True when it was new; `out` is the
    // stored entry either way.
    virtual bool add(const NewEntry& entry, Entry& out) = 0;
    virtual bool findBySha(const std::string& sha256, Entry& out) = 0;
    virtual bool find(int64_t id, Entry& out) = 0;
    virtual bool replay(int64_t id, std::vector<uint8_t>& out) = 0;
    // Best first, from place offset + 1.
    virtual std::vector<Entry> board(int64_t limit, int64_t offset) = 0;
    virtual int64_t total() = 0;
    virtual int32_t schemaVersion() = 0;
    // True when the database answers.
    virtual bool healthy() = 0;
};

// "postgresql://..." or "postgres://..." opens PostgreSQL, anything else is a SQLite file.
// Throws StoreError with a reason when it cannot open or update the schema.
std::unique_ptr<Store> openStore(const std::string& where);
std::unique_ptr<Store> openSqliteStore(const std::string& path);
std::unique_ptr<Store> openPostgresStore(const std::string& url);

// The current time as ISO 8601 UTC, seconds precision.
std::string utcNow();
// A score's digits without leading zeros ("0" stays): the form that orders by length.
std::string canonicalScore(const std::string& digits);
