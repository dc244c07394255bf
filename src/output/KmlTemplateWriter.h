#pragma once

#include "output/KmlPlacemark.h"
#include "output/PointFile.h"
#include "platform/Services.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace waypost {

/// Turns one feature into a KML file for Google Earth by filling a template
/// from the data folder's templates/: asks for the file (and about
/// overwriting), the template and an optional link, then writes the finished
/// file in one piece. Each window keeps its own writer, which remembers the
/// last file chosen and starts its dialog there.
class KmlTemplateWriter {
public:
    enum class Outcome { Written, Cancelled, Failed };

    /// The placeholder tokens, in the order they are looked for.
    static inline const QString kNameToken = QStringLiteral("NNNNNNN");
    static inline const QString kDescriptionToken = QStringLiteral("QQQQQ");
    static inline const QString kLongitudeToken = QStringLiteral("YYY");
    static inline const QString kLatitudeToken = QStringLiteral("XX");
    static inline const QString kIconToken = QStringLiteral("ZZZZZ");
    static inline const QString kRangeToken = QStringLiteral("<range>1000</range>");

    /// Texts put in place of the tokens.
    struct Fill {
        QString name, description, longitude, latitude, iconPath, range;
    };

    explicit KmlTemplateWriter(const Services& services);

    /// Runs the whole exchange with the user and writes the file. A cancelled
    /// dialog ends it silently; a failure shows one message naming the file.
    /// With \p point the dialog also offers GPX, GeoJSON and GeoPackage, and a
    /// name in one of those is written as that point (no template, no link).
    Outcome write(const KmlPlacemark& placemark, const std::optional<PointFeature>& point = std::nullopt);

    /// The file chosen last (empty before the first).
    const QString& lastPath() const { return m_lastPath; }

    /// The link item's HTML; 27 characters long for an empty link.
    static QString linkHtml(const QString& linkText);
    /// The description: each item as <br>item</br>, then the link HTML if any.
    static QString descriptionHtml(const QStringList& items, const QString& link);
    /// Fills \p templateText in one pass: every token is replaced where the
    /// template has it, and nothing inserted is searched again. Text goes in
    /// escaped for XML; the description goes inside CDATA.
    static QString fillTemplate(const QString& templateText, const Fill& fill);

private:
    QString askForLink();
    void failed(const QString& message);

    Services m_services;
    QString m_lastPath;
};

}  // namespace waypost
