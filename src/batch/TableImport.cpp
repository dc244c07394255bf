#include "batch/TableImport.h"
#include "batch/ImportTargets.h"

#include "database/Database.h"
#include "platform/FileWriting.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <charconv>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>


namespace waypost::batch {

namespace {

struct DatasetCloser {
    void operator()(GDALDataset* dataset) const { GDALClose(dataset); }
};
using Dataset = std::unique_ptr<GDALDataset, DatasetCloser>;

QString gdalReason() {
    const QString message = QString::fromUtf8(CPLGetLastErrorMsg());
    return message.isEmpty() ? QStringLiteral("GDAL cannot read it") : message;
}

Dataset openVector(const QString& path, const QString& openName, const char* const* options = nullptr) {
    GDALAllRegister();
    CPLErrorReset();
    Dataset dataset(GDALDataset::Open(openName.toUtf8().constData(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr,
                                      options, nullptr));
    if (!dataset) throw ImportError(path, gdalReason());
    return dataset;
}

}  // namespace

QString targetFor(const QString& base) { return uniqueTarget(base + QStringLiteral(".sqlite")); }

void buildDatabase(const QString& target, const QString& source,
                   const std::function<void(database::Database&)>& fill) {
    removeLeftovers(QFileInfo(target).absolutePath(), QStringLiteral("importing"));
    const QString temporary = temporaryNameBeside(target, QStringLiteral("importing"));
    try {
        {
            database::Database db(temporary.toStdString(), database::Database::Mode::Create);
            db.execute("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; PRAGMA cache_size = -16000");
            database::Transaction transaction(db);
            fill(db);
            transaction.commit();
        }
        if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) != 0)
            throw ImportError(target, QStringLiteral("the database cannot be put in place"));
    } catch (const database::DatabaseError& failure) {
        QFile::remove(temporary);
        throw ImportError(source, QString::fromStdString(failure.reason()));
    } catch (...) {
        QFile::remove(temporary);
        throw;
    }
}

namespace {

/// What a column's texts allow it to be stored as, so that every value reads
/// back as the text it had in the source.
class ColumnTyping {
public:
    ColumnTyping(database::Database& db, int columns)
        : m_realText(db.prepare("SELECT CAST(CAST(?1 AS REAL) AS TEXT)")), m_integer(columns, true),
          m_real(columns, true), m_seen(columns, false) {}

    void see(int column, std::string_view text) {
        const auto c = static_cast<std::size_t>(column);
        m_seen[c] = true;
        if (m_integer[c]) m_integer[c] = integerRoundTrips(text);
        if (m_real[c] && !m_integer[c]) m_real[c] = realRoundTrips(text);
    }

    /// INTEGER or REAL when every value of the column comes back as its text, TEXT otherwise.
    const char* declared(int column) const {
        const auto c = static_cast<std::size_t>(column);
        if (!m_seen[c]) return "TEXT";
        if (m_integer[c]) return "INTEGER";
        return m_real[c] ? "REAL" : "TEXT";
    }

private:
    // "-12" but not "012", "+12", "1.0" or a number past 64 bits.
    static bool integerRoundTrips(std::string_view text) {
        std::string_view digits = text;
        if (!digits.empty() && digits.front() == '-') digits.remove_prefix(1);
        if (digits.empty() || digits.size() > 19 || (digits.front() == '0' && (digits.size() > 1 || text != digits)))
            return false;
        for (const char c : digits)
            if (c < '0' || c > '9') return false;
        std::int64_t value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        return error == std::errc() && end == text.data() + text.size();
    }

    // SQLite itself says how a stored REAL reads back.
    bool realRoundTrips(std::string_view text) {
        m_realText.reset();
        m_realText.bind(1, text);
        return m_realText.step() && m_realText.columnText(0) == text;
    }

