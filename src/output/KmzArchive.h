#pragma once
// KMZ: a KML document zipped with the icons it shows, so that a placemark
// keeps its icon on another computer.

#include "platform/FileWriting.h"

#include <QString>
#include <QStringList>

namespace waypost {

/// The "Save KML File" dialogs' filter: KML first, then KMZ.
inline const QString kKmlOrKmzFilter = QStringLiteral("KML Files (*.kml);;KMZ Files (*.kmz)");

/// Whether \p path names a KMZ archive (by its extension, in any case).
bool isKmzPath(const QString& path);

/// The document as it lies inside the archive: every icon reference into
/// \p iconsDir ("<href>/usr/share/waypost/icons/campa.png</href>") made
/// relative ("<href>icons/campa.png</href>"). \p iconFiles receives the icon
/// file names used, each once, in the order first met.
QString kmzDocument(const QString& kml, const QString& iconsDir, QStringList& iconFiles);

/// Writes the archive \p path: "doc.kml" holding \p document, then
/// "icons/<name>" for each of \p iconFiles read from \p iconsDir. The archive
/// is built under a temporary name beside \p path and renamed over it only
/// when complete: a failure leaves no partial archive and an earlier file as it was.
WriteResult writeKmz(const QString& path, const QString& document, const QString& iconsDir,
                     const QStringList& iconFiles);

/// Writes \p kml to \p path: as a KMZ with its icons when the path ends in
/// .kmz, otherwise as the KML itself; atomically either way.
WriteResult writeKmlOrKmz(const QString& path, const QString& kml, const QString& iconsDir);

}  // namespace waypost
