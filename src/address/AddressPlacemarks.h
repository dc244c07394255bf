#pragma once
// The address list's KML: facilities placed by their postal address (Google
// Earth geocodes the address element), the type lists and icons, and the
// zip-code look-up.

#include <QString>
#include <QStringList>

#include <optional>

namespace waypost {

/// The type lists: at start and after a clear, for QRN facilities, for ICS facilities.
const QStringList& startTypes();
const QStringList& qrnTypes();
const QStringList& icsTypes();

/// The icon file of a type (exact match), "other.png" for any other text.
QString addressIcon(const QString& type);

/// One placemark as the window composes it.
struct AddressPlacemark {
    QString name, type, street, city, state, zip;
    std::optional<QString> link;  ///< with a link (possibly empty) or without
};

/// The document's opening lines, the KML 2.2 namespace on the start tag (CR LF between lines, none at the end).
QString addressHeader();
/// The closing tags the written file ends with: CR LF, "</Folder>", "</Document>", "</kml>".
QString addressFooter();
/// The icon style: \p iconTemplate with every "IPIPIPIP" replaced by \p iconPath (escaped for XML).
QString iconStyle(const QString& iconTemplate, const QString& iconPath);
/// One placemark's lines, "<Placemark>" to "</Placemark>", with every text
/// escaped where it stands and a description with a link in CDATA.
QString placemarkText(const AddressPlacemark& placemark, const QString& style);

/// Where an edited document is not well-formed XML, as "line N: reason";
/// empty when it is.
QString xmlProblem(const QString& document);

/// A city (and its state) found for a zip code.
struct ZipCity {
    QString city;
    QString state;  ///< empty when the database has no state column
};
/// Looks \p zip up in table zipcodeq of the database at \p path; zip codes
/// stored or typed with leading zeros match ("01001" finds 1001 and "01001").
/// \throws database::DatabaseError when the database cannot be read.
std::optional<ZipCity> lookUpZip(const QString& path, const QString& zip);

}  // namespace waypost
