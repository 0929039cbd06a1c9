#pragma once

// Thin owners of SQLite's handles, with the few conveniences the library database needs.
// Errors are SQLite's result codes; the connection's own words say why.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace platter::sqlite {

class Connection {
public:
    Connection() = default;
    // `flags`: SQLite's SQLITE_OPEN_* flags. An unopened connection on failure; `error` says why.
    static Connection open(const std::string& path, int flags, int& code, std::string& error);

    explicit operator bool() const { return db_ != nullptr; }
    sqlite3* get() const { return db_.get(); }
    void close() { db_.reset(); }

    int exec(const char* sql) const;
    // The single integer a pragma or query answers, or nullopt on an error or no row.
    std::optional<std::int64_t> integer(const char* sql) const;
    std::string errorText() const;

private:
    struct Close {
        void operator()(sqlite3* db) const;
    };
    std::unique_ptr<sqlite3, Close> db_;
};

// A prepared statement. Text bound to it is not copied: it must outlive the next step().
class Statement {
public:
    Statement() = default;
    Statement(const Connection& db, std::string_view sql, bool persistent = false);

    explicit operator bool() const { return stmt_ != nullptr; }
    int prepareCode() const { return prepareCode_; }

    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, std::optional<std::int64_t> value);
    Statement& bind(int index, std::string_view value);
    // SQLITE_ROW, SQLITE_DONE or an error.
    int step();
    // Steps to the end and resets for the next use; SQLITE_OK or an error.
    int run();
    void reset();

    std::int64_t integer(int column) const;
    std::optional<std::int64_t> optionalInteger(int column) const;
    std::string text(int column) const;

private:
    struct Finalize {
        void operator()(sqlite3_stmt* stmt) const;
    };
    std::unique_ptr<sqlite3_stmt, Finalize> stmt_;
    int prepareCode_ = 0;
};

} // namespace platter::sqlite
