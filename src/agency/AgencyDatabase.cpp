#include "agency/AgencyDatabase.h"

#include <libpq-fe.h>

#include <charconv>
#include <variant>

namespace waypost::agency {
namespace {

QString fromPg(const char* text) { return QString::fromUtf8(text).trimmed(); }

/// A connection failure in words.
QString connectionFailure(pg_conn* connection) {
    const QString detail = fromPg(PQerrorMessage(connection));
    QString reason;
    if (PQconnectionNeedsPassword(connection)) reason = QStringLiteral("the server wants a password");
    else if (detail.contains(QLatin1String("password authentication failed")) ||
             detail.contains(QLatin1String("authentication failed")))
        reason = QStringLiteral("authentication failed (wrong user or password)");
    else if (detail.contains(QLatin1String("does not exist")) && detail.contains(QLatin1String("database")))
        reason = QStringLiteral("the database does not exist on the server");
    else if (detail.contains(QLatin1String("definition of service")))
        reason = QStringLiteral("the service is not defined in pg_service.conf");
    else reason = QStringLiteral("the server is not reachable");
    return QStringLiteral("The agency database cannot be reached: %1.\n\n%2").arg(reason, detail);
}

/// A statement's failure in words, by its SQL state.
QString statementFailure(pg_result* result, pg_conn* connection) {
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const QString detail = fromPg(result ? PQresultErrorMessage(result) : PQerrorMessage(connection));
    const std::string code = state ? state : "";
    QString reason = QStringLiteral("the database refused it");
    if (code == "42501") reason = QStringLiteral("no permission (the user may not create tables or write here)");
    else if (code.starts_with("08") || PQstatus(connection) != CONNECTION_OK)
        reason = QStringLiteral("the connection to the server was lost");
    else if (code == "42883" || code == "42704") reason = QStringLiteral("PostGIS is missing in this database");
    else if (code == "42703" || code == "42804") reason = QStringLiteral("the table does not have Waypost's columns");
    return QStringLiteral("%1.\n\n%2").arg(reason.left(1).toUpper() + reason.mid(1), detail);
}


std::string columnType(ShapefileWriter::FieldType type) {
    switch (type) {
    case ShapefileWriter::Date: return "date";
    case ShapefileWriter::Double:
    case ShapefileWriter::Single:
    case ShapefileWriter::Numeric:
    case ShapefileWriter::Decimal: return "double precision";
    case ShapefileWriter::Integer:
    case ShapefileWriter::Long: return "bigint";
    case ShapefileWriter::Boolean: return "boolean";
    default: return "text";
    }
}

}  // namespace

std::string ConnectionSettings::connectionString(const QString& password) const {
    // libpq's form: key='value' with backslash and quote escaped.
    const auto pair = [](const char* key, const QString& value) {
        std::string quoted;
        for (const char c : value.toStdString()) {
            if (c == '\\' || c == '\'') quoted += '\\';
            quoted += c;
        }
        return std::string(key) + "='" + quoted + "' ";
    };
    std::string s;
    if (!service.isEmpty()) s += pair("service", service);
    if (!host.isEmpty()) s += pair("host", host);
    if (!port.isEmpty()) s += pair("port", port);
    if (!database.isEmpty()) s += pair("dbname", database);
    if (!user.isEmpty()) s += pair("user", user);
    if (!password.isEmpty()) s += pair("password", password);
    s += "connect_timeout='5' application_name='Waypost'";
    return s;
}

Connection::Connection(const std::string& connectionString) : m_connection(PQconnectdb(connectionString.c_str())) {
    if (!m_connection) throw AgencyError(QStringLiteral("The agency database cannot be reached: out of memory."));
    if (PQstatus(m_connection) != CONNECTION_OK) {
        const QString words = connectionFailure(m_connection);
        const bool password = PQconnectionNeedsPassword(m_connection) ||
                              words.contains(QLatin1String("authentication failed"));
        PQfinish(m_connection);
        throw AgencyError(words, password);
    }
    PQsetClientEncoding(m_connection, "UTF8");
    // The server's notices ("already exists, skipping") are not for the user.
    PQsetNoticeProcessor(m_connection, [](void*, const char*) {}, nullptr);
}

Connection::~Connection() { PQfinish(m_connection); }

std::vector<Row> Connection::run(const std::string& sql, const Parameters& parameters) {
    std::vector<const char*> values;
    for (const auto& p : parameters) values.push_back(p ? p->c_str() : nullptr);
    pg_result* result = PQexecParams(m_connection, sql.c_str(), static_cast<int>(values.size()), nullptr,
                                     values.data(), nullptr, nullptr, 0);
    const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        const QString words = statementFailure(result, m_connection);
        PQclear(result);
        throw AgencyError(words);
    }
    std::vector<Row> rows;
    for (int r = 0; r < PQntuples(result); ++r) {
        Row row;
        for (int c = 0; c < PQnfields(result); ++c)
            row.push_back(PQgetisnull(result, r, c) ? std::nullopt
                                                    : std::optional<std::string>(PQgetvalue(result, r, c)));
        rows.push_back(std::move(row));
    }
    PQclear(result);
    return rows;
}

