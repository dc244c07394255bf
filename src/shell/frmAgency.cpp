#include "shell/frmAgency.h"

#include "agency/AgencySettings.h"
#include "ui_frmAgency.h"
#include "widgets/AgencyAccess.h"
#include "widgets/Look.h"

#include <QIntValidator>

namespace waypost {

frmAgency::frmAgency(const Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui::frmAgency>()), m_services(services) {
    auto& ui = *m_ui;
    ui.setupUi(this);
    ui.txtPort->setValidator(new QIntValidator(1, 65535, ui.txtPort));
    const agency::ConnectionSettings saved = agency::savedSettings();
    ui.txtService->setText(saved.service);
    ui.txtHost->setText(saved.host);
    ui.txtPort->setText(saved.port);
    ui.txtDatabase->setText(saved.database);
    ui.txtUser->setText(saved.user);
    ui.chkSections->setChecked(saved.lookUps);
    connect(ui.cmdTest, &QPushButton::clicked, this, &frmAgency::cmdTest_Click);
    connect(ui.cmdSave, &QPushButton::clicked, this, &frmAgency::cmdSave_Click);
    connect(ui.cmdCancel, &QPushButton::clicked, this, &QWidget::close);
}

frmAgency::~frmAgency() = default;

agency::ConnectionSettings frmAgency::settings() const {
    const auto& ui = *m_ui;
    return {ui.txtService->text().trimmed(), ui.txtHost->text().trimmed(), ui.txtPort->text().trimmed(),
            ui.txtDatabase->text().trimmed(), ui.txtUser->text().trimmed(), ui.chkSections->isChecked()};
}

void frmAgency::showVerdict(const agency::Verdict& verdict) {
    m_ui->lblVerdict->setText(verdict.words);
    setTextColour(m_ui->lblVerdict, verdict.ok ? QColor(0, 110, 0) : QColor(160, 0, 0));
}

void frmAgency::cmdTest_Click() {
    const agency::ConnectionSettings s = settings();
    if (s.isEmpty()) {
        showVerdict({false, QStringLiteral("Give a service name, or a host and a database.")});
        return;
    }
    for (;;) {
        const std::string connection = s.connectionString(agency::runPassword());
        const std::optional<std::pair<agency::Verdict, bool>> result =
            BackgroundJob::run<std::pair<agency::Verdict, bool>>(this, {}, [connection](JobProgress&) {
                try {
                    agency::Connection probe(connection);
                } catch (const agency::AgencyError& failure) {
                    if (failure.passwordWanted()) return std::pair(agency::Verdict{false, failure.words()}, true);
                }
                return std::pair(agency::testConnection(connection), false);
            });
        if (!result) return;  // the window has gone
        if (result->second && askAgencyPassword(m_services.prompter, s.user)) continue;
        showVerdict(result->first);
        return;
    }
}

void frmAgency::cmdSave_Click() {
    agency::saveSettings(settings());
    close();
}

}  // namespace waypost
