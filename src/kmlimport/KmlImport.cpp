#include "kmlimport/KmlImport.h"

#include "engine/AlbersEqualArea.h"

#include "database/Database.h"
#include "numbers/Numbers.h"
#include "output/RecordFile.h"
#include "output/ShapefileWriter.h"
#include "platform/FileWriting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace waypost::kmlimport {
namespace {

constexpr std::array<int, 13> kSizes{0, 45, 25, 10, 12, 12, 15, 15, 20, 20, 30, 10, 4};

double readNumber(const QString& text) {
    QString plain = text;
    plain.remove(u',');
    return numbers::parseLenient(plain.toStdString());
}

[[noreturn]] void fail(const QString& file, const QString& reason) { throw DrawingError(file, 0, reason); }

}  // namespace

const std::array<QString, 13>& columnNames(FeatureKind kind) {
    static const std::array<QString, 13> fire{"GISID",      "NAME",      "INC_NUM", "REPORT", "ENTRY_DATE",
                                              "START_DATE", "ACRES",     "LEN_MILES", "FUEL", "CAUSE",
                                              "TYPE",       "CONTAINED", "SIGNIF"};
    static const std::array<QString, 13> mitigation{"GISID",      "PROJECT",     "PROJECT_NUM", "REPORT",
                                                    "ENTRY_DATE", "START_DATE",  "ACRES",       "LEN_MILES",
                                                    "OWNERSHIP",  "REPORT_UNIT", "TREATMENT",   "CONTAINED",
                                                    "SIGNIF"};
    return kind == FeatureKind::Mitigation ? mitigation : fire;
}

QString workingBaseName(const QString& baseName) {
    QString kept;
    for (const QChar c : baseName)
        if ((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) kept += c;
    return QStringLiteral("wp") + kept.left(10);
}

WorkingNames namesForDrawing(const QString& kmlPath) {
    const QFileInfo info(kmlPath);
    const QString folder = info.absolutePath();
    const QString b = workingBaseName(info.completeBaseName());
    WorkingNames names;
    names.folder = folder;
    names.kmlCopy = folder + u'/' + b + QStringLiteral(".kml");
    return namesForShapefile(names, folder + u'/' + b + QStringLiteral(".shp"));
}

WorkingNames namesForShapefile(const WorkingNames& base, const QString& shapefile) {
    WorkingNames names = base;
    names.shapefile = shapefile;
    names.stem = shapefile.endsWith(QLatin1String(".shp"), Qt::CaseInsensitive) ? shapefile.left(shapefile.size() - 4)
                                                                                 : shapefile;
    const QString n = QFileInfo(names.stem).fileName();
    names.coordinates = names.folder + QStringLiteral("/cc") + n + QStringLiteral(".csv");
    names.attributes = names.folder + QStringLiteral("/pwatt") + n + QStringLiteral(".csv");
    names.database = names.stem + QStringLiteral(".sqlite");
    return names;
}

void writeStaging(const WorkingNames& names, const std::vector<Vertex>& vertices, const Attributes& a,
                  FeatureKind kind) {
    QByteArray coordinates;
    for (const Vertex& v : vertices) {
        QString line = QStringLiteral("1,%1,%2,%3,%4")
                           .arg(QString::fromStdString(numbers::formatFixed(v.albersX, 0)),
                                QString::fromStdString(numbers::formatFixed(v.albersY, 0)), v.longitudeText, v.latitudeText);
        if (!v.altitudeText.isEmpty()) line += u',' + v.altitudeText;
        coordinates += line.toUtf8() + "\r\n";
    }
    if (const WriteResult w = writeFileAtomically(names.coordinates, coordinates); !w) fail(names.coordinates, w.message());
    const std::vector<RecordValue> record{1.0,         a.name,      a.number, a.report, a.entryDate, a.startDate,
                                          a.acres,     a.perimeter, a.fuel,   a.cause,  a.type,      a.contained,
                                          a.significant};
    if (const WriteResult w = writeFileAtomically(names.attributes, recordLine(record)); !w) fail(names.attributes, w.message());

    removeLeftovers(QFileInfo(names.database).absolutePath(), QStringLiteral("staging"));
    const QString temporary = temporaryNameBeside(names.database, QStringLiteral("staging"));
    try {
        {
            database::Database db(temporary.toStdString(), database::Database::Mode::Create);
            database::Transaction transaction(db);
            db.execute("CREATE TABLE COORD (F1 INTEGER, F2 INTEGER, F3 INTEGER, F4 REAL, F5 REAL, F6 REAL)");
            auto insert = db.prepare("INSERT INTO COORD VALUES (1, ?, ?, ?, ?, ?)");
            for (const Vertex& v : vertices) {
                insert.reset();
                insert.bind(1, static_cast<std::int64_t>(numbers::roundFixed(v.albersX, 0)))
                    .bind(2, static_cast<std::int64_t>(numbers::roundFixed(v.albersY, 0)))
                    .bind(3, v.longitude)
                    .bind(4, v.latitude);
                if (v.altitudeText.isEmpty()) insert.bindNull(5);
                else insert.bind(5, v.altitudeText.toDouble());
                insert.run();
            }
            const auto& columns = columnNames(kind);
            QStringList definitions{QStringLiteral("\"GISID\" INTEGER")};
            for (std::size_t i = 1; i < columns.size(); ++i)
                definitions << QStringLiteral("\"%1\" TEXT(%2)").arg(columns[i]).arg(kSizes[i]);
            db.execute("CREATE TABLE FIRE_DAT (" + definitions.join(QStringLiteral(", ")).toStdString() + ")");
            auto row = db.prepare("INSERT INTO FIRE_DAT VALUES (1, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
            int i = 1;
            for (const QString* text : {&a.name, &a.number, &a.report, &a.entryDate, &a.startDate, &a.acres,
                                        &a.perimeter, &a.fuel, &a.cause, &a.type, &a.contained, &a.significant})
                row.bind(i++, text->toStdString());
            row.run();
            transaction.commit();
        }
        QFile::remove(names.database);
        if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(names.database).constData()) != 0)
            fail(names.database, QStringLiteral("the staging database cannot be put in place"));
    } catch (const database::DatabaseError& e) {
        QFile::remove(temporary);
        fail(names.database, QString::fromStdString(e.reason()));
    }
}

