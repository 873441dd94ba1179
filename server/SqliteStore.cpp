// The SQLite store: one file in WAL mode, written with synchronous=FULL so that an entry the
// server has answered 201 for is on the disk before the answer leaves, and survives a crash
// or a power cut. Each request thread borrows a connection of its own from a small pool.

#include "server/Store.h"
#include "server/StoreSchema.h"

#include <sqlite3.h>

#include <mutex>

namespace {

class Statement {
  public:
    Statement(sqlite3* db, const std::string& sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql.c_str(), int(sql.size()), &st_, nullptr) != SQLITE_OK)
            throw StoreError(std::string("SQLite: ") + sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(st_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int i, const std::string& v) {
        check(sqlite3_bind_text(st_, i, v.data(), int(v.size()), SQLITE_TRANSIENT));
        return *this;
    }
    Statement& bind(int i, int64_t v) {
        check(sqlite3_bind_int64(st_, i, v));
        return *this;
    }
    Statement& bindBlob(int i, const std::vector<uint8_t>& v) {
        check(sqlite3_bind_blob(st_, i, v.data(), int(v.size()), SQLITE_TRANSIENT));
        return *this;
    }
    // True while there is a row.
    bool step() {
        const int rc = sqlite3_step(st_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        throw StoreError(std::string("SQLite: ") + sqlite3_errmsg(db_));
    }
    int64_t integer(int col) { return sqlite3_column_int64(st_, col); }
    std::string text(int col) {
        const unsigned char* t = sqlite3_column_text(st_, col);
        return t == nullptr ? std::string()
                            : std::string(reinterpret_cast<const char*>(t),
                                          size_t(sqlite3_column_bytes(st_, col)));
    }
    void blob(int col, std::vector<uint8_t>& out) {
        const auto* b = static_cast<const uint8_t*>(sqlite3_column_blob(st_, col));
        out.assign(b, b + sqlite3_column_bytes(st_, col));
    }
    Entry entry() {
        Entry e;
        e.id = integer(0);
        e.name = text(1);
        e.score = text(2);
        e.level = int32_t(integer(3));
        e.frames = integer(4);
        e.date = text(5);
        e.sha256 = text(6);
        return e;
    }

  private:
    void check(int rc) {
        if (rc != SQLITE_OK) throw StoreError(std::string("SQLite: ") + sqlite3_errmsg(db_));
    }
    sqlite3* db_;
    sqlite3_stmt* st_ = nullptr;
};

void exec(sqlite3* db, const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string why = message != nullptr ? message : sqlite3_errmsg(db);
        sqlite3_free(message);
        throw StoreError("SQLite: " + why);
    }
}

sqlite3* openConnection(const std::string& path) {
    sqlite3* db = nullptr;
    const int rc =
        sqlite3_open_v2(path.c_str(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const std::string why = db != nullptr ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        throw StoreError("cannot open the database " + path + ": " + why);
    }
    // Writers of several processes wait for each other rather than fail.
    sqlite3_busy_timeout(db, 10000);
    try {
        exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA foreign_keys=ON;");
    } catch (...) {
        sqlite3_close(db);
        throw;
    }
    return db;
}

class SqliteStore : public Store {
  public:
    explicit SqliteStore(const std::string& path) : path_(path) {
        Lease db(*this);
        migrate(db.db);
    }

    bool add(const NewEntry& n, Entry& out) override {
        Lease db(*this);
        const std::string score = canonicalScore(n.score);
        Statement insert(db.db, "INSERT INTO entries (sha256, name, score, score_digits, level, "
                                "frames, created, replay) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, "
                                "?8) ON CONFLICT (sha256) DO NOTHING");
        insert.bind(1, n.sha256)
            .bind(2, n.name)
            .bind(3, score)
            .bind(4, int64_t(score.size()))
            .bind(5, int64_t(n.level))
            .bind(6, n.frames)
            .bind(7, n.date)
            .bindBlob(8, n.replay);
        insert.step();
        const bool added = sqlite3_changes(db.db) > 0;
        if (!bySha(db.db, n.sha256, out)) throw StoreError("an entry just stored is not found");
        return added;
    }
    bool findBySha(const std::string& sha256, Entry& out) override {
        Lease db(*this);
        return bySha(db.db, sha256, out);
    }
    bool find(int64_t id, Entry& out) override {
        Lease db(*this);
        Statement q(db.db, std::string("SELECT ") + kEntryColumns + " FROM entries WHERE id = ?1");
        q.bind(1, id);
        if (!q.step()) return false;
        out = q.entry();
        out.rank = rankOf(db.db, out);
        return true;
    }
    bool replay(int64_t id, std::vector<uint8_t>& out) override {
        Lease db(*this);
        Statement q(db.db, "SELECT replay FROM entries WHERE id = ?1");
        q.bind(1, id);
        if (!q.step()) return false;
        q.blob(0, out);
        return true;
    }
    std::vector<Entry> board(int64_t limit, int64_t offset) override {
        Lease db(*this);
        Statement q(db.db, std::string("SELECT ") + kEntryColumns +
                               " FROM entries ORDER BY score_digits DESC, score DESC, id "
                               "LIMIT ?1 OFFSET ?2");
        q.bind(1, limit).bind(2, offset);
        std::vector<Entry> out;
        while (q.step()) {
            out.push_back(q.entry());
            out.back().rank = offset + int64_t(out.size());
        }
        return out;
    }
    int64_t total() override {
        Lease db(*this);
        Statement q(db.db, "SELECT COUNT(*) FROM entries");
        return q.step() ? q.integer(0) : 0;
    }
    int32_t schemaVersion() override {
        Lease db(*this);
        return version(db.db);
    }
    bool healthy() override {
        try {
            Lease db(*this);
            Statement q(db.db, "SELECT 1");
            return q.step();
        } catch (const StoreError&) {
            return false;
        }
    }

  private:
    // A connection borrowed for one call.
    struct Lease {
        explicit Lease(SqliteStore& s) : store(s) {
            {
                std::lock_guard<std::mutex> lock(s.mutex_);
                if (!s.idle_.empty()) {
                    db = s.idle_.back();
                    s.idle_.pop_back();
                }
            }
            if (db == nullptr) db = openConnection(s.path_);
        }
        ~Lease() {
            std::lock_guard<std::mutex> lock(store.mutex_);
            store.idle_.push_back(db);
        }
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        SqliteStore& store;
        sqlite3* db = nullptr;
    };

    static int32_t version(sqlite3* db) {
        Statement q(db, "SELECT COALESCE(MAX(version), 0) FROM schema_version");
        return q.step() ? int32_t(q.integer(0)) : 0;
    }

    static void migrate(sqlite3* db) {
        // IMMEDIATE: a second server starting on the same file waits here for the first.
        exec(db, "BEGIN IMMEDIATE");
        try {
            exec(db, "CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)");
            const int32_t have = version(db);
            if (have > kSchemaVersion)
                throw StoreError("the database was made by a newer server (schema " +
                                 std::to_string(have) + ")");
            for (const SchemaStep& step : kSchemaSteps) {
                if (step.version <= have) continue;
                exec(db, step.sqlite);
                Statement mark(db, "INSERT INTO schema_version (version) VALUES (?1)");
                mark.bind(1, int64_t(step.version));
                mark.step();
            }
            exec(db, "COMMIT");
        } catch (...) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    }

    static int64_t rankOf(sqlite3* db, const Entry& e) {
        Statement q(db, "SELECT COUNT(*) + 1 FROM entries WHERE score_digits > ?1 OR "
                        "(score_digits = ?1 AND (score > ?2 OR (score = ?2 AND id < ?3)))");
        q.bind(1, int64_t(e.score.size())).bind(2, e.score).bind(3, e.id);
        return q.step() ? q.integer(0) : 0;
    }

    static bool bySha(sqlite3* db, const std::string& sha256, Entry& out) {
        Statement q(db, std::string("SELECT ") + kEntryColumns + " FROM entries WHERE sha256 = ?1");
        q.bind(1, sha256);
        if (!q.step()) return false;
        out = q.entry();
        out.rank = rankOf(db, out);
        return true;
    }

    // Closes the connections also when the constructor fails (a damaged or newer file).
    struct Idle : std::vector<sqlite3*> {
        Idle() = default;
        Idle(const Idle&) = delete;
        Idle& operator=(const Idle&) = delete;
        ~Idle() {
            for (sqlite3* db : *this) sqlite3_close(db);
        }
    };

    std::string path_;
    std::mutex mutex_;
    Idle idle_;
};

} // namespace

std::unique_ptr<Store> openSqliteStore(const std::string& path) {
    return std::make_unique<SqliteStore>(path);
}
