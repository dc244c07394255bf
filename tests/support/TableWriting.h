#pragma once
// Tables as other programs leave them (dBase files, workbooks), written
// through GDAL for the imports to read.

#include <QString>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <string>
#include <utility>
#include <vector>

namespace waypost::test {

using Cells = std::vector<std::vector<const char*>>;

/// A vector dataset of GDAL's \p driverName at \p path: one layer per entry, fields named by its first row (text,
/// or numbers for a name ending in ":real"), then its rows (a null pointer leaves the value unset). False when GDAL
/// refuses any part of it.
inline bool writeTables(const QString& path, const char* driverName,
                        const std::vector<std::pair<std::string, Cells>>& layers) {
    GDALAllRegister();
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driverName);
    GDALDatasetUniquePtr ds(driver ? driver->Create(path.toUtf8().constData(), 0, 0, 0, GDT_Unknown, nullptr) : nullptr);
    for (const auto& [name, cells] : layers) {
        OGRLayer* layer = ds ? ds->CreateLayer(name.c_str(), nullptr, wkbNone, nullptr) : nullptr;
        if (!layer) return false;
        for (const std::string field : cells.front()) {
            const bool real = field.ends_with(":real");
            OGRFieldDefn defn(field.substr(0, real ? field.size() - 5 : field.size()).c_str(), real ? OFTReal : OFTString);
            if (layer->CreateField(&defn) != OGRERR_NONE) return false;
        }
        for (std::size_t r = 1; r < cells.size(); ++r) {
            OGRFeature feature(layer->GetLayerDefn());
            for (std::size_t i = 0; i < cells[r].size(); ++i)
                if (cells[r][i]) feature.SetField(static_cast<int>(i), cells[r][i]);
            if (layer->CreateFeature(&feature) != OGRERR_NONE) return false;
        }
    }
    return ds != nullptr;
}

}  // namespace waypost::test
