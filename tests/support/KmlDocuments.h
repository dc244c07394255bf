#pragma once
// Google Earth drawings for the KML import's tests: rings near Tallahassee as
// "longitude,latitude" tuples, and the documents and KMZ archives holding them.

#include <QByteArray>
#include <QString>

#include <cpl_vsi.h>

namespace waypost::test {

/// A square of 1e-4 square degrees; a hole of 4e-6 in it, drawn counter-clockwise
/// and clockwise; a square of the same size beside it.
inline const QByteArray kSquare = "-84.25,30.5 -84.24,30.5 -84.24,30.51 -84.25,30.51 -84.25,30.5";
inline const QByteArray kHole = "-84.248,30.502 -84.246,30.502 -84.246,30.504 -84.248,30.504 -84.248,30.502";
inline const QByteArray kHoleOtherWay = "-84.248,30.502 -84.248,30.504 -84.246,30.504 -84.246,30.502 -84.248,30.502";
inline const QByteArray kOther = "-84.2,30.5 -84.19,30.5 -84.19,30.51 -84.2,30.51 -84.2,30.5";
/// A GPS track through -84.3,30.5 -84.31,30.51 -84.32,30.51.
inline const QByteArray kTrack =
    "<Placemark><gx:Track><when>2026-09-14T10:00:00Z</when><when>2026-09-14T10:01:00Z</when>"
    "<when>2026-09-14T10:02:00Z</when><gx:coord>-84.3 30.5 0</gx:coord><gx:coord>-84.31 30.51 0</gx:coord>"
    "<gx:coord>-84.32 30.51 0</gx:coord></gx:Track></Placemark>";

inline QByteArray placemark(const QByteArray& geometry) { return "<Placemark>" + geometry + "</Placemark>"; }
inline QByteArray line(const QByteArray& tuples) {
    return placemark("<LineString><coordinates>\n" + tuples + "\n</coordinates></LineString>");
}
inline QByteArray polygon(const QByteArray& outer, const QByteArray& hole = {}) {
    const auto ring = [](const QByteArray& tuples) {
        return "<LinearRing><coordinates>" + tuples + "</coordinates></LinearRing>";
    };
    return "<Polygon><outerBoundaryIs>" + ring(outer) + "</outerBoundaryIs>" +
           (hole.isEmpty() ? QByteArray() : "<innerBoundaryIs>" + ring(hole) + "</innerBoundaryIs>") + "</Polygon>";
}
inline QByteArray document(const QByteArray& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\" "
           "xmlns:gx=\"http://www.google.com/kml/ext/2.2\"><Document>\n" + body + "\n</Document></kml>\n";
}

/// A KMZ at \p path whose doc.kml is \p head, \p repeat times \p block, then
/// \p tail; false when it is not written whole.
inline bool writeKmz(const QString& path, const QByteArray& head, const QByteArray& block = {}, qint64 repeat = 0,
                     const QByteArray& tail = {}) {
    VSILFILE* member = VSIFOpenL(("/vsizip/" + path.toUtf8() + "/doc.kml").constData(), "wb");
    const auto write = [&](const QByteArray& bytes) {
        return VSIFWriteL(bytes.constData(), 1, size_t(bytes.size()), member) == size_t(bytes.size());
    };
    bool written = member && write(head);
    for (qint64 i = 0; written && i < repeat; ++i) written = write(block);
    written = written && write(tail);
    return member && VSIFCloseL(member) == 0 && written;
}

}  // namespace waypost::test
