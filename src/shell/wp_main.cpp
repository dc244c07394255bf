#include "shell/wp_main.h"

#include "platform/WindowRegistry.h"
#include "ui_wp_main.h"

#include <QCloseEvent>
#include <QPixmap>

namespace waypost {

wp_main::wp_main(const Services& services, WindowRegistry& registry, QWidget* parent)
    : QMainWindow(parent), m_ui(std::make_unique<Ui::wp_main>()), m_services(services), m_registry(registry) {
    m_ui->setupUi(this);
    QFont greet = m_ui->wp_greet->font();
    greet.setPointSizeF(greet.pointSizeF() * 1.6);
    greet.setBold(true);
    m_ui->wp_greet->setFont(greet);
    loadPictures();

    connect(m_ui->cmdPmfire, &QPushButton::clicked, this, &wp_main::cmdPmfire_Click);
    connect(m_ui->cmdPMfacilities, &QPushButton::clicked, this, &wp_main::cmdPMfacilities_Click);
    connect(m_ui->cmdPMHurricanes, &QPushButton::clicked, this, &wp_main::cmdPMHurricanes_Click);
    connect(m_ui->cmdPMAddress, &QPushButton::clicked, this, &wp_main::cmdPMAddress_Click);
    connect(m_ui->cmdPMKPoly, &QPushButton::clicked, this, &wp_main::cmdPMKPoly_Click);
    connect(m_ui->cmdBatch, &QPushButton::clicked, this, &wp_main::cmdBatch_Click);
    connect(m_ui->cmdBatLLUSNG, &QPushButton::clicked, this, &wp_main::cmdBatLLUSNG_Click);
    connect(m_ui->cmdPMquit, &QPushButton::clicked, this, &wp_main::cmdPMquit_Click);

    // The menu entries open the same windows as the buttons.
    connect(m_ui->mnuwildfires, &QAction::triggered, this, &wp_main::cmdPmfire_Click);
    connect(m_ui->mnuFacilitues, &QAction::triggered, this, &wp_main::cmdPMfacilities_Click);
    connect(m_ui->mnuHurricanes, &QAction::triggered, this, &wp_main::cmdPMHurricanes_Click);
    connect(m_ui->mnuFacAdd, &QAction::triggered, this, &wp_main::cmdPMAddress_Click);
    connect(m_ui->mnuKML, &QAction::triggered, this, &wp_main::cmdPMKPoly_Click);
    connect(m_ui->mnuBatUL, &QAction::triggered, this, &wp_main::cmdBatLLUSNG_Click);
    connect(m_ui->mnuBatlU, &QAction::triggered, this, &wp_main::cmdBatch_Click);
    connect(m_ui->mnuExit, &QAction::triggered, this, &wp_main::cmdPMquit_Click);
    connect(m_ui->mnuAbout, &QAction::triggered, this, &wp_main::mnuAbout_Click);
    connect(m_ui->mnuAgency, &QAction::triggered, this, &wp_main::mnuAgency_Click);

    refreshJobs();
}

wp_main::~wp_main() = default;

void wp_main::refreshJobs() {
    // A job whose window the program does not have yet stays visible but disabled.
    const auto has = [this](const QString& name) { return m_registry.isRegistered(name); };
    m_ui->cmdPmfire->setEnabled(has(windowName::frmDBMan));
    m_ui->mnuwildfires->setEnabled(has(windowName::frmDBMan));
    m_ui->cmdPMfacilities->setEnabled(has(windowName::wpFac));
    m_ui->mnuFacilitues->setEnabled(has(windowName::wpFac));
    m_ui->cmdPMHurricanes->setEnabled(has(windowName::wpHcane));
    m_ui->mnuHurricanes->setEnabled(has(windowName::wpHcane));
    m_ui->cmdPMAddress->setEnabled(has(windowName::frmGEAddress));
    m_ui->mnuFacAdd->setEnabled(has(windowName::frmGEAddress));
    m_ui->cmdPMKPoly->setEnabled(has(windowName::kml_firedp_0611));
    m_ui->mnuKML->setEnabled(has(windowName::kml_firedp_0611));
    m_ui->cmdBatch->setEnabled(has(windowName::frmdatabase));
    m_ui->mnuBatlU->setEnabled(has(windowName::frmdatabase));
    m_ui->cmdBatLLUSNG->setEnabled(has(windowName::frmbatLLtoUSNG));
    m_ui->mnuBatUL->setEnabled(has(windowName::frmbatLLtoUSNG));
    m_ui->mnuAbout->setEnabled(has(windowName::frmAbout));
    m_ui->mnuAgency->setEnabled(has(windowName::frmAgency));
}

void wp_main::loadPictures() {
    const QPixmap first(QStringLiteral(":/shell/wp_main_image1.png"));
    const QPixmap second(QStringLiteral(":/shell/wp_main_image2.png"));
    m_ui->Image1->setPixmap(first);
    m_ui->Image2->setPixmap(second);
    m_ui->Image1->setVisible(!first.isNull());
    m_ui->Image2->setVisible(!second.isNull());
}

void wp_main::cmdPmfire_Click() { m_registry.show(windowName::frmDBMan); }
void wp_main::cmdPMfacilities_Click() { m_registry.show(windowName::wpFac); }
void wp_main::cmdPMHurricanes_Click() { m_registry.show(windowName::wpHcane); }
void wp_main::cmdPMAddress_Click() { m_registry.show(windowName::frmGEAddress); }
void wp_main::cmdPMKPoly_Click() { m_registry.show(windowName::kml_firedp_0611); }
void wp_main::cmdBatch_Click() { m_registry.show(windowName::frmdatabase); }
void wp_main::cmdBatLLUSNG_Click() { m_registry.show(windowName::frmbatLLtoUSNG); }
void wp_main::cmdPMquit_Click() { m_registry.UnloadAllForms(QString()); }
void wp_main::mnuAbout_Click() { m_registry.show(windowName::frmAbout); }
void wp_main::mnuAgency_Click() { m_registry.show(windowName::frmAgency); }

void wp_main::closeEvent(QCloseEvent* event) {
    // Closing by the frame quits like Exit; when the registry is already
    // unloading, this is the last step of that and needs nothing more.
    if (!m_registry.isUnloadingAll()) m_registry.UnloadAllFormsWhileClosing(this);
    event->accept();
}

}  // namespace waypost
