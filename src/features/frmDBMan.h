#pragma once

#include "output/KmlPlacemark.h"
#include "platform/Services.h"
#include "widgets/FeatureForm.h"

#include <QWidget>
#include <memory>

namespace Ui {
class frmDBMan;
}

namespace waypost {

class WindowRegistry;

/// Wildfires: one wildfire report at a time (name, incident, report type,
/// dates, area, fuel, cause, percent contained, significance), located
/// through the conversion page and written to record files, point shapefiles
/// in the Albers grid and KML.
class frmDBMan final : public FeatureWindow {
    Q_OBJECT
public:
    frmDBMan(const Services& services, WindowRegistry& registry, QWidget* parent = nullptr);
    ~frmDBMan() override;

    /// The report as the window shows it now.
    WildfireFeature values() const;

private:
    void cmdClear_Click();
    void cmdQuit_Click();
    void setDatesToToday();

    std::unique_ptr<Ui::frmDBMan> m_ui;
    Services m_services;
    QString m_report;        ///< "Initial", "Update", "Final", or empty before one is chosen
    QString m_significance;  ///< "Yes", "No", or empty
};

}  // namespace waypost
