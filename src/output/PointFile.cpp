#include "output/PointFile.h"

#include <cpl_error.h>
#include <cpl_string.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstdio>
#include <variant>

namespace waypost {
namespace {

struct Format {
    const char* driver;
    const char* extension;
};

std::optional<Format> formatOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("gpx")) return Format{"GPX", "gpx"};
    if (suffix == QLatin1String("geojson")) return Format{"GeoJSON", "geojson"};
    if (suffix == QLatin1String("gpkg")) return Format{"GPKG", "gpkg"};
    return std::nullopt;
}

/// A GPX extension element's name: letters, digits and underscores.
QString xmlName(const QString& name) {
    QString out = name;
    out.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_]")), QStringLiteral("_"));
    if (out.isEmpty() || !(out.front().isLetter() || out.front() == u'_')) out.prepend(u'_');
    return out;
}

std::optional<QDate> dateOf(const QString& text) {
    for (const char* form : {"MM-dd-yyyy", "M/d/yyyy", "yyyy-MM-dd", "MM-dd-yy"}) {
        const QDate date = QDate::fromString(text.trimmed(), QLatin1String(form));
        if (date.isValid()) return date;
    }
    return std::nullopt;
}

QString gdalMessage() {
    const QString message = QString::fromUtf8(CPLGetLastErrorMsg());
    return message.isEmpty() ? QStringLiteral("GDAL could not write it") : message;
}

}  // namespace

bool isPointFilePath(const QString& path) { return formatOf(path).has_value(); }

PointFeature pointFeature(const QString& layer, const KmlPlacemark& placemark, FieldTable table, FieldRow row) {
    return {layer,
            placemark.placemarkName,
            placemark.descriptionItems.join(QStringLiteral("; ")),
            placemark.time,
            placemark.longitudeDegrees,
            placemark.latitudeDegrees,
            std::move(table),
            std::move(row)};
}

WriteResult writePointFile(const QString& path, const PointFeature& feature) {
    const std::optional<Format> format = formatOf(path);
    if (!format) return WriteResult::failure(path, QStringLiteral("it is not a .gpx, .geojson or .gpkg file"));
    GDALAllRegister();
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(format->driver);
    if (!driver) return WriteResult::failure(path, QStringLiteral("GDAL has no %1 driver").arg(QLatin1String(format->driver)));
    const bool gpx = QLatin1String(format->driver) == QLatin1String("GPX");

    // Built under a temporary name beside the target and put in place whole.
    const QString temporary = temporaryNameBeside(path, QLatin1String(format->extension));
    CPLErrorReset();
    const auto fail = [&](const QString& reason) {
        QFile::remove(temporary);
        return WriteResult::failure(path, reason);
    };
    {
        CPLStringList options;
        if (gpx) options.SetNameValue("GPX_USE_EXTENSIONS", "YES");
        GDALDatasetUniquePtr dataset(
            driver->Create(temporary.toUtf8().constData(), 0, 0, 0, GDT_Unknown, options.List()));
        if (!dataset) return fail(gdalMessage());
        OGRSpatialReference wgs84;
        wgs84.SetWellKnownGeogCS("WGS84");
        wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        CPLStringList layerOptions;
        if (QLatin1String(format->driver) == QLatin1String("GeoJSON")) layerOptions.SetNameValue("RFC7946", "YES");
        const QByteArray layerName = gpx ? QByteArray("waypoints") : feature.layer.toUtf8();
        OGRLayer* layer = dataset->CreateLayer(layerName.constData(), &wgs84, wkbPoint, layerOptions.List());
        if (!layer) return fail(gdalMessage());

        // The attributes: a GPX waypoint's own, then every field of the table.
        std::vector<std::pair<int, QString>> columns;  // table index, name in the file
        for (std::size_t i = 0; i < feature.table.size(); ++i) {
            const FieldSpec& spec = feature.table[i];
            if (spec.shapeName.isEmpty()) continue;
            const QString full = spec.recordName.isEmpty() ? spec.shapeName : spec.recordName;
            const QString name = gpx ? xmlName(full) : full;
            const OGRFieldType type = spec.type == ShapefileWriter::Text   ? OFTString
                                      : spec.type == ShapefileWriter::Date ? OFTDate
                                                                           : OFTReal;
            OGRFieldDefn field(name.toUtf8().constData(), type);
            if (layer->CreateField(&field) != OGRERR_NONE) return fail(gdalMessage());
            columns.emplace_back(static_cast<int>(i), name);
        }
        OGRFeatureUniquePtr out(OGRFeature::CreateFeature(layer->GetLayerDefn()));
        if (gpx) {
            out->SetField("name", feature.name.toUtf8().constData());
            out->SetField("desc", feature.description.toUtf8().constData());
            if (feature.time) {
                const QDateTime utc = feature.time->toUTC();
                out->SetField("time", utc.date().year(), utc.date().month(), utc.date().day(), utc.time().hour(),
                              utc.time().minute(), static_cast<float>(utc.time().second()), 100);
            }
        }
        for (const auto& [index, name] : columns) {
            const int field = out->GetFieldIndex(name.toUtf8().constData());
            if (field < 0) return fail(QStringLiteral("the field %1 was not made").arg(name));
            const RecordValue& value = feature.row.at(static_cast<std::size_t>(index));
            if (const auto* number = std::get_if<double>(&value)) {
                out->SetField(field, *number);
            } else if (out->GetFieldDefnRef(field)->GetType() == OFTDate) {
                if (const auto date = dateOf(std::get<QString>(value)))
                    out->SetField(field, date->year(), date->month(), date->day());
            } else {
                out->SetField(field, std::get<QString>(value).toUtf8().constData());
            }
        }
        out->SetGeometryDirectly(new OGRPoint(feature.longitude, feature.latitude));
        if (layer->CreateFeature(out.get()) != OGRERR_NONE) return fail(gdalMessage());
        // Closing the dataset writes the file out; a failure there shows as an error.
        CPLErrorReset();
        dataset.reset();
        if (CPLGetLastErrorType() >= CE_Failure) return fail(gdalMessage());
    }
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0)
        return fail(QStringLiteral("the new file cannot be put in place"));
    return WriteResult::success();
}

}  // namespace waypost
