#pragma once

#include "platform/Services.h"

#include <QWidget>
#include <memory>

namespace Ui {
class frmAbout;
}

namespace waypost {

/// Product name, version, a disclaimer and the versions of the libraries the
/// program runs on.
class frmAbout final : public QWidget {
    Q_OBJECT
public:
    explicit frmAbout(const Services& services, QWidget* parent = nullptr);
    ~frmAbout() override;

    /// The text "System Info" shows: library versions and the program's folders.
    QString systemInfoText() const;

private:
    void cmdSysInfo_Click();
    void cmdOK_Click();

    std::unique_ptr<Ui::frmAbout> m_ui;
    Services m_services;
};

}  // namespace waypost
