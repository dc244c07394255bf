#include "database/Database.h"

#include <algorithm>
#include <cctype>

#include <sqlite3.h>

#include <filesystem>
#include <utility>

namespace waypost::database {

namespace {

constexpr int busyTimeoutMilliseconds = 2000;

std::string messageFor(const std::string& file, const std::string& reason) {
    return file + ": " + reason;
}

}  // namespace

DatabaseError::DatabaseError(std::string file, std::string reason)
    : std::runtime_error(messageFor(file, reason)), m_file(std::move(file)), m_reason(std::move(reason)) {}

std::string quoteIdentifier(std::string_view name) {
    std::string quoted;
    quoted.reserve(name.size() + 2);
    quoted += '"';
    for (const char c : name) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

// ---------------------------------------------------------------- Database

Database::Database(std::string path, Mode mode) : m_path(std::move(path)) {
    std::error_code ignored;
    if (mode != Mode::Create && !std::filesystem::exists(m_path, ignored))
        throw DatabaseError(m_path, "the file does not exist");
    int flags = SQLITE_OPEN_NOMUTEX;
    switch (mode) {
        case Mode::ReadOnly: flags |= SQLITE_OPEN_READONLY; break;
        case Mode::ReadWrite: flags |= SQLITE_OPEN_READWRITE; break;
        case Mode::Create: flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE; break;
    }
    const int result = sqlite3_open_v2(m_path.c_str(), &m_db, flags, nullptr);
    if (result != SQLITE_OK) {
        std::string reason = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(result);
        sqlite3_close(m_db);
        m_db = nullptr;
        throw DatabaseError(m_path, std::move(reason));
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, busyTimeoutMilliseconds);
    // SQLite reads the file lazily: read the schema now, so that a file that is
    // not a database is refused here and not at the first query.
    try {
        Statement probe(*this, "SELECT count(*) FROM sqlite_master");
        probe.step();
    } catch (...) {
        sqlite3_close(m_db);
        m_db = nullptr;
        throw;
    }
}

Database::~Database() {
    if (m_db) sqlite3_close_v2(m_db);
}

Database::Database(Database&& other) noexcept
    : m_path(std::move(other.m_path)), m_db(std::exchange(other.m_db, nullptr)) {}

Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        if (m_db) sqlite3_close_v2(m_db);
        m_path = std::move(other.m_path);
        m_db = std::exchange(other.m_db, nullptr);
    }
    return *this;
}

Statement Database::prepare(std::string_view sql) { return Statement(*this, sql); }

