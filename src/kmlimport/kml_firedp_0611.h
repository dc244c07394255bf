#pragma once

#include "kmlimport/KmlImport.h"
#include "platform/Services.h"

#include <QWidget>
#include <memory>

namespace Ui {
class kml_firedp_0611;
}

namespace waypost {

/// KML Conversion: a shape drawn in Google Earth (a fire perimeter, a dozer
/// line, a treatment area, a facility or an incident) turned into an
/// attributed shapefile with its calculated acres and miles.
class kml_firedp_0611 final : public QWidget {
    Q_OBJECT
public:
    explicit kml_firedp_0611(const Services& services, QWidget* parent = nullptr);
    ~kml_firedp_0611() override;

    /// The attributes as the window shows them now.
    kmlimport::Attributes attributes() const;

private:
    void chooseKind(kmlimport::FeatureKind kind);
    void setConversionEnabled(bool enabled);
    void CmdEnable_Click();
    void cmdFireTab_Click();
    void convert();
    void cmdClear_Click();

    std::unique_ptr<Ui::kml_firedp_0611> m_ui;
    Services m_services;
    kmlimport::FeatureKind m_kind = kmlimport::FeatureKind::Wildfire;
    QString m_typeWord = QStringLiteral("Feature Type");
    QString m_report;
    QString m_significant;
};

}  // namespace waypost
