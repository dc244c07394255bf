#include "output/ShapefileWriter.h"

#include "numbers/Numbers.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cpl_error.h>
#include <gdal_priv.h>
#include <gdal_utils.h>
#include <ogrsf_frmts.h>
#include <cmath>
#include <filesystem>
#include <limits>
#include <vector>
#include <mutex>

namespace waypost {
namespace {

/// The files of one shapefile set that the writer makes or keeps in step.
const QStringList kSetExtensions{QStringLiteral("shp"), QStringLiteral("shx"), QStringLiteral("dbf"),
                                 QStringLiteral("cpg")};
/// Index files of an old set that would no longer match the new one.
const QStringList kStaleExtensions{QStringLiteral("qix"), QStringLiteral("sbn"), QStringLiteral("sbx")};

/// Keeps GDAL's own error printing quiet while the writer reports errors itself.
class QuietGdalErrors {
public:
    QuietGdalErrors() {
        CPLPushErrorHandler(CPLQuietErrorHandler);
        CPLErrorReset();
    }
    ~QuietGdalErrors() { CPLPopErrorHandler(); }
    QuietGdalErrors(const QuietGdalErrors&) = delete;
    QuietGdalErrors& operator=(const QuietGdalErrors&) = delete;
};

QString gdalMessage() {
    const char* msg = CPLGetLastErrorMsg();
    return msg && *msg ? QString::fromUtf8(msg) : QStringLiteral("unknown GDAL error");
}

QString sideFile(const QString& shpPath, const QString& extension) {
    return shpPath.left(shpPath.size() - 3) + extension;
}

std::filesystem::path fsPath(const QString& path) { return std::filesystem::path(QFile::encodeName(path).toStdString()); }

OGRwkbGeometryType geometryFor(int shapeType) {
    switch (shapeType) {
    case ShapefileWriter::Point: return wkbPoint;
    case ShapefileWriter::PolyLine: return wkbLineString;
    case ShapefileWriter::Polygon: return wkbPolygon;
    case ShapefileWriter::MultiPoint: return wkbMultiPoint;
    default: return wkbUnknown;
    }
}

std::optional<QDate> parseDateText(const QString& text) {
    const QString t = text.trimmed();
    for (const char* format : {"M/d/yyyy", "MM/dd/yyyy", "yyyy-MM-dd", "yyyyMMdd"}) {
        const QDate d = QDate::fromString(t, QString::fromLatin1(format));
        if (d.isValid()) return d;
    }
    return std::nullopt;
}

}  // namespace

struct ShapefileWriter::Gdal {
    GDALDatasetUniquePtr dataset;
    OGRLayer* layer = nullptr;
    std::vector<OGRRawPoint> vertices;
    std::vector<std::pair<std::size_t, Part>> parts;  ///< where each part after the first begins
};

ShapefileWriter::ShapefileWriter() : m_gdal(std::make_unique<Gdal>()) {
    static std::once_flag registered;
    std::call_once(registered, [] { GDALAllRegister(); });
}

ShapefileWriter::~ShapefileWriter() {
    if (m_gdal->dataset) abandon();
}

bool ShapefileWriter::isOpen() const { return m_gdal->dataset != nullptr; }

void ShapefileWriter::fail(const QString& what) {
    const QString kept = abandon();
    throw ShapefileError(QStringLiteral("Shapefile %1: %2%3").arg(m_path, what, kept).toStdString());
}

void ShapefileWriter::requireOpen(const char* operation) const {
    if (!m_gdal->dataset)
        throw ShapefileError(QStringLiteral("Shapefile %1: %2 needs an open shapefile")
                                 .arg(m_path, QString::fromLatin1(operation))
                                 .toStdString());
}

QString ShapefileWriter::abandon() {
    m_gdal->dataset.reset();
    m_gdal->layer = nullptr;
    QString kept;
    if (m_mode == 2 && m_work) {
        // Put the appended set back as it was. The copies lie in the same
        // folder, so each rename replaces its file whole.
        const QString base = QFileInfo(m_path).completeBaseName();
        bool restored = true;
        for (const QString& ext : kSetExtensions) {
            const QString backup = m_work->filePath(base + u'.' + ext);
            if (!QFile::exists(backup)) continue;
            std::error_code ec;
            std::filesystem::rename(fsPath(backup), fsPath(sideFile(m_path, ext)), ec);
            if (ec) restored = false;
        }
        if (!restored) {
            // Never throw the only good copy away.
            m_work->setAutoRemove(false);
            kept = QStringLiteral("; the earlier records are kept in %1").arg(m_work->path());
        }
    }
    m_work.reset();  // a new set still in the work folder goes with it
    m_mode = 0;
    m_values.clear();
    m_gdal->vertices.clear();
    m_gdal->parts.clear();
    return kept;
}

void ShapefileWriter::OpenShapefile(const QString& path, OpenMode openMode, ShapeType shapeType) {
    const int mode = static_cast<int>(openMode);
    if (m_gdal->dataset) abandon();
    QuietGdalErrors quiet;
    m_path = path;
    m_fieldsCommitted = false;
    m_launderedNames.clear();
    m_indexByName.clear();
    if (!path.endsWith(QStringLiteral(".shp"), Qt::CaseInsensitive)) m_path = path + QStringLiteral(".shp");
    const QFileInfo target(m_path);
    const QString folder = target.absolutePath();
    if (!QFileInfo(folder).isDir()) fail(QStringLiteral("the folder %1 does not exist").arg(folder));

    if (mode == 1) {
        const OGRwkbGeometryType geometry = geometryFor(shapeType);
        if (geometry == wkbUnknown) fail(QStringLiteral("shape type %1 is not one of 1, 3, 5, 8").arg(shapeType));
        m_work = std::make_unique<QTemporaryDir>(folder + QStringLiteral("/.waypost-XXXXXX"));
        if (!m_work->isValid())
            fail(QStringLiteral("the folder %1 cannot be written (%2)").arg(folder, m_work->errorString()));
        m_mode = 1;
        m_shapeType = shapeType;
        m_workPath = m_work->filePath(target.fileName());
        GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("ESRI Shapefile");
        if (!driver) fail(QStringLiteral("GDAL has no ESRI Shapefile driver"));
        m_gdal->dataset.reset(driver->Create(QFile::encodeName(m_workPath).constData(), 0, 0, 0, GDT_Unknown, nullptr));
        if (!m_gdal->dataset) fail(gdalMessage());
        const char* options[] = {"ENCODING=UTF-8", nullptr};
        m_gdal->layer = m_gdal->dataset->CreateLayer(QFile::encodeName(target.completeBaseName()).constData(), nullptr, geometry,
                                         const_cast<char**>(options));
        if (!m_gdal->layer) fail(gdalMessage());
        return;
    }
    if (mode != 2) fail(QStringLiteral("open mode %1 is not 1 (create) or 2 (append)").arg(mode));

    if (!target.isFile()) fail(QStringLiteral("the shapefile does not exist"));
    // Keep a copy of the set, to put back should the append fail.
    m_work = std::make_unique<QTemporaryDir>(folder + QStringLiteral("/.waypost-XXXXXX"));
    if (!m_work->isValid())
        fail(QStringLiteral("the folder %1 cannot be written (%2)").arg(folder, m_work->errorString()));
    m_mode = 2;
    for (const QString& ext : kSetExtensions) {
        const QString file = sideFile(m_path, ext);
        if (!QFile::exists(file)) continue;
        if (!QFile::copy(file, m_work->filePath(target.completeBaseName() + u'.' + ext)))
            fail(QStringLiteral("cannot keep a copy of %1 before appending").arg(file));
    }
    m_workPath = m_path;
    const char* drivers[] = {"ESRI Shapefile", nullptr};
    m_gdal->dataset.reset(GDALDataset::Open(QFile::encodeName(m_path).constData(), GDAL_OF_VECTOR | GDAL_OF_UPDATE, drivers,
                                      nullptr, nullptr));
    if (!m_gdal->dataset) fail(gdalMessage());
    m_gdal->layer = m_gdal->dataset->GetLayer(0);
    if (!m_gdal->layer) fail(QStringLiteral("the file holds no layer"));
    const OGRwkbGeometryType type = wkbFlatten(m_gdal->layer->GetGeomType());
    m_shapeType = type == wkbPoint ? Point
                : type == wkbLineString || type == wkbMultiLineString ? PolyLine
                : type == wkbPolygon || type == wkbMultiPolygon ? Polygon
                : MultiPoint;
    m_fieldsCommitted = true;
}

void ShapefileWriter::placeNewSet() {
    // The old set goes aside into the work folder, then the new one comes in;
    // should any step fail, the old set is put back as it was.
    const QString aside = m_work->filePath(QStringLiteral("previous"));
    QDir().mkpath(aside);
    const QString base = QFileInfo(m_path).completeBaseName();
    QStringList setAside;
    QStringList placed;
    const auto rollBack = [&](const QString& reason) {
        for (const QString& ext : placed) QFile::remove(sideFile(m_path, ext));
        bool restored = true;
        for (const QString& ext : setAside) {
            std::error_code ec;
            std::filesystem::rename(fsPath(aside + u'/' + base + u'.' + ext), fsPath(sideFile(m_path, ext)), ec);
            if (ec) restored = false;
        }
        QString message = QStringLiteral("Shapefile %1: cannot put the new file in place: %2").arg(m_path, reason);
        if (!restored) {
            m_work->setAutoRemove(false);
            message += QStringLiteral("; the earlier set is kept in %1").arg(aside);
        }
        m_work.reset();
        m_mode = 0;
        throw ShapefileError(message.toStdString());
    };
    for (const QString& ext : kSetExtensions) {
        const QString target = sideFile(m_path, ext);
        if (!QFile::exists(target)) continue;
        std::error_code ec;
        std::filesystem::rename(fsPath(target), fsPath(aside + u'/' + base + u'.' + ext), ec);
        if (ec) rollBack(QString::fromStdString(ec.message()));
        setAside << ext;
    }
    for (const QString& ext : kSetExtensions) {
        const QString made = sideFile(m_workPath, ext);
        if (!QFile::exists(made)) continue;
        std::error_code ec;
        std::filesystem::rename(fsPath(made), fsPath(sideFile(m_path, ext)), ec);
        if (ec) rollBack(QString::fromStdString(ec.message()));
        placed << ext;
    }
    // Index files of the old set would no longer match.
    for (const QString& ext : kStaleExtensions) QFile::remove(sideFile(m_path, ext));
}

QString ShapefileWriter::launderedName(const QString& name) const {
    static const QRegularExpression notAllowed(QStringLiteral("[^A-Za-z0-9_]"));
    QString base = name;
    base.replace(notAllowed, QStringLiteral("_"));
    if (base.isEmpty()) base = QStringLiteral("FIELD");
    base = base.left(10);
    const OGRFeatureDefn* defn = m_gdal->layer->GetLayerDefn();
    const auto taken = [defn](const QString& candidate) {
        return defn->GetFieldIndex(candidate.toUtf8().constData()) >= 0;
    };
    if (!taken(base)) return base;
    for (int n = 1; n < 100000; ++n) {
        const QString suffix = QStringLiteral("_%1").arg(n);
        const QString candidate = base.left(10 - suffix.size()) + suffix;
        if (!taken(candidate)) return candidate;
    }
    return base;  // unreachable in practice: a dBase file holds far fewer fields
}

void ShapefileWriter::AddField(const QString& name, int typeCode, int size, int decimals) {
    requireOpen("AddField");
    if (m_mode != 1) fail(QStringLiteral("fields can be added to a new shapefile only"));
    if (m_fieldsCommitted) fail(QStringLiteral("field %1 comes after the fields were committed").arg(name));
    QuietGdalErrors quiet;
    const QString dbfName = launderedName(name);
    OGRFieldDefn defn(dbfName.toUtf8().constData(), OFTString);
    switch (typeCode) {
    case Text: defn.SetWidth(size > 0 ? size : 254); break;
    case Double:
    case Single:
    case Numeric:
    case Decimal:
        defn.SetType(OFTReal);
        if (size > 0) defn.SetWidth(size);
        else if (typeCode == Single) defn.SetWidth(13);
        if (size > 0 || decimals > 0) defn.SetPrecision(decimals);
        if (size == 0 && decimals == 0 && typeCode == Single) defn.SetPrecision(6);
        break;
    case Date: defn.SetType(OFTDate); break;
    case Boolean:
        defn.SetType(OFTInteger);
        defn.SetSubType(OFSTBoolean);
        defn.SetWidth(1);
        break;
    case Integer:
    case Long:
        defn.SetType(OFTInteger);
        defn.SetWidth(size > 0 ? size : (typeCode == Integer ? 6 : 11));
        break;
    default: fail(QStringLiteral("field %1 has the unknown type code %2").arg(name).arg(typeCode));
    }
    if (m_gdal->layer->CreateField(&defn, FALSE) != OGRERR_NONE)
        fail(QStringLiteral("field %1 cannot be added: %2").arg(name, gdalMessage()));
    const OGRFeatureDefn* layerDefn = m_gdal->layer->GetLayerDefn();
    const QString actual = QString::fromUtf8(layerDefn->GetFieldDefn(layerDefn->GetFieldCount() - 1)->GetNameRef());
    m_launderedNames[name.toLower()] = actual;
}

void ShapefileWriter::CommitFields() {
    requireOpen("CommitFields");
    if (m_gdal->layer->GetLayerDefn()->GetFieldCount() == 0) fail(QStringLiteral("a shapefile needs at least one field"));
    m_fieldsCommitted = true;
}

QString ShapefileWriter::fieldNameFor(const QString& requested) const {
    const auto it = m_launderedNames.find(requested.toLower());
    return it == m_launderedNames.end() ? requested : it->second;
}

int ShapefileWriter::fieldIndex(const QString& name) const {
    if (const auto known = m_indexByName.constFind(name); known != m_indexByName.constEnd()) return *known;
    const OGRFeatureDefn* defn = m_gdal->layer->GetLayerDefn();
    int index = defn->GetFieldIndex(fieldNameFor(name).toUtf8().constData());
    if (index < 0) index = defn->GetFieldIndex(name.toUtf8().constData());
    if (index >= 0 && m_fieldsCommitted) m_indexByName.insert(name, index);
    return index;
}

void ShapefileWriter::SetFieldValue(const QString& name, const QString& text) {
    requireOpen("SetFieldValue");
    if (!m_fieldsCommitted) fail(QStringLiteral("values come before the fields were committed"));
    const int index = fieldIndex(name);
    if (index < 0) fail(QStringLiteral("there is no field %1").arg(name));
    setValue(index, text);
}

void ShapefileWriter::SetFieldValue(const QString& name, double number) {
    requireOpen("SetFieldValue");
    if (!m_fieldsCommitted) fail(QStringLiteral("values come before the fields were committed"));
    const int index = fieldIndex(name);
    if (index < 0) fail(QStringLiteral("there is no field %1").arg(name));
    setValue(index, number);
}

int ShapefileWriter::FieldIndex(const QString& name) const {
    requireOpen("FieldIndex");
    return fieldIndex(name);
}

void ShapefileWriter::requireField(int index) const {
    requireOpen("SetFieldValue");
    if (!m_fieldsCommitted)
        const_cast<ShapefileWriter*>(this)->fail(QStringLiteral("values come before the fields were committed"));
    if (index < 0 || index >= m_gdal->layer->GetLayerDefn()->GetFieldCount())
        const_cast<ShapefileWriter*>(this)->fail(QStringLiteral("there is no field number %1").arg(index));
}

void ShapefileWriter::SetFieldValue(int field, double number) {
    requireField(field);
    setValue(field, number);
}

void ShapefileWriter::SetFieldValue(int field, std::string utf8Text) {
    requireField(field);
    setValue(field, std::move(utf8Text));
}

void ShapefileWriter::AddVertex(double x, double y) {
    requireOpen("AddVertex");
    m_gdal->vertices.push_back(OGRRawPoint(x, y));
}

void ShapefileWriter::AddPart(Part part) {
    requireOpen("AddPart");
    if (m_gdal->vertices.empty() && m_gdal->parts.empty()) {
        if (part == Part::Hole) fail(QStringLiteral("a hole comes after the ring it lies in"));
        return;  // the first part begins with the first vertex
    }
    m_gdal->parts.emplace_back(m_gdal->vertices.size(), part);
}

void ShapefileWriter::WriteRecordsFrom(const QString& database, const std::string& sql) {
    requireOpen("WriteRecordsFrom");
    if (m_mode != 1 || !m_fieldsCommitted || m_shapeType != Point)
        fail(QStringLiteral("the records of a query go into a new point shapefile after its fields"));
    QuietGdalErrors quiet;
    const char* drivers[] = {"SQLite", nullptr};
    GDALDatasetUniquePtr source(GDALDataset::Open(QFile::encodeName(database).constData(), GDAL_OF_VECTOR | GDAL_OF_READONLY,
                                                  drivers, nullptr, nullptr));
    if (!source) fail(QStringLiteral("%1 cannot be read: %2").arg(database, gdalMessage()));
    // The query's columns go into the fields by their order: GDAL must see as
    // many as there are fields (it takes a table's own key as the feature id).
    OGRLayer* result = source->ExecuteSQL(sql.c_str(), nullptr, "SQLite");
    if (!result) fail(QStringLiteral("the records cannot be read: %1").arg(gdalMessage()));
    const int columns = result->GetLayerDefn()->GetFieldCount();
    source->ReleaseResultSet(result);
    if (columns != m_gdal->layer->GetLayerDefn()->GetFieldCount())
        fail(QStringLiteral("the query gives %1 columns for %2 fields").arg(columns).arg(m_gdal->layer->GetLayerDefn()->GetFieldCount()));
    CPLStringList arguments;
    for (const char* argument : {"-append", "-fieldmap", "identity", "-dialect", "SQLite", "-sql"}) arguments.AddString(argument);
    arguments.AddString(sql.c_str());
    arguments.AddString("-nln");
    arguments.AddString(m_gdal->layer->GetName());
    GDALVectorTranslateOptions* options = GDALVectorTranslateOptionsNew(arguments.List(), nullptr);
    if (!options) fail(gdalMessage());
    GDALDatasetH from = GDALDataset::ToHandle(source.get());
    int usageError = 0;
    const GDALDatasetH written =
        GDALVectorTranslate(nullptr, GDALDataset::ToHandle(m_gdal->dataset.get()), 1, &from, options, &usageError);
    GDALVectorTranslateOptionsFree(options);
    if (!written || usageError) fail(QStringLiteral("the records cannot be written: %1").arg(gdalMessage()));
    m_gdal->layer = m_gdal->dataset->GetLayer(0);
}

void ShapefileWriter::WriteShape() {
    requireOpen("WriteShape");
    if (!m_fieldsCommitted) fail(QStringLiteral("records come before the fields were committed"));
    QuietGdalErrors quiet;
    std::unique_ptr<OGRGeometry> geometry;
    const auto n = static_cast<int>(m_gdal->vertices.size());
    // The parts as [begin, end) of the vertices, with how each begins.
    struct Span {
        std::size_t begin, end;
        Part part;
    };
    std::vector<Span> spans;  // not made for a point: a table of a million points writes a million records
    if (m_shapeType == PolyLine || m_shapeType == Polygon) {
        std::size_t begin = 0;
        Part kind = Part::Outer;
        for (const auto& [start, part] : m_gdal->parts) {
            spans.push_back({begin, start, kind});
            begin = start;
            kind = part;
        }
        spans.push_back({begin, m_gdal->vertices.size(), kind});
    }
    const auto points = [&](const Span& span, OGRSimpleCurve& curve) {
        curve.setPoints(static_cast<int>(span.end - span.begin), m_gdal->vertices.data() + span.begin);
    };
    switch (m_shapeType) {
    case Point:
        if (n != 1) fail(QStringLiteral("a point record takes one vertex, not %1").arg(n));
        geometry = std::make_unique<OGRPoint>(m_gdal->vertices[0].x, m_gdal->vertices[0].y);
        break;
    case PolyLine: {
        auto lines = std::make_unique<OGRMultiLineString>();
        for (const Span& span : spans) {
            if (span.end - span.begin < 2)
                fail(QStringLiteral("a line takes at least two vertices, not %1").arg(span.end - span.begin));
            auto line = std::make_unique<OGRLineString>();
            points(span, *line);
            lines->addGeometryDirectly(line.release());
        }
        if (lines->getNumGeometries() == 1) geometry.reset(lines->getGeometryRef(0)->clone());
        else geometry = std::move(lines);
        break;
    }
    case Polygon: {
        auto polygons = std::make_unique<OGRMultiPolygon>();
        for (const Span& span : spans) {
            if (span.end - span.begin < 3)
                fail(QStringLiteral("a ring takes at least three vertices, not %1").arg(span.end - span.begin));
            auto ring = std::make_unique<OGRLinearRing>();
            points(span, *ring);
            ring->closeRings();
            if (span.part == Part::Outer) polygons->addGeometryDirectly(new OGRPolygon);
            auto* polygon = polygons->getGeometryRef(polygons->getNumGeometries() - 1);
            polygon->addRingDirectly(ring.release());
        }
        if (polygons->getNumGeometries() == 1) geometry.reset(polygons->getGeometryRef(0)->clone());
        else geometry = std::move(polygons);
        break;
    }
    default: {
        if (n < 1) fail(QStringLiteral("a multipoint record takes at least one vertex"));
        auto points = std::make_unique<OGRMultiPoint>();
        for (const OGRRawPoint& p : m_gdal->vertices) points->addGeometryDirectly(new OGRPoint(p.x, p.y));
        geometry = std::move(points);
    }
    }

    OGRFeatureUniquePtr feature(OGRFeature::CreateFeature(m_gdal->layer->GetLayerDefn()));
    try {
        setFeatureValues(*feature);
    } catch (const ShapefileError&) {
        throw;
    } catch (const std::exception& e) {
        // A value beyond what its field can hold, for one.
        fail(QStringLiteral("a value cannot be written: %1").arg(QString::fromUtf8(e.what())));
    }
    feature->SetGeometryDirectly(geometry.release());
    if (m_gdal->layer->CreateFeature(feature.get()) != OGRERR_NONE)
        fail(QStringLiteral("the record cannot be written: %1").arg(gdalMessage()));
    m_values.clear();
    m_gdal->vertices.clear();
    m_gdal->parts.clear();
}

QByteArray ShapefileWriter::fittedToBytes(const QString& text, int width) {
    QByteArray bytes = text.toUtf8();
    if (width <= 0 || bytes.size() <= width) return bytes;
    // Cut before the first byte of the character that does not fit whole
    // (UTF-8 continuation bytes are 10xxxxxx).
    qsizetype end = width;
    while (end > 0 && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80) --end;
    bytes.truncate(end);
    return bytes;
}

void ShapefileWriter::setValue(int index, Value value) {
    // Kept in field order, so the record is filled field by field.
    auto at = m_values.begin();
    while (at != m_values.end() && at->first < index) ++at;
    if (at != m_values.end() && at->first == index) at->second = std::move(value);
    else m_values.emplace(at, index, std::move(value));
}

void ShapefileWriter::setFeatureValues(OGRFeature& target) {
    OGRFeature* feature = &target;
    for (const auto& [index, value] : m_values) {
        const OGRFieldDefn* defn = m_gdal->layer->GetLayerDefn()->GetFieldDefn(index);
        const OGRFieldType type = defn->GetType();
        // Named only when a message needs it: a long run of records makes no texts it does not show.
        const auto fieldName = [defn] { return QString::fromUtf8(defn->GetNameRef()); };
        if (type == OFTDate) {
            if (std::holds_alternative<double>(value))
                fail(QStringLiteral("field %1 takes a date text, not a number").arg(fieldName()));
            const QString text = std::holds_alternative<QString>(value) ? std::get<QString>(value)
                                                                        : QString::fromStdString(std::get<std::string>(value));
            if (text.trimmed().isEmpty()) continue;
            const auto date = parseDateText(text);
            if (!date) fail(QStringLiteral("\"%1\" is not a date for field %2").arg(text, fieldName()));
            feature->SetField(index, date->year(), date->month(), date->day());
        } else if (type == OFTString) {
            if (const std::string* bytes = std::get_if<std::string>(&value);
                bytes && (defn->GetWidth() <= 0 || bytes->size() <= static_cast<std::size_t>(defn->GetWidth()))) {
                feature->SetField(index, bytes->c_str());
                continue;
            }
            const QString text = std::holds_alternative<QString>(value)  ? std::get<QString>(value)
                                 : std::holds_alternative<double>(value) ? QString::fromStdString(numbers::generalForm(std::get<double>(value)))
                                                                         : QString::fromStdString(std::get<std::string>(value));
            // The field keeps its width: GDAL would widen it (and rewrite the
            // .dbf header) for a longer value.
            const QByteArray whole = text.toUtf8();
            if (defn->GetWidth() <= 0 || whole.size() <= defn->GetWidth()) {
                feature->SetField(index, whole.constData());
            } else {
                const QByteArray bytes = fittedToBytes(text, defn->GetWidth());
                m_shortened.push_back({fieldName(), defn->GetWidth(), QString::fromUtf8(bytes)});
                feature->SetField(index, bytes.constData());
            }
        } else {
            const double number = std::holds_alternative<double>(value)    ? std::get<double>(value)
                                  : std::holds_alternative<QString>(value) ? numbers::parseLenient(std::get<QString>(value).toStdString())
                                                                           : numbers::parseLenient(std::get<std::string>(value));
            if (type == OFTInteger || type == OFTInteger64) {
                const std::int64_t widest = type == OFTInteger ? std::numeric_limits<std::int32_t>::max()
                                                               : std::numeric_limits<std::int64_t>::max();
                const std::optional<std::int64_t> whole = numbers::wholeWithin(number, -widest, widest);
                if (!whole)
                    fail(QStringLiteral("%1 is too large for the whole-number field %2")
                             .arg(QString::fromStdString(numbers::generalForm(number)), fieldName()));
                feature->SetField(index, static_cast<GIntBig>(*whole));
            } else if (defn->GetPrecision() > 0 && defn->GetPrecision() < 15 && std::isfinite(number)) {
                // Decimals round as everywhere else in the program: a half away from zero.
                feature->SetField(index, numbers::parseLenient(numbers::formatFixed(number, defn->GetPrecision())));
            } else {
                feature->SetField(index, number);
            }
        }
    }
}

void ShapefileWriter::CloseShapefile() {
    requireOpen("CloseShapefile");
    QuietGdalErrors quiet;
    // Closing writes the headers of .shp, .shx and .dbf.
    m_gdal->dataset->FlushCache(true);
    if (CPLGetLastErrorType() >= CE_Failure) fail(gdalMessage());
    m_gdal->dataset.reset();
    m_gdal->layer = nullptr;
    if (m_mode == 1) placeNewSet();
    m_work.reset();
    m_mode = 0;
}

}  // namespace waypost
