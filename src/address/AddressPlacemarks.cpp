#include "address/AddressPlacemarks.h"

#include "database/Database.h"
#include "output/TextCleaning.h"

#include <QXmlStreamReader>

namespace waypost {
namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kIconToken = QStringLiteral("IPIPIPIP");

}  // namespace

const QStringList& startTypes() {
    static const QStringList types{"Area Command",         "Federal Incident Command Team", "Forestry Air Depot",
                                   "Incident",             "Incident Command Post",         "Other Address",
                                   "Residence",            "Resource",                      "Staging Area",
                                   "State Incident Command Team", "DOT Fuel Station"};
    return types;
}

const QStringList& qrnTypes() {
    static const QStringList types{"Accident",         "Boundary Corner", "Building",
                                   "Forestry Center",  "Forestry Site",   "Forestry Station",
                                   "Parcel",           "Residence",       "Smoke Sensitive Feature",
                                   "State Forest Headquarters", "Tower",  "Other"};
    return types;
}

const QStringList& icsTypes() {
    static const QStringList types{"Aerial Hazard", "Camp",         "Fire Origin",   "First Aid Station",
                                   "Helibase",      "Hot Spot",     "Incident Base", "Incident Command Post",
                                   "Mobile WEAX Unit", "Staging Area", "Tanker Base", "Water Source",
                                   "DOT Fuel Site", "Residence",    "Other"};
    return types;
}

QString addressIcon(const QString& type) {
    struct Icon {
        const char* type;
        const char* file;
    };
    static const Icon icons[] = {
        {"Aerial Hazard", "av_obstaclea.png"},    {"Camp", "campa.png"},
        {"Fire Origin", "fire_origina.png"},      {"Helibase", "helibasea.png"},
        {"DOT Fuel Site", "dot_logo.png"},        {"Hot Spot", "hot_spotA.png"},
        {"Incident Base", "incident_basea.png"},  {"Incident Command Post", "icsa.png"},
        {"Mobile WEAX Unit", "weaxa.png"},        {"Staging Area", "staginga.png"},
        {"Water Source", "water_sourcea.png"},    {"Forestry Center", "SHIELD.png"},
        {"Forestry Site", "SHIELD.png"},          {"Forestry Station", "SHIELD.png"},
        {"State Forest Headquarters", "SHIELD.png"}, {"Smoke Sensitive Feature", "ssf.png"},
        {"Tanker Base", "tanker_base.png"},       {"First Aid Station", "faids.png"},
        {"Accident", "accident.png"},             {"Tower", "towera.png"},
    };
    for (const Icon& icon : icons)
        if (type == QLatin1String(icon.type)) return QLatin1String(icon.file);
    return QStringLiteral("other.png");
}

QString addressHeader() {
    return QStringList{QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"),
                       QStringLiteral("<kml xmlns=\"http://www.opengis.net/kml/2.2\">"),
                       QStringLiteral("<Document>"),
                       QStringLiteral("<name>Address List</name>"),
                       QStringLiteral("<Folder>"),
                       QStringLiteral("<name>Locations</name>"),
                       QStringLiteral("<open>1</open>")}
        .join(kCrLf);
}

QString addressFooter() {
    return kCrLf + QStringLiteral("</Folder>") + kCrLf + QStringLiteral("</Document>") + kCrLf +
           QStringLiteral("</kml>");
}

QString iconStyle(const QString& iconTemplate, const QString& iconPath) {
    QString style = iconTemplate;
    return style.replace(kIconToken, xmlEscaped(iconPath));
}

QString placemarkText(const AddressPlacemark& p, const QString& style) {
    QString description;
    if (p.link) {
        // HTML in CDATA; the link inside a quoted href.
        QString href = xmlCharactersOnly(*p.link);
        href.replace(u'"', QStringLiteral("&quot;"));
        description = QStringLiteral("<description><![CDATA[<br>") + cdataSafe(p.name.toHtmlEscaped()) +
                      QStringLiteral("</br><br><a href=\"") + cdataSafe(href) +
                      QStringLiteral("\">Display Link</a></br>]]></description>");
    } else {
        description = QStringLiteral("<description>") + xmlEscaped(p.name) + QStringLiteral("</description>");
    }
    const QString address = QStringLiteral("<address>") +
                            xmlEscaped(p.street + u',' + p.city + u',' + p.state + u' ' + p.zip) +
                            QStringLiteral("</address>");
    const QString name = QStringLiteral("<name>") + xmlEscaped(p.type) + QStringLiteral("</name>");
    return QStringList{QStringLiteral("<Placemark>"), description, address, name, style,
                       QStringLiteral("</Placemark>")}
        .join(kCrLf);
}

QString xmlProblem(const QString& document) {
    QXmlStreamReader xml(document);
    while (!xml.atEnd()) xml.readNext();
    if (!xml.hasError()) return {};
    return QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
}

std::optional<ZipCity> lookUpZip(const QString& path, const QString& zip) {
    database::Database db(path.toStdString(), database::Database::Mode::ReadOnly);
    const bool hasState = [&] {
        for (const database::ColumnInfo& column : db.tableColumns("zipcodeq"))
            if (QString::fromStdString(column.name).compare(QLatin1String("STATE"), Qt::CaseInsensitive) == 0)
                return true;
        return false;
    }();
    // Text or number, with or without leading zeros: compared as whole numbers.
    database::Statement query = db.prepare(hasState ? "SELECT \"CITY\", \"STATE\" FROM \"zipcodeq\" WHERE "
                                                      "CAST(\"ZIP_CODE\" AS INTEGER) = CAST(? AS INTEGER) LIMIT 1"
                                                    : "SELECT \"CITY\" FROM \"zipcodeq\" WHERE "
                                                      "CAST(\"ZIP_CODE\" AS INTEGER) = CAST(? AS INTEGER) LIMIT 1");
    query.bind(1, zip.trimmed().toStdString());
    if (!query.step()) return std::nullopt;
    return ZipCity{QString::fromStdString(query.columnText(0)),
                   hasState ? QString::fromStdString(query.columnText(1)) : QString()};
}

}  // namespace waypost
