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
class frmDBMan final : public QWidget {
    Q_OBJECT
public:
    frmDBMan(const Services& services, WindowRegistry& registry, QWidget* parent = nullptr);
    ~frmDBMan() override;

    /// The report as the window shows it now.
    WildfireFeature values() const;
    /// The prefixed output path last computed (empty before the first).
    const QString& lastOutputPath() const { return m_form->lastOutputPath(); }
    /// The window's end of the hand-back from the conversion page.
    LocationLink& location() { return m_form->link(); }

private:
    void cmdClear_Click();
    void cmdQuit_Click();
    void setDatesToToday();

    std::unique_ptr<Ui::frmDBMan> m_ui;
    Services m_services;
    FeatureForm* m_form;
    QString m_report;        ///< "Initial", "Update", "Final", or empty before one is chosen
    QString m_significance;  ///< "Yes", "No", or empty
};

}  // namespace waypost
