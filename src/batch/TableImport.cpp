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
#include <QUuid>

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
    const QFileInfo info(target);
    const QString temporary = info.absoluteDir().filePath(
        QStringLiteral(".%1.%2.importing").arg(info.fileName(), QUuid::createUuid().toString(QUuid::Id128)));
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

QString declaredType(OGRFieldType type) {
    switch (type) {
    case OFTInteger:
    case OFTInteger64: return QStringLiteral("INTEGER");
    case OFTReal: return QStringLiteral("REAL");
    case OFTDate: return QStringLiteral("DATE");
    case OFTDateTime: return QStringLiteral("DATETIME");
    case OFTTime: return QStringLiteral("TIME");
    default: return QStringLiteral("TEXT");
    }
}

/// Copies every record of \p layer into a new table \p table.
void copyLayer(OGRLayer& layer, database::Database& db, const QString& table, const QString& source) {
    OGRFeatureDefn& definition = *layer.GetLayerDefn();
    const int count = definition.GetFieldCount();
    if (count == 0) throw ImportError(source, QStringLiteral("it has no fields"));
    QStringList columns, marks;
    for (int i = 0; i < count; ++i) {
        const OGRFieldDefn& field = *definition.GetFieldDefn(i);
        columns << QString::fromStdString(database::quoteIdentifier(field.GetNameRef())) + u' ' +
                       declaredType(field.GetType());
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
                continue;
            }
            switch (definition.GetFieldDefn(i)->GetType()) {
            case OFTInteger:
            case OFTInteger64: insert.bind(position, static_cast<std::int64_t>(feature->GetFieldAsInteger64(i))); break;
            case OFTReal: insert.bind(position, feature->GetFieldAsDouble(i)); break;
            case OFTDate: {
                int y = 0, m = 0, d = 0, hh = 0, mm = 0, tz = 0;
                float ss = 0;
                feature->GetFieldAsDateTime(i, &y, &m, &d, &hh, &mm, &ss, &tz);
                insert.bind(position, QStringLiteral("%1-%2-%3").arg(y, 4, 10, QLatin1Char('0')).arg(m, 2, 10, QLatin1Char('0'))
                                          .arg(d, 2, 10, QLatin1Char('0')).toStdString());
                break;
            }
            default: insert.bind(position, std::string_view(feature->GetFieldAsString(i))); break;
            }
        }
        insert.run();
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

QString importDbf(const QString& dbfPath) {
    Dataset dataset = openVector(dbfPath, dbfPath);
    OGRLayer& layer = onlyLayer(*dataset, dbfPath);
    const QString base = dbfPath.left(dbfPath.size() - 4);

    // The text copy beside the source: field names, then one line a record.
    OGRFeatureDefn& definition = *layer.GetLayerDefn();
    QStringList names;
    for (int i = 0; i < definition.GetFieldCount(); ++i) names << QString::fromUtf8(definition.GetFieldDefn(i)->GetNameRef());
    QString text = names.join(u',') + QStringLiteral("\r\n");
    layer.ResetReading();
    for (auto& feature : layer) {
        QStringList values;
        std::vector<bool> nulls;
        for (int i = 0; i < definition.GetFieldCount(); ++i) {
            nulls.push_back(!feature->IsFieldSetAndNotNull(i));
            values << QString::fromUtf8(feature->GetFieldAsString(i));
        }
        text += dbfTextLine(values, nulls) + QStringLiteral("\r\n");
    }
    const WriteResult written = writeFileAtomically(base + QStringLiteral(".txt"), text.toUtf8());
    if (!written) throw ImportError(base + QStringLiteral(".txt"), written.message());

    const QString target = targetFor(base + u'd');
    buildDatabase(target, dbfPath, [&](database::Database& db) { copyLayer(layer, db, QStringLiteral("COORD"), dbfPath); });
    return target;
}