namespace {

bool closedPath(const Path& path) {
    return path.size() > 1 && path.front().longitude == path.back().longitude &&
           path.front().latitude == path.back().latitude;
}

Path closedCopy(Path path) {
    if (!closedPath(path)) path.push_back(path.front());
    return path;
}

}  // namespace

PlannedShape planShape(const DrawnShapes& shapes, const std::function<bool(const QString&)>& ask,
                       const std::function<void(const QString&)>& tell) {
    PlannedShape plan;
    Path every;  // every vertex as drawn, for points
    for (const DrawnPolygon& polygon : shapes.polygons) {
        every.insert(every.end(), polygon.outer.begin(), polygon.outer.end());
        for (const Path& hole : polygon.holes) every.insert(every.end(), hole.begin(), hole.end());
    }
    for (const Path& line : shapes.lines) every.insert(every.end(), line.begin(), line.end());
    every.insert(every.end(), shapes.points.begin(), shapes.points.end());
    // A drawing of points alone is read, as it always was, as one path through them.
    std::vector<Path> lines = shapes.lines;
    if (shapes.polygons.empty() && lines.empty() && shapes.points.size() > 1) lines.push_back(shapes.points);

    const auto asPoints = [&](ShapeKind kind) {
        tell(QStringLiteral("Point Shapefile will be created"));
        plan.shape = kind;
        plan.parts = {{kind == ShapeKind::Point ? Path{every.front()} : every, false}};
        plan.done = QStringLiteral("KML Converted to Point Shapefile");
    };
    const auto asLines = [&](const std::vector<Path>& paths) {
        plan.shape = ShapeKind::PolyLine;
        for (const Path& path : paths) {
            plan.parts.push_back({path, false});
            plan.measures.miles += pathMiles(path, false);
        }
        plan.done = QStringLiteral("KML Converted to Polyline Shapefile");
    };
    const auto asPolygons = [&](const std::vector<DrawnPolygon>& polygons) {
        plan.shape = ShapeKind::Polygon;
        for (const DrawnPolygon& polygon : polygons) {
            plan.parts.push_back({polygon.outer, false});
            for (const Path& hole : polygon.holes) plan.parts.push_back({hole, true});
            const Measures m = measurePolygon(polygon);
            plan.measures.acres += m.acres;
            plan.measures.miles += m.miles;
        }
        plan.done = QStringLiteral("KML Converted to Polygon Shapefile");
    };

    if (every.size() == 1) {
        asPoints(ShapeKind::Point);
    } else if (ask(QStringLiteral("Build all Locations as Points?"))) {
        asPoints(ShapeKind::MultiPoint);
    } else if (!shapes.polygons.empty() || (lines.size() == 1 && closedPath(lines.front()))) {
        std::vector<DrawnPolygon> polygons = shapes.polygons;
        if (polygons.empty()) polygons.push_back({lines.front(), {}});
        if (ask(QStringLiteral("Initial Shape Type is Polygon - Build as Line Instead?"))) {
            std::vector<Path> rings;
            for (const DrawnPolygon& polygon : polygons) {
                rings.push_back(closedCopy(polygon.outer));
                for (const Path& hole : polygon.holes) rings.push_back(closedCopy(hole));
            }
            if (!shapes.polygons.empty()) rings.insert(rings.end(), lines.begin(), lines.end());
            asLines(rings);
        } else {
            asPolygons(polygons);
        }
    } else {
        std::size_t vertices = 0;
        for (const Path& line : lines) vertices += line.size();
        if (vertices >= 3 && ask(QStringLiteral("Initial Shape Type is Line - Build as Polygon Instead?"))) {
            // Each path is closed; its perimeter then counts the closing edge.
            std::vector<DrawnPolygon> polygons;
            for (const Path& line : lines)
                if (line.size() >= 3) polygons.push_back({closedCopy(line), {}});
            asPolygons(polygons);
        } else {
            asLines(lines);
        }
    }
    return plan;
}

