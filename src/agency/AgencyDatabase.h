#pragma once
// The agency's shared PostgreSQL/PostGIS database: a connection through libpq,
// every value bound and every name quoted, and what a failure means in words.

#include "output/FeatureFields.h"

#include <QString>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

struct pg_conn;
struct pg_result;

namespace waypost::agency {

/// A failure of the agency database, said in words a person can act on.
class AgencyError : public std::runtime_error {
public:
    explicit AgencyError(const QString& words, bool passwordWanted = false)
        : std::runtime_error(words.toStdString()), m_words(words), m_passwordWanted(passwordWanted) {}
    const QString& words() const { return m_words; }
    /// The server wants a password that was not given, or refused the one given.
    bool passwordWanted() const { return m_passwordWanted; }

private:
    QString m_words;
    bool m_passwordWanted = false;
};

/// Where the agency database is: a service of pg_service.conf, or host, port,
/// database and user. The password is never kept here: libpq's .pgpass, or
/// asked once per run.
struct ConnectionSettings {
    QString service;
    QString host, port, database, user;
    /// The section and zip-code look-ups ask the agency database first.
    bool lookUps = false;

    bool isEmpty() const { return service.isEmpty() && host.isEmpty() && database.isEmpty(); }
    /// The libpq connection string, each value quoted as libpq wants it;
    /// \p password is added when not empty.
    std::string connectionString(const QString& password = QString()) const;
};

/// One row of a result, a text (or nothing for NULL) per column.
using Row = std::vector<std::optional<std::string>>;
/// A statement's parameters, bound as text (nothing is NULL).
using Parameters = std::vector<std::optional<std::string>>;

/// One open connection. Not shared between threads.
class Connection {
public:
    /// Connects; throws AgencyError naming the reason (server not reachable,
    /// authentication failed, no such database, password needed).
    explicit Connection(const std::string& connectionString);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    /// Runs one statement with \p parameters bound; throws AgencyError.
    std::vector<Row> run(const std::string& sql, const Parameters& parameters = {});
    /// Runs \p copy ("COPY t FROM STDIN") with \p data in COPY's text form; throws AgencyError.
    void copyIn(const std::string& copy, const std::string& data);
    /// \p name quoted as an identifier ("my table" -> "\"my table\"").
    std::string quoted(const std::string& name) const;

private:
    pg_conn* m_connection = nullptr;
};

/// A transaction that rolls back unless committed.
class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Connection& m_connection;
    bool m_done = false;
};

/// \p value as text the server reads back to the same number (the shortest exact form).
std::string numberText(double value);

/// \p value as a field of COPY's text form (tab, line ends and backslash escaped; nothing is NULL).
std::string copyField(const std::optional<std::string>& value);

/// What "Test" finds: whether the database can take Waypost's records, and in words why not.
struct Verdict {
    bool ok = false;
    QString words;
};
Verdict testConnection(const std::string& connectionString);

/// Writes one feature record into \p table: the fields of \p fields that have
/// a shapefile name (text, numbers and dates as their shapefile types), a
/// point (SRID 4326) at \p longitude, \p latitude, and when and by whom it was
/// written. The table and its spatial index are made on first use. One
/// transaction: a failure leaves nothing written and throws AgencyError.
/// \return the new record's id.
long long writeFeature(Connection& connection, const std::string& table, const FieldTable& fields, const FieldRow& row,
                       double longitude, double latitude);

}  // namespace waypost::agency
