#pragma once

#include "conversion/LocationReceiver.h"
#include "features/FacilityRecord.h"
#include "output/KmlTemplateWriter.h"
#include "platform/Services.h"

#include <QWidget>
#include <memory>

namespace Ui {
class wpFac;
}
class QLabel;
class QPushButton;

namespace waypost {

class WindowRegistry;

/// Facilities and incidents: one point feature at a time (a facility, an ICS
/// feature or a forest-health observation), located through the conversion
/// page and written to record files, point shapefiles in the Albers grid and
/// KML.
class wpFac final : public QWidget, public LocationReceiver {
    Q_OBJECT
public:
    wpFac(const Services& services, WindowRegistry& registry, QWidget* parent = nullptr);
    ~wpFac() override;

    void receiveLocation(const LocationTexts& location) override;

    /// The feature as the window shows it now.
    FacilityValues values() const;
    /// The prefixed output path last computed (empty before the first).
    const QString& lastOutputPath() const { return m_outputPath; }

    static const QStringList& facilityTypes();
    static const QStringList& icsTypes();
    static const QStringList& forestHealthTypes();

protected:
    bool event(QEvent* event) override;

private:
    void optFac_Click();
    void optICS_Click();
    void optDisease_Click();
    void cmdfCoordCon_Click();
    void cmdEnableWriteFile_Click();
    void cmdAdNewdFac_Click();
    void cmdAppendFile_Click();
    void cmdWritefShape_Click();
    void appendfShape_Click();
    void cmdfKML_Click();
    void cmdClear_Click();
    void cmdfacDone_Click();

    void fillTypes(const QStringList& types);
    void enablefWrite();
    void disablefWrite();
    void copyFromPage();
    void clearLocation();
    void failed(const QString& message);
    QList<QLabel*> locationLabels() const;
    QList<QPushButton*> outputButtons() const;

    std::unique_ptr<Ui::wpFac> m_ui;
    Services m_services;
    WindowRegistry& m_registry;
    KmlTemplateWriter m_kml;
    QString m_outputPath;
    /// True from "Coordinate Conversion" until the location is cleared: only
    /// then does coming back to this window copy the page's results.
    bool m_locating = false;
};

}  // namespace waypost