    database::Statement m_realText;
    std::vector<bool> m_integer, m_real, m_seen;
};

/// Copies every record of \p layer into a new table \p table. Cells are read
/// as the source's text; a first pass decides which columns can hold numbers
/// without changing a value, the second writes the rows.
void copyLayer(OGRLayer& layer, database::Database& db, const QString& table, const QString& source,
               ImportCounter* rows) {
    OGRFeatureDefn& definition = *layer.GetLayerDefn();
    const int count = definition.GetFieldCount();
    if (count == 0) throw ImportError(source, QStringLiteral("it has no fields"));
    const auto isDate = [&](int i) { return definition.GetFieldDefn(i)->GetType() == OFTDate; };

    ColumnTyping typing(db, count);
    layer.ResetReading();
    for (auto& feature : layer)
        for (int i = 0; i < count; ++i)
            if (!isDate(i) && feature->IsFieldSetAndNotNull(i)) typing.see(i, feature->GetFieldAsString(i));

    QStringList columns, marks;
    for (int i = 0; i < count; ++i) {
        columns << QString::fromStdString(database::quoteIdentifier(definition.GetFieldDefn(i)->GetNameRef())) + u' ' +
                       QLatin1String(isDate(i) ? "DATE" : typing.declared(i));
        marks << QStringLiteral("?");
    }
    const std::string name = database::quoteIdentifier(table.toStdString());
    db.execute("CREATE TABLE " + name + " (" + columns.join(QStringLiteral(", ")).toStdString() + ")");
    database::Statement insert =
        db.prepare("INSERT INTO " + name + " VALUES (" + marks.join(u',').toStdString() + ")");
    layer.ResetReading();
    for (auto& feature : layer) {
        insert.reset();
        for (int i = 0; i < count; ++i) {
            const int position = i + 1;
            if (!feature->IsFieldSetAndNotNull(i)) {
                insert.bindNull(position);
            } else if (isDate(i)) {
                int y = 0, m = 0, d = 0, hh = 0, mm = 0, tz = 0;
                float ss = 0;
                feature->GetFieldAsDateTime(i, &y, &m, &d, &hh, &mm, &ss, &tz);
                insert.bind(position, QStringLiteral("%1-%2-%3").arg(y, 4, 10, QLatin1Char('0')).arg(m, 2, 10, QLatin1Char('0'))
                                          .arg(d, 2, 10, QLatin1Char('0')).toStdString());
            } else {
                // The column's affinity stores a number exactly as the first pass proved it reads back.
                insert.bind(position, std::string_view(feature->GetFieldAsString(i)));
            }
        }
        insert.run();
        if (rows) ++*rows;
    }
}

OGRLayer& onlyLayer(GDALDataset& dataset, const QString& source) {
    OGRLayer* layer = dataset.GetLayerCount() > 0 ? dataset.GetLayer(0) : nullptr;
    if (!layer) throw ImportError(source, QStringLiteral("it holds no table"));
    return *layer;
}

}  // namespace

ImportError::ImportError(const QString& file, const QString& reason)
    : std::runtime_error((file + QStringLiteral(": ") + reason).toStdString()), m_file(file), m_reason(reason) {}

QString uniqueTarget(const QString& path) {
    if (!QFileInfo::exists(path)) return path;
    const QFileInfo info(path);
    const QString stem = info.absoluteDir().filePath(info.completeBaseName());
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    for (int n = 1;; ++n) {
        const QString candidate = stem + QString::number(n) + suffix;
        if (!QFileInfo::exists(candidate)) return candidate;
    }
}

QString dbfTextLine(const QStringList& values, const std::vector<bool>& nulls) {
    QStringList items;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i < static_cast<qsizetype>(nulls.size()) && nulls[static_cast<std::size_t>(i)]) {
            items << QString();
            continue;
        }
        QString v = values[i];
        while (!v.isEmpty() && v.back() == u' ') v.chop(1);
        items << v;
    }
    return items.join(u',');
}

