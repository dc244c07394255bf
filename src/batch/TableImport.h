#pragma once
// Copying a table into a SQLite database the batch windows work on: a dBase
// file, a delimited text file, one worksheet of a workbook, or every table of
// an Access database. Each target is built under a temporary name beside the
// source and renamed into place only when complete.

#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <stdexcept>

namespace waypost::batch {

/// A failed import or listing: the file and the reason.
class ImportError : public std::runtime_error {
public:
    ImportError(const QString& file, const QString& reason);
    const QString& file() const { return m_file; }
    const QString& reason() const { return m_reason; }

private:
    QString m_file;
    QString m_reason;
};

/// Records copied so far by an import, for a window to show.
using ImportCounter = std::atomic<std::int64_t>;

/// \p path itself when no such file exists, otherwise the first of the same
/// name with 1, 2, 3 ... put before the extension (a.sqlite, a1.sqlite, a2.sqlite).
QString uniqueTarget(const QString& path);

/// One line of the text file a dBase import leaves beside its source: the
/// values with trailing blanks removed, joined by commas, a null as nothing.
QString dbfTextLine(const QStringList& values, const std::vector<bool>& nulls);

/// The dBase file \p dbfPath (x.dbf) into table COORD of a new database
/// (xd.sqlite, made unique); the text file x.txt is written beside it.
/// \return the database written. \throws ImportError.
QString importDbf(const QString& dbfPath, ImportCounter* rows = nullptr);

/// A delimited text file (a.csv, b.txt; commas or tabs; the first line names
/// the fields; types detected from the values) into table COORD of a new
/// database (a.sqlite, made unique). \return the database written. \throws ImportError.
QString importText(const QString& textPath, ImportCounter* rows = nullptr);

/// The worksheet names of a workbook (.xls, .xlsx, .ods), in order. \throws ImportError.
QStringList sheetNames(const QString& workbookPath);

/// Worksheet \p sheet of \p workbookPath into table tblExcel of a new
/// database (the workbook's name with "x" and the extension .sqlite, made
/// unique). \return the database written. \throws ImportError.
QString importSheet(const QString& workbookPath, const QString& sheet, ImportCounter* rows = nullptr);

/// Every table of an Access database (.mdb, .accdb) into a new SQLite database
/// beside it (made unique), tables and columns in their order, each column
/// declared with its Access type ("Text(50)", "Long Integer", "Double",
/// "DateTime", "Boolean", "Memo" ...), nulls kept. \return the database written.
/// \throws ImportError.
QString importAccess(const QString& accessPath);

/// The user tables of a database, and the columns of one of them. \throws ImportError.
QStringList databaseTables(const QString& databasePath);
QStringList tableColumns(const QString& databasePath, const QString& table);

}  // namespace waypost::batch
