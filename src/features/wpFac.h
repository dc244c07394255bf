#pragma once

#include "output/KmlPlacemark.h"
#include "platform/Services.h"
#include "widgets/FeatureForm.h"

#include <QWidget>
#include <memory>

namespace Ui {
class wpFac;
}

namespace waypost {

class WindowRegistry;

/// Facilities and incidents: one point feature at a time (a facility, an ICS
/// feature or a forest-health observation), located through the conversion
/// page and written to record files, point shapefiles in the Albers grid and
/// KML.
class wpFac final : public FeatureWindow {
    Q_OBJECT
public:
    wpFac(const Services& services, WindowRegistry& registry, QWidget* parent = nullptr);
    ~wpFac() override;

    /// The feature as the window shows it now.
    FacilityFeature values() const;

private:
    void optFac_Click();
    void optICS_Click();
    void optDisease_Click();
    void fillTypes(const QStringList& types);
    void clearFields();

    std::unique_ptr<Ui::wpFac> m_ui;
};

}  // namespace waypost