QString importDbf(const QString& dbfPath, ImportCounter* rows) {
    Dataset dataset = openVector(dbfPath, dbfPath);
    OGRLayer& layer = onlyLayer(*dataset, dbfPath);
    const QString base = dbfPath.left(dbfPath.size() - 4);

    // The text copy beside the source: field names, then one line a record,
    // written as it is read and put in place when complete.
    OGRFeatureDefn& definition = *layer.GetLayerDefn();
    QStringList names;
    for (int i = 0; i < definition.GetFieldCount(); ++i) names << QString::fromUtf8(definition.GetFieldDefn(i)->GetNameRef());
    const QString textPath = base + QStringLiteral(".txt");
    QSaveFile text(textPath);
    if (!text.open(QIODevice::WriteOnly)) throw ImportError(textPath, text.errorString());
    const auto put = [&](const QString& line) {
        const QByteArray bytes = (line + QStringLiteral("\r\n")).toUtf8();
        if (text.write(bytes) != bytes.size()) throw ImportError(textPath, text.errorString());
    };
    put(names.join(u','));
    layer.ResetReading();
    for (auto& feature : layer) {
        QStringList values;
        std::vector<bool> nulls;
        for (int i = 0; i < definition.GetFieldCount(); ++i) {
            nulls.push_back(!feature->IsFieldSetAndNotNull(i));
            values << QString::fromUtf8(feature->GetFieldAsString(i));
        }
        put(dbfTextLine(values, nulls));
    }
    if (!text.commit()) throw ImportError(textPath, text.errorString());

    const QString target = targetFor(base + u'd');
    buildDatabase(target, dbfPath, [&](database::Database& db) { copyLayer(layer, db, QStringLiteral("COORD"), dbfPath, rows); });
    return target;
}

namespace {

/// A text file whose first line holds no separator is one column; GDAL's
/// reader wants a separator, so such a file is read here, a line at a time.
bool isSingleColumn(const QString& textPath) {
    QFile file(textPath);
    if (!file.open(QIODevice::ReadOnly)) throw ImportError(textPath, file.errorString());
    const QByteArray first = file.readLine();
    if (first.trimmed().isEmpty()) throw ImportError(textPath, QStringLiteral("its first line names no field"));
    for (const char separator : {',', ';', '\t', '|'})
        if (first.contains(separator)) return false;  // GDAL reads it
    return true;
}

/// Calls \p line for every line of \p textPath after the first (without its
/// line end; trailing empty lines left out), and returns the first.
QString eachLine(const QString& textPath, const std::function<void(const QString&)>& line) {
    QFile file(textPath);
    if (!file.open(QIODevice::ReadOnly)) throw ImportError(textPath, file.errorString());
    const auto next = [&] {
        QByteArray bytes = file.readLine();
        while (bytes.endsWith('\n') || bytes.endsWith('\r')) bytes.chop(1);
        return QString::fromUtf8(bytes);
    };
    const QString header = next();
    qint64 pendingEmpty = 0;  // empty lines count only when a value follows
    while (!file.atEnd()) {
        const QString text = next();
        if (text.isEmpty()) {
            ++pendingEmpty;
            continue;
        }
        for (; pendingEmpty > 0; --pendingEmpty) line(QString());
        line(text);
    }
    return header;
}

void copyLines(const QString& textPath, database::Database& db, const QString& table, ImportCounter* rows) {
    ColumnTyping typing(db, 1);
    const QString header = eachLine(textPath, [&](const QString& text) {
        if (!text.isEmpty()) typing.see(0, text.toStdString());
    });
    const std::string name = database::quoteIdentifier(table.toStdString());
    db.execute("CREATE TABLE " + name + " (" + database::quoteIdentifier(header.trimmed().toStdString()) + " " +
               typing.declared(0) + ")");
    database::Statement insert = db.prepare("INSERT INTO " + name + " VALUES (?)");
    eachLine(textPath, [&](const QString& text) {
        insert.reset();
        if (text.isEmpty()) insert.bindNull(1);
        else insert.bind(1, text.toStdString());
        insert.run();
        if (rows) ++*rows;
    });
}

}  // namespace

