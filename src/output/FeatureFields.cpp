#include "output/FeatureFields.h"

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

void writePointShape(const QString& path, ShapefileWriter::OpenMode mode, const FieldTable& table,
                     const FieldRow& row, double x, double y) {
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
}

}  // namespace waypost
