// The PostgreSQL store, for a board that several servers share. Schema updates run under an
// advisory lock, so servers that start together update it once; the unique SHA-256 column
// decides which of two servers receiving the same replay stores it.

#include "server/Store.h"
#include "server/StoreSchema.h"

#include <pqxx/pqxx>

#include <mutex>
#include <utility>

namespace {

// Any fixed number names the lock; this one spells "VTX1".
constexpr int64_t kMigrationLock = 0x56545831;

Entry readEntry(const pqxx::row& row) {
    Entry e;
    e.id = row[0].as<int64_t>();
    e.name = row[1].as<std::string>();
    e.score = row[2].as<std::string>();
    e.level = row[3].as<int32_t>();
    e.frames = row[4].as<int64_t>();
    e.date = row[5].as<std::string>();
    e.sha256 = row[6].as<std::string>();
    return e;
}

class PostgresStore : public Store {
  public:
    explicit PostgresStore(const std::string& url) : url_(url) {
        Lease c(*this);
        migrate(*c.conn);
    }

    bool add(const NewEntry& n, Entry& out) override {
        return run([&](pqxx::connection& c) {
            pqxx::work w(c);
            const std::string score = canonicalScore(n.score);
            const std::string bytes(n.replay.begin(), n.replay.end());
            const pqxx::result r = w.exec_params(
                "INSERT INTO entries (sha256, name, score, score_digits, level, frames, "
                "created, replay) VALUES ($1, $2, $3, $4, $5, $6, $7, $8) "
                "ON CONFLICT (sha256) DO NOTHING RETURNING id",
                n.sha256, n.name, score, int32_t(score.size()), n.level, n.frames, n.date,
                pqxx::binarystring(bytes));
            w.commit();
            if (!bySha(c, n.sha256, out)) throw StoreError("an entry just stored is not found");
            return !r.empty();
        });
    }
    bool findBySha(const std::string& sha256, Entry& out) override {
        return run([&](pqxx::connection& c) { return bySha(c, sha256, out); });
    }
    bool find(int64_t id, Entry& out) override {
        return run([&](pqxx::connection& c) {
            pqxx::read_transaction w(c);
            const pqxx::result r = w.exec_params(
                std::string("SELECT ") + kEntryColumns + " FROM entries WHERE id = $1", id);
            if (r.empty()) return false;
            out = readEntry(r[0]);
            out.rank = rankOf(w, out);
            return true;
        });
    }
    bool replay(int64_t id, std::vector<uint8_t>& out) override {
        return run([&](pqxx::connection& c) {
            pqxx::read_transaction w(c);
            const pqxx::result r = w.exec_params("SELECT replay FROM entries WHERE id = $1", id);
            if (r.empty()) return false;
            const pqxx::binarystring b(r[0][0]);
            out.assign(b.data(), b.data() + b.size());
            return true;
        });
    }
    std::vector<Entry> board(int64_t limit, int64_t offset) override {
        return run([&](pqxx::connection& c) {
            pqxx::read_transaction w(c);
            const pqxx::result r = w.exec_params(
                std::string("SELECT ") + kEntryColumns +
                    " FROM entries ORDER BY score_digits DESC, score DESC, id LIMIT $1 OFFSET $2",
                limit, offset);
            std::vector<Entry> out;
            for (const pqxx::row& row : r) {
                out.push_back(readEntry(row));
                out.back().rank = offset + int64_t(out.size());
            }
            return out;
        });
    }
    int64_t total() override {
        return run([&](pqxx::connection& c) {
            pqxx::read_transaction w(c);
            return w.exec("SELECT COUNT(*) FROM entries")[0][0].as<int64_t>();
        });
    }
    int32_t schemaVersion() override {
        return run([&](pqxx::connection& c) {
            pqxx::read_transaction w(c);
            return w.exec("SELECT COALESCE(MAX(version), 0) FROM schema_version")[0][0]
                .as<int32_t>();
        });
    }
    bool healthy() override {
        try {
            return run([&](pqxx::connection& c) {
                pqxx::read_transaction w(c);
                return w.exec("SELECT 1")[0][0].as<int32_t>() == 1;
            });
        } catch (const StoreError&) {
            return false;
        }
    }

