#pragma once
// Text record files of facilities, wildfires and hurricanes: comma-separated
// lines, strings in double quotes, numbers bare, CR LF at each line end.

#include "platform/FileWriting.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <variant>
#include <vector>

namespace waypost {

/// One value of a record line: a string (quoted) or a number (bare).
using RecordValue = std::variant<QString, double>;

/// A number as a record file writes it: the general decimal form without a
/// leading zero before the point (.5, -.25), no thousands separators.
QString recordNumber(double value);

/// One record line with its CR LF. A double quote inside a string is doubled,
/// so the value cannot break out of its quotes.
QByteArray recordLine(const std::vector<RecordValue>& values);

/// The header line of quoted field names with its CR LF.
QByteArray headerLine(const QStringList& fieldNames);

/// Writes a new record file holding the header and one record, replacing any
/// file of that name as a whole.
WriteResult createRecordFile(const QString& path, const QStringList& header, const std::vector<RecordValue>& record);

/// Appends one record to a record file whose first line is the header of
/// \p header; a missing (or empty) file is created without a header. Any other
/// file (a KML, a database, another window's records) is refused unchanged.
WriteResult appendRecord(const QString& path, const QStringList& header, const std::vector<RecordValue>& record);

/// A path split at its last "/": the folder (empty for a bare name) and the file name.
struct PathParts {
    QString folder;
    QString fileName;
};
PathParts splitPath(const QString& path);

/// The path a new output goes to: the chosen file name with \p prefix put in
/// front of it, in the chosen folder (".../sites.txt" with "pf" gives ".../pfsites.txt").
QString prefixedPath(const QString& chosenPath, const QString& prefix);

/// True when the file name ends in a dot and one to four letters or digits
/// ("sites.txt"; not "St. Marks").
bool hasFileExtension(const QString& path);

/// \p path with \p extension added when it has none ("camps" -> "camps.txt",
/// "St. Marks" -> "St. Marks.txt"). Shapefiles and KML always end in their own
/// extension ("camps.txt" chosen for a shapefile -> "camps.txt.shp").
QString withDefaultExtension(const QString& path, const QString& extension);

}  // namespace waypost
