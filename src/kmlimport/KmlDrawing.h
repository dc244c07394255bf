#pragma once
// A drawing made in Google Earth, read from a KML or KMZ file: every vertex
// of every <coordinates> element in document order, as one sequence, and its
// measures on the state Albers grid.

#include <QString>

#include <stdexcept>
#include <vector>

namespace waypost::kmlimport {

/// One vertex as the file gives it, and projected.
struct Vertex {
    QString longitudeText, latitudeText, altitudeText;  ///< as written in the KML (altitude may be empty)
    double longitude = 0, latitude = 0;
    double albersX = 0, albersY = 0;  ///< whole metres
};

/// A file that cannot be read as a drawing: the file, the line and the reason.
class DrawingError : public std::runtime_error {
public:
    DrawingError(const QString& file, qint64 line, const QString& reason);
    const QString& file() const { return m_file; }
    qint64 line() const { return m_line; }
    const QString& reason() const { return m_reason; }

private:
    QString m_file;
    qint64 m_line;
    QString m_reason;
};

/// The largest KML document read, in bytes (unpacked, for a KMZ): far above
/// any drawing (a 200,000-vertex perimeter is about 8 MB), far below what
/// would exhaust a desk's memory.
inline constexpr qint64 kLargestDrawingBytes = 256LL * 1024 * 1024;

/// The KML text of \p path: the file itself, or the main document of a KMZ
/// archive (doc.kml, else its first .kml), refused past kLargestDrawingBytes.
/// \throws DrawingError.
QByteArray kmlDocument(const QString& path);

/// The vertices of every <coordinates> element of \p kml, in document order,
/// whatever the line breaks. Each tuple must be longitude,latitude[,altitude]
/// with finite numbers within range. \throws DrawingError naming \p file.
std::vector<Vertex> drawingVertices(const QByteArray& kml, const QString& file);

/// Acres enclosed by the vertices (shoelace over the Albers grid, the closing
/// edge included), rounded to two decimals.
double areaByCoordinates(const std::vector<double>& x, const std::vector<double>& y);
/// Statute miles along the vertices in order (the closing edge excluded),
/// rounded to two decimals.
double perimeterByCoordinates(const std::vector<double>& x, const std::vector<double>& y);

/// Whether a path is a closed ring: first and last vertices equal in both coordinates.
bool isClosedRing(const std::vector<Vertex>& vertices);

}  // namespace waypost::kmlimport
