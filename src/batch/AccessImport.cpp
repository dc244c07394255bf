// Every table of an Access database (.mdb, .accdb) copied into SQLite through
// mdbtools' libmdb, read-only.

#include "batch/ImportTargets.h"
#include "batch/TableImport.h"

#include <mdbtools.h>

#include <QDir>
#include <QFileInfo>

#include <cstdlib>
#include <memory>
#include <vector>

namespace waypost::batch {
namespace {

constexpr std::size_t kBindSize = 1 << 20;  // whole memo texts

struct HandleCloser {
    void operator()(MdbHandle* mdb) const { mdb_close(mdb); }
};
struct TableFreer {
    void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};

/// The column's Access type as the batch windows read it back.
QString accessType(const MdbColumn& column, bool jet3) {
    switch (column.col_type) {
    case MDB_BOOL: return QStringLiteral("Boolean");
    case MDB_BYTE: return QStringLiteral("Byte");
    case MDB_INT: return QStringLiteral("Integer");
    case MDB_LONGINT: return QStringLiteral("Long Integer");
    case MDB_MONEY: return QStringLiteral("Currency");
    case MDB_FLOAT: return QStringLiteral("Single");
    case MDB_DOUBLE: return QStringLiteral("Double");
    case MDB_DATETIME: return QStringLiteral("DateTime");
    case MDB_TEXT: return QStringLiteral("Text(%1)").arg(jet3 ? column.col_size : column.col_size / 2);
    case MDB_MEMO: return QStringLiteral("Memo");
    case MDB_NUMERIC: return QStringLiteral("Numeric(%1,%2)").arg(column.col_scale).arg(column.col_prec);  // as mdb-schema writes it
    case MDB_REPID: return QStringLiteral("Replication ID");
    case MDB_OLE: return QStringLiteral("OLE");
    default: return QStringLiteral("Binary");
    }
}

void copyTable(MdbCatalogEntry* entry, database::Database& db, bool jet3) {
    std::unique_ptr<MdbTableDef, TableFreer> table(mdb_read_table(entry));
    if (!table) throw ImportError(QString::fromUtf8(entry->object_name), QStringLiteral("the table cannot be read"));
    mdb_read_columns(table.get());
    mdb_rewind_table(table.get());
    const unsigned count = table->num_cols;
    std::vector<std::vector<char>> values(count, std::vector<char>(kBindSize));
    std::vector<int> lengths(count, 0);
    std::vector<const MdbColumn*> columns;
    QStringList definitions, marks;
    for (unsigned i = 0; i < count; ++i) {
        const auto* column = static_cast<const MdbColumn*>(g_ptr_array_index(table->columns, i));
        columns.push_back(column);
        definitions << QString::fromStdString(database::quoteIdentifier(column->name)) + u' ' + accessType(*column, jet3);
        marks << QStringLiteral("?");
        mdb_bind_column(table.get(), static_cast<int>(i + 1), values[i].data(), &lengths[i]);
    }
    const std::string name = database::quoteIdentifier(entry->object_name);
    db.execute("CREATE TABLE " + name + " (" + definitions.join(QStringLiteral(", ")).toStdString() + ")");
    if (count == 0) return;
    database::Statement insert = db.prepare("INSERT INTO " + name + " VALUES (" + marks.join(u',').toStdString() + ")");
    while (mdb_fetch_row(table.get())) {
        insert.reset();
        for (unsigned i = 0; i < count; ++i) {
            const int position = static_cast<int>(i + 1);
            const int type = columns[i]->col_type;
            // A null comes back empty; Boolean columns always carry a value.
            if (lengths[i] == 0 && type != MDB_BOOL) {
                insert.bindNull(position);
                continue;
            }
            const std::string_view text(values[i].data(), static_cast<std::size_t>(lengths[i]));
            switch (type) {
            case MDB_BOOL:
            case MDB_BYTE:
            case MDB_INT:
            case MDB_LONGINT: insert.bind(position, static_cast<std::int64_t>(std::strtoll(values[i].data(), nullptr, 10))); break;
            case MDB_FLOAT:
            case MDB_DOUBLE:
            case MDB_MONEY: insert.bind(position, std::strtod(values[i].data(), nullptr)); break;
            case MDB_OLE:
            case MDB_BINARY: insert.bindNull(position); break;  // pictures and blobs are not table data here
            default: insert.bind(position, text); break;        // text, memo, date, numeric (kept exact as text)
            }
        }
        insert.run();
    }
}

}  // namespace

QString importAccess(const QString& accessPath) {
    if (!QFileInfo::exists(accessPath)) throw ImportError(accessPath, QStringLiteral("the file does not exist"));
    std::unique_ptr<MdbHandle, HandleCloser> mdb(mdb_open(accessPath.toUtf8().constData(), MDB_NOFLAGS));
    if (!mdb) throw ImportError(accessPath, QStringLiteral("it is not an Access database mdbtools can read"));
    mdb_set_bind_size(mdb.get(), kBindSize);
    mdb_set_date_fmt(mdb.get(), "%Y-%m-%d %H:%M:%S");
    mdb_set_boolean_fmt_numbers(mdb.get());
    if (!mdb_read_catalog(mdb.get(), MDB_TABLE))
        throw ImportError(accessPath, QStringLiteral("its list of tables cannot be read"));
    const bool jet3 = mdb->f->jet_version == MDB_VER_JET3;
    const QFileInfo info(accessPath);
    const QString target = targetFor(info.absoluteDir().filePath(info.completeBaseName()));
    buildDatabase(target, accessPath, [&](database::Database& db) {
        for (unsigned i = 0; i < mdb->num_catalog; ++i) {
            auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
            if (entry->object_type != MDB_TABLE || mdb_is_system_table(entry)) continue;
            copyTable(entry, db, jet3);
        }
    });
    return target;
}

}  // namespace waypost::batch
