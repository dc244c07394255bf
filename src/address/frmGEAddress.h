#pragma once

#include "address/AddressPlacemarks.h"
#include "platform/Services.h"

#include <QWidget>
#include <memory>

namespace Ui {
class frmGEAddress;
}

namespace waypost {

/// Facility addresses: facilities placed by postal address, gathered as
/// placemarks of one KML document that Google Earth geocodes. The document
/// grows in the window (to be read, or edited once unlocked) and is written
/// with its closing tags by "&Create KML".
class frmGEAddress final : public QWidget {
    Q_OBJECT
public:
    explicit frmGEAddress(const Services& services, QWidget* parent = nullptr);
    ~frmGEAddress() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillTypes(const QStringList& types);
    void readStates();
    void setZipSearchEnabled(bool enabled);
    void setCreateEnabled(bool enabled);
    void meZip_Validate();
    void cmdZipSearch_Click();
    /// The zip code's city and state in the agency database, when its look-ups are chosen there.
    std::optional<ZipCity> zipOnServer(const QString& zip);
    void cmdEnableKML_Click();
    /// The link questions: a link (possibly empty), or nothing for a description without one.
    std::optional<QString> askForLink();
    void chkKMLEd_Click(bool checked);
    void cmdCreateKML_Click();
    void cmdClear_Click();

    std::unique_ptr<Ui::frmGEAddress> m_ui;
    Services m_services;
};

}  // namespace waypost