void Database::execute(std::string_view sql) {
    const std::string text(sql);
    char* error = nullptr;
    if (sqlite3_exec(m_db, text.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string reason = error ? error : sqlite3_errmsg(m_db);
        sqlite3_free(error);
        throw DatabaseError(m_path, std::move(reason));
    }
}

std::vector<std::string> Database::userTables() {
    // sqlite_master lists objects in the order they were created.
    Statement tables(*this,
                     "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
                     "ORDER BY rowid");
    std::vector<std::string> names;
    while (tables.step()) names.push_back(tables.columnText(0));
    return names;
}

std::vector<ColumnInfo> Database::tableColumns(std::string_view table) {
    if (!hasTable(table)) throw DatabaseError(m_path, "no such table: " + std::string(table));
    Statement columns(*this, "SELECT name, type FROM pragma_table_info(?) ORDER BY cid");
    columns.bind(1, table);
    std::vector<ColumnInfo> list;
    while (columns.step()) list.push_back({columns.columnText(0), columns.columnText(1)});
    return list;
}

std::string Database::rowKey(std::string_view table) {
    if (!hasTable(table)) throw DatabaseError(m_path, "no such table: " + std::string(table));
    Statement columns(*this, "SELECT name, upper(type), pk FROM pragma_table_info(?)");
    columns.bind(1, table);
    std::vector<std::string> names;  // lower case
    std::vector<std::string> integerKeys;
    int keyColumns = 0;
    while (columns.step()) {
        std::string name = columns.columnText(0);
        if (columns.columnInt(2) > 0) {
            ++keyColumns;
            if (columns.columnText(1) == "INTEGER") integerKeys.push_back(name);
        }
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        names.push_back(std::move(name));
    }
    // A lone INTEGER PRIMARY KEY is the row number under its own name.
    if (keyColumns == 1 && integerKeys.size() == 1) return quoteIdentifier(integerKeys.front());
    for (const char* alias : {"rowid", "_rowid_", "oid"})
        if (std::find(names.begin(), names.end(), alias) == names.end()) return alias;
    throw DatabaseError(m_path, "the columns RowID, _RowID_ and OID of " + std::string(table) +
                                    " hide its row numbers; rename one of them");
}

bool Database::hasTable(std::string_view table) {
    Statement exists(*this, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE");
    exists.bind(1, table);
    return exists.step();
}

std::int64_t Database::lastInsertRowId() const { return sqlite3_last_insert_rowid(m_db); }

void Database::fail() const { throw DatabaseError(m_path, sqlite3_errmsg(m_db)); }

// ---------------------------------------------------------------- Statement

Statement::Statement(Database& database, std::string_view sql) : m_database(&database) {
    const char* tail = nullptr;
    const int result = sqlite3_prepare_v2(database.handle(), sql.data(), static_cast<int>(sql.size()),
                                          &m_statement, &tail);
    if (result != SQLITE_OK) database.fail();
}

Statement::~Statement() { sqlite3_finalize(m_statement); }

Statement::Statement(Statement&& other) noexcept
    : m_database(other.m_database), m_statement(std::exchange(other.m_statement, nullptr)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(m_statement);
        m_database = other.m_database;
        m_statement = std::exchange(other.m_statement, nullptr);
    }
    return *this;
}

void Statement::check(int result) const {
    if (result != SQLITE_OK) m_database->fail();
}

Statement& Statement::bind(int position, double value) {
    check(sqlite3_bind_double(m_statement, position, value));
    return *this;
}

Statement& Statement::bind(int position, std::int64_t value) {
    check(sqlite3_bind_int64(m_statement, position, value));
    return *this;
}

Statement& Statement::bind(int position, std::string_view value) {
    check(sqlite3_bind_text64(m_statement, position, value.data(), value.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
    return *this;
}

Statement& Statement::bindNull(int position) {
    check(sqlite3_bind_null(m_statement, position));
    return *this;
}

int Statement::parameterIndex(std::string_view name) const {
    const std::string text(name);
    const int index = sqlite3_bind_parameter_index(m_statement, text.c_str());
    if (index == 0) throw DatabaseError(m_database->path(), "no parameter named " + text);
    return index;
}

bool Statement::step() {
    const int result = sqlite3_step(m_statement);
    if (result == SQLITE_ROW) return true;
    if (result == SQLITE_DONE) return false;
    m_database->fail();
}

void Statement::run() {
    while (step()) {
    }
}

void Statement::reset() { sqlite3_reset(m_statement); }

void Statement::clearBindings() { sqlite3_clear_bindings(m_statement); }

int Statement::columnCount() const { return sqlite3_column_count(m_statement); }

std::string Statement::columnName(int column) const {
    const char* name = sqlite3_column_name(m_statement, column);
    return name ? name : std::string();
}

bool Statement::isNull(int column) const { return sqlite3_column_type(m_statement, column) == SQLITE_NULL; }

bool Statement::isText(int column) const { return sqlite3_column_type(m_statement, column) == SQLITE_TEXT; }

double Statement::columnDouble(int column) const { return sqlite3_column_double(m_statement, column); }

std::int64_t Statement::columnInt(int column) const { return sqlite3_column_int64(m_statement, column); }

std::string Statement::columnText(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    if (!text) return {};
    return std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column)));
}

std::optional<double> Statement::columnOptionalDouble(int column) const {
    if (isNull(column)) return std::nullopt;
    return columnDouble(column);
}

// ---------------------------------------------------------------- Transaction

Transaction::Transaction(Database& database) : m_database(database) { m_database.execute("BEGIN IMMEDIATE"); }

Transaction::~Transaction() {
    if (!m_open) return;
    // Nothing can be reported from here; a failed rollback leaves SQLite to
    // undo the transaction when the connection closes.
    sqlite3_exec(m_database.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit() {
    m_database.execute("COMMIT");
    m_open = false;
}

}  // namespace waypost::database