namespace {

/// A text file whose first line holds no separator is one column; GDAL's
/// reader wants a separator, so such a file is read here.
std::optional<QStringList> singleColumnLines(const QString& textPath) {
    QFile file(textPath);
    if (!file.open(QIODevice::ReadOnly)) throw ImportError(textPath, file.errorString());
    const QByteArray first = file.readLine();
    if (first.trimmed().isEmpty()) throw ImportError(textPath, QStringLiteral("its first line names no field"));
    for (const char separator : {',', ';', '\t', '|'})
        if (first.contains(separator)) return std::nullopt;  // GDAL reads it
    file.seek(0);
    QStringList lines = QString::fromUtf8(file.readAll()).split(QRegularExpression(QStringLiteral("\\r?\\n")));
    while (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    return lines;
}

void copyLines(const QStringList& lines, database::Database& db, const QString& table) {
    bool whole = true, numbers = true;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].isEmpty()) continue;
        bool ok = false;
        lines[i].toLongLong(&ok);
        whole = whole && ok;
        lines[i].toDouble(&ok);
        numbers = numbers && ok;
    }
    const QString type = lines.size() > 1 && whole ? QStringLiteral("INTEGER")
                         : lines.size() > 1 && numbers ? QStringLiteral("REAL") : QStringLiteral("TEXT");
    const std::string name = database::quoteIdentifier(table.toStdString());
    db.execute("CREATE TABLE " + name + " (" + database::quoteIdentifier(lines.front().trimmed().toStdString()) + " " +
               type.toStdString() + ")");
    database::Statement insert = db.prepare("INSERT INTO " + name + " VALUES (?)");
    for (qsizetype i = 1; i < lines.size(); ++i) {
        insert.reset();
        if (lines[i].isEmpty()) insert.bindNull(1);
        else if (type == QLatin1String("INTEGER")) insert.bind(1, static_cast<std::int64_t>(lines[i].toLongLong()));
        else if (type == QLatin1String("REAL")) insert.bind(1, lines[i].toDouble());
        else insert.bind(1, lines[i].toStdString());
        insert.run();
    }
}

}  // namespace

QString importText(const QString& textPath) {
    if (const std::optional<QStringList> lines = singleColumnLines(textPath)) {
        const QString target = targetFor(textPath.left(textPath.size() - 4));
        buildDatabase(target, textPath, [&](database::Database& db) { copyLines(*lines, db, QStringLiteral("COORD")); });
        return target;
    }
    const char* const options[] = {"AUTODETECT_TYPE=YES", "HEADERS=YES", "EMPTY_STRING_AS_NULL=YES", nullptr};
    Dataset dataset = openVector(textPath, QStringLiteral("CSV:") + textPath, options);
    OGRLayer& layer = onlyLayer(*dataset, textPath);
    const QString target = targetFor(textPath.left(textPath.size() - 4));
    buildDatabase(target, textPath, [&](database::Database& db) { copyLayer(layer, db, QStringLiteral("COORD"), textPath); });
    return target;
}

QStringList sheetNames(const QString& workbookPath) {
    Dataset dataset = openVector(workbookPath, workbookPath);
    QStringList names;
    for (int i = 0; i < dataset->GetLayerCount(); ++i) names << QString::fromUtf8(dataset->GetLayer(i)->GetName());
    if (names.isEmpty()) throw ImportError(workbookPath, QStringLiteral("it holds no worksheet"));
    return names;
}

QString importSheet(const QString& workbookPath, const QString& sheet) {
    // The first row names the fields. The spreadsheet drivers read this
    // setting when they read the sheet, so it holds for the whole import.
    struct FirstRowNamesFields {
        FirstRowNamesFields() {
            for (const char* key : {"OGR_XLS_HEADERS", "OGR_XLSX_HEADERS", "OGR_ODS_HEADERS"})
                CPLSetThreadLocalConfigOption(key, "FORCE");
        }
        ~FirstRowNamesFields() {
            for (const char* key : {"OGR_XLS_HEADERS", "OGR_XLSX_HEADERS", "OGR_ODS_HEADERS"})
                CPLSetThreadLocalConfigOption(key, nullptr);
        }
    } headers;
    Dataset dataset = openVector(workbookPath, workbookPath);
    OGRLayer* layer = dataset->GetLayerByName(sheet.toUtf8().constData());
    if (!layer) throw ImportError(workbookPath, QStringLiteral("it has no worksheet \"%1\"").arg(sheet));
    const QFileInfo info(workbookPath);
    const QString target = targetFor(info.absoluteDir().filePath(info.completeBaseName() + u'x'));
    buildDatabase(target, workbookPath, [&](database::Database& db) { copyLayer(*layer, db, QStringLiteral("tblExcel"), workbookPath); });
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