  private:
    struct Lease {
        explicit Lease(PostgresStore& s) : store(s) {
            {
                std::lock_guard<std::mutex> lock(s.mutex_);
                if (!s.idle_.empty()) {
                    conn = std::move(s.idle_.back());
                    s.idle_.pop_back();
                }
            }
            if (!conn) {
                try {
                    conn = std::make_unique<pqxx::connection>(s.url_);
                } catch (const std::exception& e) {
                    throw StoreError(std::string("PostgreSQL: ") + e.what());
                }
            }
        }
        ~Lease() {
            // A connection that broke is dropped; the next call opens a new one.
            if (!conn || !conn->is_open()) return;
            std::lock_guard<std::mutex> lock(store.mutex_);
            store.idle_.push_back(std::move(conn));
        }
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        PostgresStore& store;
        std::unique_ptr<pqxx::connection> conn;
    };

    // Runs one call on a borrowed connection; the database's own errors become StoreErrors.
    template <typename F> auto run(F f) -> decltype(f(std::declval<pqxx::connection&>())) {
        Lease c(*this);
        try {
            return f(*c.conn);
        } catch (const StoreError&) {
            throw;
        } catch (const pqxx::broken_connection& e) {
            c.conn.reset();
            throw StoreError(std::string("PostgreSQL: ") + e.what());
        } catch (const std::exception& e) {
            throw StoreError(std::string("PostgreSQL: ") + e.what());
        }
    }

    static void migrate(pqxx::connection& c) {
        try {
            pqxx::nontransaction lock(c);
            lock.exec_params("SELECT pg_advisory_lock($1)", kMigrationLock);
            try {
                pqxx::work w(c);
                w.exec("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)");
                const int32_t have =
                    w.exec("SELECT COALESCE(MAX(version), 0) FROM schema_version")[0][0]
                        .as<int32_t>();
                if (have > kSchemaVersion)
                    throw StoreError("the database was made by a newer server (schema " +
                                     std::to_string(have) + ")");
                for (const SchemaStep& step : kSchemaSteps) {
                    if (step.version <= have) continue;
                    w.exec(step.postgres);
                    w.exec_params("INSERT INTO schema_version (version) VALUES ($1)", step.version);
                }
                w.commit();
            } catch (...) {
                pqxx::nontransaction unlock(c);
                unlock.exec_params("SELECT pg_advisory_unlock($1)", kMigrationLock);
                throw;
            }
            pqxx::nontransaction unlock(c);
            unlock.exec_params("SELECT pg_advisory_unlock($1)", kMigrationLock);
        } catch (const StoreError&) {
            throw;
        } catch (const std::exception& e) {
            throw StoreError(std::string("PostgreSQL: ") + e.what());
        }
    }

    template <typename Tx> static int64_t rankOf(Tx& w, const Entry& e) {
        return w
            .exec_params("SELECT COUNT(*) + 1 FROM entries WHERE score_digits > $1 OR "
                         "(score_digits = $1 AND (score > $2 OR (score = $2 AND id < $3)))",
                         int32_t(e.score.size()), e.score, e.id)[0][0]
            .template as<int64_t>();
    }

    static bool bySha(pqxx::connection& c, const std::string& sha256, Entry& out) {
        pqxx::read_transaction w(c);
        const pqxx::result r = w.exec_params(
            std::string("SELECT ") + kEntryColumns + " FROM entries WHERE sha256 = $1", sha256);
        if (r.empty()) return false;
        out = readEntry(r[0]);
        out.rank = rankOf(w, out);
        return true;
    }

    std::string url_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<pqxx::connection>> idle_;
};

} // namespace

std::unique_ptr<Store> openPostgresStore(const std::string& url) {
    return std::make_unique<PostgresStore>(url);
}
