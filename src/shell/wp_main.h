#pragma once

#include "platform/Services.h"

#include <QMainWindow>
#include <memory>

namespace Ui {
class wp_main;
}

namespace waypost {

class WindowRegistry;

/// The main menu: one button and one menu entry per job, each opening that
/// job's window through the registry. Quitting unloads the program's windows.
class wp_main final : public QMainWindow {
    Q_OBJECT
public:
    wp_main(const Services& services, WindowRegistry& registry, QWidget* parent = nullptr);
    ~wp_main() override;

    /// Enables each button and menu entry whose window the program has.
    void refreshJobs();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void cmdPmfire_Click();
    void cmdPMfacilities_Click();
    void cmdPMHurricanes_Click();
    void cmdPMAddress_Click();
    void cmdPMKPoly_Click();
    void cmdBatch_Click();
    void cmdBatLLUSNG_Click();
    void cmdPMquit_Click();
    void mnuAbout_Click();
    void mnuAgency_Click();
    void loadPictures();

    std::unique_ptr<Ui::wp_main> m_ui;
    Services m_services;
    WindowRegistry& m_registry;
};

}  // namespace waypost