void Connection::copyIn(const std::string& copy, const std::string& data) {
    pg_result* started = PQexec(m_connection, copy.c_str());
    if (!started || PQresultStatus(started) != PGRES_COPY_IN) {
        const QString words = statementFailure(started, m_connection);
        PQclear(started);
        throw AgencyError(words);
    }
    PQclear(started);
    constexpr std::size_t kPiece = 1 << 20;
    bool sent = true;
    for (std::size_t at = 0; sent && at < data.size(); at += kPiece)
        sent = PQputCopyData(m_connection, data.data() + at, static_cast<int>(std::min(kPiece, data.size() - at))) == 1;
    PQputCopyEnd(m_connection, sent ? nullptr : "the data could not be sent");
    QString failure;
    while (pg_result* result = PQgetResult(m_connection)) {
        if (PQresultStatus(result) != PGRES_COMMAND_OK && failure.isEmpty())
            failure = statementFailure(result, m_connection);
        PQclear(result);
    }
    if (!sent && failure.isEmpty()) failure = statementFailure(nullptr, m_connection);
    if (!failure.isEmpty()) throw AgencyError(failure);
}

std::string numberText(double value) {
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, error == std::errc() ? end : buffer);
}

std::string copyField(const std::optional<std::string>& value) {
    if (!value) return "\\N";
    std::string out;
    out.reserve(value->size());
    for (const char c : *value) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

std::string Connection::quoted(const std::string& name) const {
    char* escaped = PQescapeIdentifier(m_connection, name.c_str(), name.size());
    if (!escaped) throw AgencyError(QStringLiteral("The name \"%1\" cannot be used.").arg(QString::fromStdString(name)));
    std::string result(escaped);
    PQfreemem(escaped);
    return result;
}

Transaction::Transaction(Connection& connection) : m_connection(connection) { m_connection.run("BEGIN"); }

Transaction::~Transaction() {
    if (m_done) return;
    try {
        m_connection.run("ROLLBACK");
    } catch (const AgencyError&) {
        // The connection has gone: the server rolls back on its own.
    }
}

void Transaction::commit() {
    m_connection.run("COMMIT");
    m_done = true;
}

Verdict testConnection(const std::string& connectionString) {
    try {
        Connection connection(connectionString);
        if (connection.run("SELECT 1 FROM pg_extension WHERE extname = 'postgis'").empty())
            return {false, QStringLiteral("The server answers, but PostGIS is missing in this database: ask for "
                                          "\"CREATE EXTENSION postgis\".")};
        // Whether a table can be made, tried in a transaction that is rolled back.
        Transaction trial(connection);
        connection.run("CREATE TABLE waypost_permission_trial (id integer)");
        return {true, QStringLiteral("The agency database answers, has PostGIS and takes Waypost's records.")};
    } catch (const AgencyError& failure) {
        return {false, failure.words()};
    }
}

long long writeFeature(Connection& connection, const std::string& table, const FieldTable& fields, const FieldRow& row,
                       double longitude, double latitude) {
    if (row.size() != fields.size()) throw std::invalid_argument("a feature row must hold one value per field");
    const std::string name = connection.quoted(table);
    std::string columns, definitions, placeholders;
    Parameters values;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FieldSpec& field = fields[i];
        if (field.shapeName.isEmpty()) continue;
        const std::string column = connection.quoted(field.shapeName.toLower().toStdString());
        definitions += column + ' ' + columnType(field.type) + ", ";
        columns += column + ", ";
        values.push_back(std::visit(
            [&](const auto& v) -> std::optional<std::string> {
                if constexpr (std::is_same_v<std::decay_t<decltype(v)>, double>) return numberText(v);
                else if (v.isEmpty() && field.type != ShapefileWriter::Text) return std::nullopt;
                else return v.toStdString();
            },
            row[i]));
        placeholders += '$' + std::to_string(values.size()) + "::" + columnType(field.type) + ", ";
    }
    values.push_back(numberText(longitude));
    values.push_back(numberText(latitude));
    const std::string point = "ST_SetSRID(ST_MakePoint($" + std::to_string(values.size() - 1) + "::float8, $" +
                              std::to_string(values.size()) + "::float8), 4326)";

    Transaction transaction(connection);
    // Two desks writing the first record at once: one makes the table, the other waits for it.
    connection.run("SELECT pg_advisory_xact_lock(hashtext($1))", {table});
    connection.run("CREATE TABLE IF NOT EXISTS " + name + " (id bigserial PRIMARY KEY, " + definitions +
                   "geom geometry(Point, 4326) NOT NULL, written_at timestamptz NOT NULL DEFAULT now(), "
                   "written_by text NOT NULL DEFAULT current_user)");
    connection.run("CREATE INDEX IF NOT EXISTS " + connection.quoted(table + "_geom") + " ON " + name +
                   " USING GIST (geom)");
    const std::vector<Row> id = connection.run(
        "INSERT INTO " + name + " (" + columns + "geom) VALUES (" + placeholders + point + ") RETURNING id", values);
    transaction.commit();
    return std::stoll(id.at(0).at(0).value_or("0"));
}

}  // namespace waypost::agency
