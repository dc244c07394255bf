#pragma once
// A shapefile read back through GDAL, as another program would read it.

#include <QMap>
#include <QString>
#include <QStringList>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <vector>

namespace waypost::test {

struct ShapeRecord {
    QMap<QString, QString> values;  ///< every field as GDAL's text of it
    std::vector<std::pair<double, double>> vertices;
};

struct ShapefileContent {
    OGRwkbGeometryType type = wkbUnknown;
    QStringList schema;  ///< "Name:text:45", "Lat:double:0", ... (width in bytes as the .dbf holds it)
    std::vector<ShapeRecord> records;
};

inline ShapefileContent readShapefile(const QString& path) {
    GDALAllRegister();
    ShapefileContent content;
    GDALDatasetUniquePtr ds(GDALDataset::Open(path.toUtf8().constData(), GDAL_OF_VECTOR));
    if (!ds || ds->GetLayerCount() < 1) return content;
    OGRLayer* layer = ds->GetLayer(0);
    content.type = wkbFlatten(layer->GetGeomType());
    OGRFeatureDefn* defn = layer->GetLayerDefn();
    for (int i = 0; i < defn->GetFieldCount(); ++i) {
        const OGRFieldDefn* f = defn->GetFieldDefn(i);
        const char* type = f->GetType() == OFTString ? "text" : f->GetType() == OFTReal ? "double" : f->GetType() == OFTDate ? "date" : "other";
        content.schema << QStringLiteral("%1:%2:%3").arg(QString::fromUtf8(f->GetNameRef()), QLatin1String(type))
                              .arg(f->GetType() == OFTString ? f->GetWidth() : 0);
    }
    for (auto& feature : *layer) {
        ShapeRecord record;
        for (int i = 0; i < defn->GetFieldCount(); ++i)
            record.values.insert(QString::fromUtf8(defn->GetFieldDefn(i)->GetNameRef()),
                                 QString::fromUtf8(feature->GetFieldAsString(i)));
        if (const OGRGeometry* g = feature->GetGeometryRef()) {
            if (const auto* p = dynamic_cast<const OGRPoint*>(g)) record.vertices.emplace_back(p->getX(), p->getY());
            else if (const auto* line = dynamic_cast<const OGRSimpleCurve*>(g))
                for (const OGRPoint& p : *line) record.vertices.emplace_back(p.getX(), p.getY());
            else if (const auto* polygon = dynamic_cast<const OGRPolygon*>(g); polygon && polygon->getExteriorRing())
                for (const OGRPoint& p : *polygon->getExteriorRing()) record.vertices.emplace_back(p.getX(), p.getY());
            else if (const auto* many = dynamic_cast<const OGRMultiPoint*>(g))
                for (const OGRPoint* p : *many) record.vertices.emplace_back(p->getX(), p->getY());
        }
        content.records.push_back(std::move(record));
    }
    return content;
}

}  // namespace waypost::test
