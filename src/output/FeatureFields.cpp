#include "output/FeatureFields.h"

#include "numbers/Numbers.h"

#include <stdexcept>

namespace waypost {


QStringList recordHeader(const FieldTable& table) {
    QStringList names;
    for (const FieldSpec& f : table)
        if (!f.recordName.isEmpty()) names << f.recordName;
    return names;
}

std::vector<RecordValue> recordValues(const FieldTable& table, const FieldRow& row) {
    if (row.size() != table.size()) throw std::invalid_argument("a feature row must hold one value per field");
    std::vector<RecordValue> values;
    for (std::size_t i = 0; i < table.size(); ++i)
        if (!table[i].recordName.isEmpty()) values.push_back(row[i]);
    return values;
}

std::vector<ShapefileWriter::Shortened> writePointShape(const QString& path, ShapefileWriter::OpenMode mode,
                                                        const FieldTable& table, const FieldRow& row, double x,
                                                        double y) {
    if (row.size() != table.size()) throw std::invalid_argument("a feature row must hold one value per field");
    ShapefileWriter writer;
    writer.OpenShapefile(path, mode, ShapefileWriter::Point);
    if (mode == ShapefileWriter::OpenMode::Create) {
        for (const FieldSpec& f : table)
            if (!f.shapeName.isEmpty()) writer.AddField(f.shapeName, f.type, f.width, f.decimals);
        writer.CommitFields();
    }
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].shapeName.isEmpty()) continue;
        std::visit([&](const auto& value) { writer.SetFieldValue(table[i].shapeName, value); }, row[i]);
    }
    writer.AddVertex(x, y);
    writer.WriteShape();
    writer.CloseShapefile();
    return writer.shortened();
}

QString shortenedMessage(const std::vector<ShapefileWriter::Shortened>& shortened) {
    if (shortened.empty()) return {};
    QStringList lines;
    for (const ShapefileWriter::Shortened& s : shortened)
        lines << QStringLiteral("%1 (%2 bytes): \"%3\"").arg(s.field).arg(s.width).arg(s.written);
    return QStringLiteral("The shapefile's fields keep their widths, so these values were shortened:\n%1\n"
                          "The record file and the KML keep the full text.")
        .arg(lines.join(u'\n'));
}

}  // namespace waypost