void writeShapefile(const WorkingNames& names, FeatureKind kind, const PlannedShape& plan, OutputSystem system,
                    const QString& reportedAcres, double calculatedAcres, double calculatedMiles) {
    try {
        database::Database db(names.database.toStdString(), database::Database::Mode::ReadOnly);
        const auto& columns = columnNames(kind);
        auto record = db.prepare("SELECT * FROM FIRE_DAT");
        if (!record.step()) fail(names.database, QStringLiteral("the staged attributes are missing"));

        ShapefileWriter writer;
        writer.OpenShapefile(names.shapefile, ShapefileWriter::OpenMode::Create,
                             static_cast<ShapefileWriter::ShapeType>(static_cast<int>(plan.shape)));
        writer.AddField(columns[0], ShapefileWriter::Long, 4);
        for (std::size_t i = 1; i < columns.size(); ++i) writer.AddField(columns[i], ShapefileWriter::Text, kSizes[i]);
        for (const char* field : {"Rep_Acres", "Rep_Perim", "Calc_Acres", "Calc_Perim"})
            writer.AddField(QLatin1String(field), ShapefileWriter::Double, 12, 2);
        writer.CommitFields();

        const bool points = plan.shape == ShapeKind::Point || plan.shape == ShapeKind::MultiPoint;
        const QString perimeter = QString::fromStdString(record.columnText(7));
        writer.SetFieldValue(QStringLiteral("Rep_Perim"), readNumber(perimeter));
        writer.SetFieldValue(QStringLiteral("Rep_Acres"), readNumber(reportedAcres));
        writer.SetFieldValue(QStringLiteral("Calc_Acres"), points ? 0.0
                                                          : plan.shape == ShapeKind::PolyLine ? readNumber(reportedAcres)
                                                                                              : calculatedAcres);
        writer.SetFieldValue(QStringLiteral("Calc_Perim"), points ? 0.0 : calculatedMiles);
        writer.SetFieldValue(columns[0], record.columnDouble(0));
        for (std::size_t i = 1; i < columns.size(); ++i)
            writer.SetFieldValue(columns[i], i == 6 ? reportedAcres : QString::fromStdString(record.columnText(static_cast<int>(i))));
        const engine::AlbersEqualArea& grid = engine::AlbersEqualArea::StateGrid();
        for (const PlannedShape::Part& part : plan.parts) {
            writer.AddPart(part.hole ? ShapefileWriter::Part::Hole : ShapefileWriter::Part::Outer);
            for (const LonLat& v : part.path) {
                if (system == OutputSystem::Wgs84) {
                    writer.AddVertex(v.longitude, v.latitude);
                } else {
                    const engine::AlbersPoint p = grid.Forward(v.latitude, v.longitude);  // whole metres, as staged
                    writer.AddVertex(p.x, p.y);
                }
            }
        }
        writer.WriteShape();
        writer.CloseShapefile();
    } catch (const database::DatabaseError& e) {
        fail(names.database, QString::fromStdString(e.reason()));
    } catch (const ShapefileError& e) {
        fail(names.shapefile, QString::fromUtf8(e.what()));
    }
}

void removeStaging(const WorkingNames& names) {
    for (const QString& file : {names.database, names.attributes, names.coordinates}) QFile::remove(file);
}

}  // namespace waypost::kmlimport
