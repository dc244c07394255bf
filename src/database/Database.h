#pragma once
// The program's databases: SQLite behind a small RAII layer. Every value is
// bound as a parameter and every identifier quoted, so no SQL text is ever
// made from a value.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace waypost::database {

/// A failure of the database layer: the file concerned and SQLite's own reason.
class DatabaseError : public std::runtime_error {
public:
    DatabaseError(std::string file, std::string reason);

    const std::string& file() const { return m_file; }
    const std::string& reason() const { return m_reason; }

private:
    std::string m_file;
    std::string m_reason;
};

/// \p name as an SQL identifier in double quotes, inner quotes doubled:
/// quoteIdentifier("my \"big\" table") == "\"my \"\"big\"\" table\"".
[[nodiscard]] std::string quoteIdentifier(std::string_view name);

/// One column of a table as the table declares it.
struct ColumnInfo {
    std::string name;
    std::string declaredType;  ///< as written in CREATE TABLE ("REAL", "TEXT", "" when none)
};

class Statement;

/// An open SQLite database; closed when destroyed.
class Database {
public:
    enum class Mode {
        ReadOnly,   ///< the file must exist; nothing can be written
        ReadWrite,  ///< the file must exist
        Create,     ///< read and write, creating the file when it is missing
    };

    /// Opens \p path. A missing file (except with Create), a file that is not
    /// a database, or one that cannot be read throws DatabaseError.
    Database(std::string path, Mode mode);
    ~Database();
    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const std::string& path() const { return m_path; }

    /// Prepares one statement (parameters as ? or :name).
    [[nodiscard]] Statement prepare(std::string_view sql);
    /// Runs SQL without results or parameters (schema changes, pragmas); may hold several statements.
    void execute(std::string_view sql);

    /// The user tables in the order they were created.
    [[nodiscard]] std::vector<std::string> userTables();
    /// The columns of \p table in their order; throws when there is no such table.
    [[nodiscard]] std::vector<ColumnInfo> tableColumns(std::string_view table);
    /// Whether a user table named \p table exists (names compare without regard to case).
    [[nodiscard]] bool hasTable(std::string_view table);

    /// How to name the row number of \p table in SQL, quoted: its INTEGER
    /// PRIMARY KEY column, otherwise the first of rowid, _rowid_ and oid that
    /// no column of the table hides (a column named "RowID" would stand in for
    /// SQLite's own). Throws DatabaseError when all three are hidden.
    [[nodiscard]] std::string rowKey(std::string_view table);

    /// Rowid of the last inserted row.
    [[nodiscard]] std::int64_t lastInsertRowId() const;

    /// Throws DatabaseError with SQLite's current message.
    [[noreturn]] void fail() const;
    sqlite3* handle() const { return m_db; }

private:
    std::string m_path;
    sqlite3* m_db = nullptr;
};

/// A prepared statement. Bind values by position (from 1) or by name
/// (":name"), step through the rows, read columns by index (from 0).
class Statement {
public:
    Statement(Database& database, std::string_view sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int position, double value);
    Statement& bind(int position, std::int64_t value);
    Statement& bind(int position, int value) { return bind(position, static_cast<std::int64_t>(value)); }
    Statement& bind(int position, std::string_view value);
    Statement& bind(int position, const char* value) { return bind(position, std::string_view(value)); }
    Statement& bindNull(int position);
    /// Binds by parameter name, such as ":key"; an unknown name throws.
    template <class T>
    Statement& bind(std::string_view name, const T& value) {
        return bind(parameterIndex(name), value);
    }

    /// Runs the statement to its next row. \return true when a row is ready,
    /// false when the statement is done. A failure throws DatabaseError.
    bool step();
    /// Steps until done (for statements without rows).
    void run();
    /// Back to before the first row, keeping the bound values (rebind to change them).
    void reset();
    void clearBindings();

    [[nodiscard]] int columnCount() const;
    [[nodiscard]] std::string columnName(int column) const;
    [[nodiscard]] bool isNull(int column) const;
    /// Whether the value is stored as text (not a number, blob or null).
    [[nodiscard]] bool isText(int column) const;
    [[nodiscard]] double columnDouble(int column) const;
    [[nodiscard]] std::int64_t columnInt(int column) const;
    [[nodiscard]] std::string columnText(int column) const;
    /// The value, or nothing when it is NULL.
    [[nodiscard]] std::optional<double> columnOptionalDouble(int column) const;

private:
    int parameterIndex(std::string_view name) const;
    void check(int result) const;

    Database* m_database = nullptr;
    sqlite3_stmt* m_statement = nullptr;
};

/// A transaction that rolls back unless commit() is called.
class Transaction {
public:
    explicit Transaction(Database& database);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    Database& m_database;
    bool m_open = true;
};

}  // namespace waypost::database