QString importText(const QString& textPath, ImportCounter* rows) {
    if (isSingleColumn(textPath)) {
        const QString target = targetFor(textPath.left(textPath.size() - 4));
        buildDatabase(target, textPath, [&](database::Database& db) { copyLines(textPath, db, QStringLiteral("COORD"), rows); });
        return target;
    }
    // Every cell as its text: the import decides what may be a number.
    const char* const options[] = {"HEADERS=YES", "EMPTY_STRING_AS_NULL=YES", nullptr};
    Dataset dataset = openVector(textPath, QStringLiteral("CSV:") + textPath, options);
    OGRLayer& layer = onlyLayer(*dataset, textPath);
    const QString target = targetFor(textPath.left(textPath.size() - 4));
    buildDatabase(target, textPath, [&](database::Database& db) { copyLayer(layer, db, QStringLiteral("COORD"), textPath, rows); });
    return target;
}

QStringList sheetNames(const QString& workbookPath) {
    Dataset dataset = openVector(workbookPath, workbookPath);
    QStringList names;
    for (int i = 0; i < dataset->GetLayerCount(); ++i) names << QString::fromUtf8(dataset->GetLayer(i)->GetName());
    if (names.isEmpty()) throw ImportError(workbookPath, QStringLiteral("it holds no worksheet"));
    return names;
}

QString importSheet(const QString& workbookPath, const QString& sheet, ImportCounter* rows) {
    // The first row names the fields. The spreadsheet drivers read this
    // setting when they read the sheet, so it holds for the whole import.
    struct FirstRowNamesFields {
        FirstRowNamesFields() {
            for (const char* key : {"OGR_XLS_HEADERS", "OGR_XLSX_HEADERS", "OGR_ODS_HEADERS"})
                CPLSetThreadLocalConfigOption(key, "FORCE");
            // Cells as their text: the import decides what may be a number.
            for (const char* key : {"OGR_XLS_FIELD_TYPES", "OGR_XLSX_FIELD_TYPES", "OGR_ODS_FIELD_TYPES"})
                CPLSetThreadLocalConfigOption(key, "STRING");
        }
        ~FirstRowNamesFields() {
            for (const char* key : {"OGR_XLS_HEADERS", "OGR_XLSX_HEADERS", "OGR_ODS_HEADERS", "OGR_XLS_FIELD_TYPES",
                                    "OGR_XLSX_FIELD_TYPES", "OGR_ODS_FIELD_TYPES"})
                CPLSetThreadLocalConfigOption(key, nullptr);
        }
    } headers;
    Dataset dataset = openVector(workbookPath, workbookPath);
    OGRLayer* layer = dataset->GetLayerByName(sheet.toUtf8().constData());
    if (!layer) throw ImportError(workbookPath, QStringLiteral("it has no worksheet \"%1\"").arg(sheet));
    const QFileInfo info(workbookPath);
    const QString target = targetFor(info.absoluteDir().filePath(info.completeBaseName() + u'x'));
    buildDatabase(target, workbookPath, [&](database::Database& db) { copyLayer(*layer, db, QStringLiteral("tblExcel"), workbookPath, rows); });
    return target;
}

QStringList databaseTables(const QString& databasePath) {
    try {
        // Opened for writing: a run interrupted earlier is rolled back first.
        database::Database db(databasePath.toStdString(), database::Database::Mode::ReadWrite);
        QStringList tables;
        for (const std::string& name : db.userTables()) tables << QString::fromStdString(name);
        return tables;
    } catch (const database::DatabaseError& failure) {
        throw ImportError(databasePath, QString::fromStdString(failure.reason()));
    }
}

QStringList tableColumns(const QString& databasePath, const QString& table) {
    try {
        database::Database db(databasePath.toStdString(), database::Database::Mode::ReadOnly);
        QStringList columns;
        for (const database::ColumnInfo& column : db.tableColumns(table.toStdString()))
            columns << QString::fromStdString(column.name);
        return columns;
    } catch (const database::DatabaseError& failure) {
        throw ImportError(databasePath, QString::fromStdString(failure.reason()));
    }
}

}  // namespace waypost::batch
