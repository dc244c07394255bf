#pragma once

#include "output/KmlPlacemark.h"
#include "output/KmlTemplateWriter.h"
#include "platform/Services.h"
#include "widgets/FeatureOutputs.h"

#include <QWidget>
#include <memory>

namespace Ui {
class frmDBMan;
}

namespace waypost {

class LocationLink;
class OutputButtons;
class WindowRegistry;

/// Wildfires: one wildfire report at a time (name, incident, report type,
/// dates, area, fuel, cause, percent contained, significance), located
/// through the conversion page and written to record files, point shapefiles
/// in the Albers grid and KML.
class frmDBMan final : public QWidget {
    Q_OBJECT
public:
    frmDBMan(const Services& services, WindowRegistry& registry, QWidget* parent = nullptr);
    ~frmDBMan() override;

    /// The report as the window shows it now.
    WildfireFeature values() const;
    /// The prefixed output path last computed (empty before the first).
    const QString& lastOutputPath() const { return m_outputs.lastNewPath(); }
    /// The window's end of the hand-back from the conversion page.
    LocationLink& location() { return *m_location; }

private:
    void cmdCoordCon_Click();
    void CmdEnable_Click();
    void cmdAdNewdFire_Click();
    void cmdAppendFile_Click();
    void cmdWriteShape_Click();
    void cmdAppendSHape_Click();
    void cmdwKML_Click();
    void cmdClear_Click();
    void cmdQuit_Click();

    /// Writes the shapefile record, new or appended, once the area and the dates convert.
    void writeShape(bool append);
    void setDatesToToday();

    std::unique_ptr<Ui::frmDBMan> m_ui;
    Services m_services;
    KmlTemplateWriter m_kml;
    FeatureOutputs m_outputs;
    LocationLink* m_location;
    OutputButtons* m_outputButtons;
    QString m_report;        ///< "Initial", "Update", "Final", or empty before one is chosen
    QString m_significance;  ///< "Yes", "No", or empty
};

}  // namespace waypost
