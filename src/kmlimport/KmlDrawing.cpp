#include "kmlimport/KmlDrawing.h"

#include "engine/lltoAlbers.h"
#include "numbers/Numbers.h"

#include <cpl_vsi.h>
#include <cpl_string.h>

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <cmath>

namespace waypost::kmlimport {
namespace {

constexpr double kSquareMetresPerAcre = 4046.85;
constexpr double kMetresPerMile = 1609.344;

std::optional<double> finite(const QString& text) {
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

QString tooLarge(const QString& what) {
    return QStringLiteral("%1 is larger than %2 MB, more than any drawing holds; it is not read")
        .arg(what)
        .arg(kLargestDrawingBytes / (1024 * 1024));
}

/// The archive member \p name, read no further than the size limit: the
/// size an archive states for a member may be false.
QByteArray readVsi(const QByteArray& name, const QString& path) {
    VSILFILE* file = VSIFOpenL(name.constData(), "rb");
    if (!file) return {};
    QByteArray bytes;
    char buffer[65536];
    size_t got = 0;
    while ((got = VSIFReadL(buffer, 1, sizeof buffer, file)) > 0) {
        if (bytes.size() + static_cast<qint64>(got) > kLargestDrawingBytes) {
            VSIFCloseL(file);
            throw DrawingError(path, 0, tooLarge(QStringLiteral("The archive's KML document")));
        }
        bytes.append(buffer, static_cast<qsizetype>(got));
    }
    VSIFCloseL(file);
    return bytes;
}

}  // namespace

DrawingError::DrawingError(const QString& file, qint64 line, const QString& reason)
    : std::runtime_error((line > 0 ? QStringLiteral("%1, line %2: %3").arg(file).arg(line).arg(reason)
                                   : QStringLiteral("%1: %2").arg(file, reason))
                             .toStdString()),
      m_file(file), m_line(line), m_reason(reason) {}

QByteArray kmlDocument(const QString& path) {
    if (!QFile::exists(path)) throw DrawingError(path, 0, QStringLiteral("File Not Found"));
    if (!path.endsWith(QLatin1String(".kmz"), Qt::CaseInsensitive)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) throw DrawingError(path, 0, file.errorString());
        if (file.size() > kLargestDrawingBytes) throw DrawingError(path, 0, tooLarge(QStringLiteral("The file")));
        const QByteArray text = file.readAll();
        if (text.isEmpty()) throw DrawingError(path, 0, QStringLiteral("File Is Empty"));
        return text;
    }
    const QByteArray root = "/vsizip/" + path.toUtf8();
    QByteArray main = root + "/doc.kml";
    VSIStatBufL stat;
    if (VSIStatL(main.constData(), &stat) != 0) {
        main.clear();
        char** names = VSIReadDirRecursive(root.constData());
        for (int i = 0; names && names[i] && main.isEmpty(); ++i)
            if (QByteArray(names[i]).toLower().endsWith(".kml")) main = root + '/' + names[i];
        CSLDestroy(names);
    }
    if (main.isEmpty()) throw DrawingError(path, 0, QStringLiteral("the archive holds no KML document"));
    if (VSIStatL(main.constData(), &stat) == 0 && stat.st_size > kLargestDrawingBytes)
        throw DrawingError(path, 0, tooLarge(QStringLiteral("The archive's KML document")));
    const QByteArray text = readVsi(main, path);
    if (text.isEmpty()) throw DrawingError(path, 0, QStringLiteral("the archive's KML document is empty or unreadable"));
    return text;
}

std::vector<Vertex> drawingVertices(const QByteArray& kml, const QString& file) {
    std::vector<Vertex> vertices;
    engine::lltoAlbers albers;
    QXmlStreamReader xml(kml);
    bool sawKml = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("kml")) sawKml = true;
        if (!xml.isStartElement() || xml.name() != QLatin1String("coordinates")) continue;
        const qint64 line = xml.lineNumber();
        const QString text = xml.readElementText(QXmlStreamReader::SkipChildElements);
        if (xml.hasError()) break;
        const QStringList tuples = text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        for (const QString& tuple : tuples) {
            const QStringList parts = tuple.split(u',');
            const auto lon = parts.size() >= 2 ? finite(parts[0]) : std::nullopt;
            const auto lat = parts.size() >= 2 ? finite(parts[1]) : std::nullopt;
            const bool altitudeOk = parts.size() == 2 || (parts.size() == 3 && finite(parts[2]));
            if (!lon || !lat || !altitudeOk || parts.size() > 3)
                throw DrawingError(file, line,
                                   QStringLiteral("\"%1\" is not longitude,latitude[,altitude]").arg(tuple.left(80)));
            if (std::abs(*lat) > 90 || std::abs(*lon) > 180)
                throw DrawingError(file, line, QStringLiteral("\"%1\" lies outside -180..180, -90..90").arg(tuple.left(80)));
            Vertex v;
            v.longitudeText = parts[0];
            v.latitudeText = parts[1];
            if (parts.size() == 3) v.altitudeText = parts[2];
            v.longitude = *lon;
            v.latitude = *lat;
            albers.ProjectAlbers(v.latitude, v.longitude);
            v.albersX = albers.AlbersX;
            v.albersY = albers.AlbersY;
            vertices.push_back(std::move(v));
        }
    }
    if (xml.hasError())
        throw DrawingError(file, xml.lineNumber(), QStringLiteral("not well-formed: %1").arg(xml.errorString()));
    if (!sawKml) throw DrawingError(file, 0, QStringLiteral("it is not a KML document"));
    return vertices;
}

double areaByCoordinates(const std::vector<double>& x, const std::vector<double>& y) {
    if (x.empty() || x.size() != y.size()) return 0;
    const std::size_t n = x.size() - 1;
    double prevX = x[n], prevY = 0, sum = 0;
    for (std::size_t i = 0; i <= n; ++i) {
        const double yi = y[i] - y[n];
        sum = sum + (prevX - x[i]) * (yi + prevY);
        prevX = x[i];
        prevY = yi;
    }
    return numbers::roundFixed(std::abs(sum) / 2 / kSquareMetresPerAcre, 2);
}

double perimeterByCoordinates(const std::vector<double>& x, const std::vector<double>& y) {
    if (x.empty() || x.size() != y.size()) return 0;
    const std::size_t n = x.size() - 1;
    double total = 0, prevX = x[n], prevY = y[n];
    for (std::size_t i = 0; i <= n; ++i) {
        total = total + std::sqrt((x[i] - prevX) * (x[i] - prevX) + (y[i] - prevY) * (y[i] - prevY));
        prevX = x[i];
        prevY = y[i];
    }
    const double closing = std::sqrt((x[0] - x[n]) * (x[0] - x[n]) + (y[0] - y[n]) * (y[0] - y[n]));
    return numbers::roundFixed(std::abs(total / kMetresPerMile - closing / kMetresPerMile), 2);
}

bool isClosedRing(const std::vector<Vertex>& v) {
    return v.size() > 1 && v.front().longitude == v.back().longitude && v.front().latitude == v.back().latitude;
}

}  // namespace waypost::kmlimport
