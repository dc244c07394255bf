#pragma once

#include "agency/AgencyDatabase.h"
#include "platform/Services.h"

#include <QWidget>
#include <memory>

namespace Ui {
class frmAgency;
}

namespace waypost {

/// Where the agency's shared database is: a service name or host, port,
/// database and user, tested in words and kept for the next runs (never the
/// password).
class frmAgency final : public QWidget {
    Q_OBJECT
public:
    explicit frmAgency(const Services& services, QWidget* parent = nullptr);
    ~frmAgency() override;

    /// The settings as the fields hold them.
    agency::ConnectionSettings settings() const;

private:
    void cmdTest_Click();
    void cmdSave_Click();
    void showVerdict(const agency::Verdict& verdict);

    std::unique_ptr<Ui::frmAgency> m_ui;
    Services m_services;
};

}  // namespace waypost
