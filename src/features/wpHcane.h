#pragma once

#include "output/KmlPlacemark.h"
#include "platform/Services.h"
#include "widgets/FeatureForm.h"

#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>

namespace Ui {
class wpHcane;
}

namespace waypost {

class WindowRegistry;

/// Hurricanes: one storm position at a time (name, report date, actual or
/// forecast, UTC hour, day and month with the local time, winds in miles per
/// hour and knots with the category), located through the conversion page
/// and written to record files, point shapefiles in WGS 84 and KML.
class wpHcane final : public FeatureWindow {
    Q_OBJECT
public:
    wpHcane(const Services& services, WindowRegistry& registry, QWidget* parent = nullptr);
    ~wpHcane() override;

    /// The position as the window shows it now.
    HurricaneFeature values() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void HscrHour_Change(int hour);
    void HscrDay_Change(int day);
    void HscrMon_Change(int month);
    void daySetter(int month);
    void ConvertUTC();
    void sldHwind_Change(int mph);
    /// The slider, knots and category follow the speed box (while it holds a speed the slider can show).
    void followWindBox();
    void txtHwind_Validate();
    /// The box's speed when the slider can show it.
    std::optional<std::int64_t> windsOnSlider(const QString& text) const;
    void cmbName_Change(const QString& name);
    void cmdCvrtKts_Click();
    void cmdCkts_Click();
    void clearPosition();
    void showWinds(int mph);

    std::unique_ptr<Ui::wpHcane> m_ui;
    Services m_services;
    QString m_positionType;  ///< "Actual", "Forecast", or empty before one is chosen
    int m_mph = 0;
    int m_hour = 0;   ///< the UTC hour, day and month chosen on the scroll bars
    int m_day = 1;
    int m_month = 1;
    bool m_boxDriving = false;  ///< the speed box moves the slider: the slider leaves the box alone
};

}  // namespace waypost
