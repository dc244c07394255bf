#pragma once
// A feature's fields described once: how its record file and its point
// shapefile name, type and size each value. The generic writing steps work
// from this table and one row of values in the same order.

#include "output/RecordFile.h"
#include "output/ShapefileWriter.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace waypost {

/// One field. An empty record or shapefile name leaves the field out of that output.
struct FieldSpec {
    QString recordName;                  ///< header name in the record file
    QString shapeName;                   ///< attribute name in the shapefile
    ShapefileWriter::FieldType type = ShapefileWriter::Text;
    int width = 0;                       ///< 0: the type's usual width
    int decimals = 0;
};
using FieldTable = std::vector<FieldSpec>;
/// One value per field of the table, in its order: strings and numbers.
using FieldRow = std::vector<RecordValue>;

/// The record file's header names.
QStringList recordHeader(const FieldTable& table);
/// The values of \p row that go into the record file.
std::vector<RecordValue> recordValues(const FieldTable& table, const FieldRow& row);

/// Writes \p row as one point at (\p x, \p y): a new shapefile with the
/// table's fields (Create) or one more record of an existing one (Append).
/// Throws ShapefileError; the earlier set is then as it was. \return the text
/// values that had to be shortened to their fields' widths.
std::vector<ShapefileWriter::Shortened> writePointShape(const QString& path, ShapefileWriter::OpenMode mode,
                                                        const FieldTable& table, const FieldRow& row, double x,
                                                        double y);

/// What to tell the user of \p shortened values (empty when there are none).
QString shortenedMessage(const std::vector<ShapefileWriter::Shortened>& shortened);

}  // namespace waypost
