#include "platform/db/sqlite_handle.h"

#include <sqlite3.h>

namespace platter::sqlite {

void Connection::Close::operator()(sqlite3* db) const {
    sqlite3_close_v2(db);
}
void Statement::Finalize::operator()(sqlite3_stmt* stmt) const {
    sqlite3_finalize(stmt);
}

Connection Connection::open(const std::string& path, int flags, int& code, std::string& error) {
    sqlite3* raw = nullptr;
    code = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
    Connection connection;
    connection.db_.reset(raw);
    if (code != SQLITE_OK) {
        error = raw ? sqlite3_errmsg(raw) : sqlite3_errstr(code);
        connection.close();
        return connection;
    }
    sqlite3_extended_result_codes(raw, 1);
    return connection;
}

int Connection::exec(const char* sql) const {
    return sqlite3_exec(db_.get(), sql, nullptr, nullptr, nullptr);
}

std::optional<std::int64_t> Connection::integer(const char* sql) const {
    Statement query(*this, sql);
    if (!query || query.step() != SQLITE_ROW) return std::nullopt;
    return query.integer(0);
}

std::string Connection::errorText() const {
    return db_ ? sqlite3_errmsg(db_.get()) : "no database";
}

Statement::Statement(const Connection& db, std::string_view sql, bool persistent) {
    sqlite3_stmt* raw = nullptr;
    prepareCode_ = sqlite3_prepare_v3(db.get(), sql.data(), static_cast<int>(sql.size()),
                                      persistent ? SQLITE_PREPARE_PERSISTENT : 0, &raw, nullptr);
    stmt_.reset(raw);
}

Statement& Statement::bind(int index, std::int64_t value) {
    sqlite3_bind_int64(stmt_.get(), index, value);
    return *this;
}

Statement& Statement::bind(int index, std::optional<std::int64_t> value) {
    if (value) return bind(index, *value);
    sqlite3_bind_null(stmt_.get(), index);
    return *this;
}

Statement& Statement::bind(int index, std::string_view value) {
    // SQLITE_STATIC is a null destructor: the text stays the caller's, as the header says.
    sqlite3_bind_text64(stmt_.get(), index, value.data(), value.size(), nullptr, SQLITE_UTF8);
    return *this;
}

int Statement::step() {
    return sqlite3_step(stmt_.get());
}

int Statement::run() {
    int code = SQLITE_ROW;
    while (code == SQLITE_ROW)
        code = step();
    reset();
    return code == SQLITE_DONE ? SQLITE_OK : code;
}

void Statement::reset() {
    sqlite3_reset(stmt_.get());
    sqlite3_clear_bindings(stmt_.get());
}

std::int64_t Statement::integer(int column) const {
    return sqlite3_column_int64(stmt_.get(), column);
}

std::optional<std::int64_t> Statement::optionalInteger(int column) const {
    if (sqlite3_column_type(stmt_.get(), column) == SQLITE_NULL) return std::nullopt;
    return integer(column);
}

std::string Statement::text(int column) const {
    const auto* bytes = sqlite3_column_text(stmt_.get(), column);
    if (!bytes) return {};
    return {reinterpret_cast<const char*>(bytes),
            static_cast<std::size_t>(sqlite3_column_bytes(stmt_.get(), column))};
}

} // namespace platter::sqlite
