#pragma once
// What tests of windows and outputs share: scripted services, files read back,
// a sample location.

#include "platform/ScriptedPrompter.h"
#include "platform/Services.h"
#include "widgets/LocationReceiver.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>

namespace waypost::test {

/// Services with every answer scripted, a fixed clock (14 September 2026,
/// 14:30) and time zone, the program's data from the source tree and the logs
/// in a fresh folder that is also the tests' output folder.
struct TestServices {
    QTemporaryDir out;
    ScriptedPrompter prompter;
    FixedClock clock{QDateTime(QDate(2026, 9, 14), QTime(14, 30))};
    FixedTimeZone zone{QStringLiteral("Eastern Standard Time"), QStringLiteral("Eastern Daylight Time"), true,
                       -5 * 3600};
    ProgramPaths paths;
    Services services{prompter, clock, zone, paths};

    explicit TestServices(const QString& dataDir = QStringLiteral(WAYPOST_SOURCE_DIR "/data"))
        : paths(dataDir, out.filePath(QStringLiteral("logs"))) {}
    QString path(const QString& name) const { return out.filePath(name); }
};

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QStringList filesIn(const QString& dir) { return QDir(dir).entryList(QDir::Files, QDir::Name); }

/// A location as the conversion page hands it to a window.
inline engine::Location sampleLocation() {
    engine::Location at;
    at.latitude = 30.5;
    at.longitude = -84.25;
    at.albersX = 376025;
    at.albersY = 721400;
    at.utm = "16R 761158 3370495";
    at.usng = "16R GU 61158 70495";
    return at;
}

/// What a KML file says of its placemarks, read with an XML parser.
struct KmlContent {
    QString error;  ///< empty when the file is well-formed
    QStringList names, iconHrefs, coordinates, descriptions;
};

inline KmlContent readKml(const QString& path) {
    KmlContent kml;
    QXmlStreamReader xml(readAll(path));
    QStringList context;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) context << xml.name().toString();
        else if (xml.isEndElement()) context.removeLast();
        else if ((xml.isCharacters() || xml.isCDATA()) && !xml.isWhitespace() && !context.isEmpty()) {
            const QString& element = context.last();
            const QString text = xml.text().toString().trimmed();
            if (element == QLatin1String("name") && context.contains(QLatin1String("Placemark"))) kml.names << text;
            else if (element == QLatin1String("href") && context.contains(QLatin1String("Icon"))) kml.iconHrefs << text;
            else if (element == QLatin1String("coordinates")) kml.coordinates << text;
            else if (element == QLatin1String("description")) kml.descriptions << text;
        }
    }
    if (xml.hasError()) kml.error = xml.errorString();
    return kml;
}

}  // namespace waypost::test
