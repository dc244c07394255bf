#include "shell/frmAbout.h"

#include "shell/Version.h"
#include "ui_frmAbout.h"

#include <QPixmap>
#include <gdal.h>
#include <sqlite3.h>

namespace waypost {

frmAbout::frmAbout(const Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui::frmAbout>()), m_services(services) {
    m_ui->setupUi(this);
    QFont title = m_ui->lblTitle->font();
    title.setPointSizeF(title.pointSizeF() * 1.8);
    title.setBold(true);
    m_ui->lblTitle->setFont(title);
    m_ui->lblVersion->setText(QStringLiteral("Version %1").arg(QString::fromUtf8(kWaypostVersion)));
    const QPixmap icon(QStringLiteral(":/shell/waypost.png"));
    if (!icon.isNull()) m_ui->picIcon->setPixmap(icon.scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    connect(m_ui->cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    connect(m_ui->cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
}

frmAbout::~frmAbout() = default;

QString frmAbout::systemInfoText() const {
    return QStringLiteral("Waypost %1\n\nQt %2\nGDAL %3\nSQLite %4\n\nData folder: %5\nLog folder: %6")
        .arg(QString::fromUtf8(kWaypostVersion), QString::fromUtf8(qVersion()),
             QString::fromUtf8(GDALVersionInfo("RELEASE_NAME")), QString::fromUtf8(sqlite3_libversion()),
             m_services.paths.dataDir(), m_services.paths.logDir());
}

void frmAbout::cmdSysInfo_Click() {
    m_services.prompter.message(systemInfoText(), QStringLiteral("System Info"), Prompter::Icon::Information);
}

void frmAbout::cmdOK_Click() { close(); }

}  // namespace waypost
