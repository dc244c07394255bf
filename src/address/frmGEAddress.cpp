#include "agency/AgencySections.h"
#include "agency/AgencySettings.h"
#include "widgets/AgencyAccess.h"
#include "address/frmGEAddress.h"

#include "address/AddressPlacemarks.h"
#include "database/Database.h"
#include "output/KmzArchive.h"
#include "output/OutputChooser.h"
#include "output/TextCleaning.h"
#include "platform/FileWriting.h"
#include "ui_frmGEAddress.h"
#include "widgets/EnableChecks.h"
#include "widgets/FieldExit.h"
#include "widgets/Look.h"
#include "widgets/NameFieldGuard.h"
#include "widgets/TypedKey.h"

#include <QFile>
#include <QKeyEvent>

namespace waypost {
namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kLinkPrompt = QStringLiteral("Enter Web link (include 'http://') or Image Path");
const QString kFlorida = QStringLiteral("FL");
constexpr char16_t kBackspace = 8;
constexpr char16_t kEnter = 13;
constexpr int kZipLength = 5;

}  // namespace

frmGEAddress::frmGEAddress(const Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui::frmGEAddress>()), m_services(services) {
    auto& ui = *m_ui;
    ui.setupUi(this);
    makeHeading(ui.lblPAFac);
    fillTypes(startTypes());
    readStates();
    setButtonColour(ui.cmdEnableKML, kEnabledOutputColour);
    setZipSearchEnabled(false);
    setCreateEnabled(false);
    chkKMLEd_Click(false);
    for (QWidget* field : std::initializer_list<QWidget*>{ui.txtPaname, ui.txtPastreet, ui.txtPacity, ui.cmbPAType})
        new NameFieldGuard(m_services.prompter, field, this);
    ui.meZip->installEventFilter(this);
    connect(new FieldExit(ui.meZip, this), &FieldExit::left, this, &frmGEAddress::meZip_Validate);

    connect(ui.optQRNAdd, &QRadioButton::clicked, this, [this] { fillTypes(qrnTypes()); });
    connect(ui.optICSAdd, &QRadioButton::clicked, this, [this] { fillTypes(icsTypes()); });
    connect(ui.cmdZipSearch, &QPushButton::clicked, this, &frmGEAddress::cmdZipSearch_Click);
    connect(ui.cmdEnableKML, &QPushButton::clicked, this, &frmGEAddress::cmdEnableKML_Click);
    connect(ui.chkKMLEd, &QCheckBox::toggled, this, &frmGEAddress::chkKMLEd_Click);
    connect(ui.cmdCreateKML, &QPushButton::clicked, this, &frmGEAddress::cmdCreateKML_Click);
    connect(ui.cmdClear, &QPushButton::clicked, this, &frmGEAddress::cmdClear_Click);
    connect(ui.cmdExit, &QPushButton::clicked, this, &QWidget::close);
}

frmGEAddress::~frmGEAddress() = default;

void frmGEAddress::fillTypes(const QStringList& types) {
    auto& ui = *m_ui;
    ui.cmbPAType->clear();
    ui.cmbPAType->addItems(types);
    ui.cmbPAType->setCurrentIndex(-1);
    const bool chosen = ui.optQRNAdd->isChecked() || ui.optICSAdd->isChecked();
    ui.cmbPAType->setEnabled(chosen);
    ui.lblPAType->setEnabled(chosen);
}

void frmGEAddress::readStates() {
    auto& ui = *m_ui;
    QFile file(m_services.paths.dataFile(QStringLiteral("states.txt")));
    if (file.open(QIODevice::ReadOnly)) {
        ui.cmbPaState->addItems(listItems(QString::fromUtf8(file.readAll())));
        ui.cmbPaState->setCurrentIndex(0);
    } else {
        m_services.prompter.message(QStringLiteral("The list of states %1 cannot be read: %2. Type the state.")
                                        .arg(file.fileName(), file.errorString()),
                                    kAppTitle, Prompter::Icon::Warning);
    }
    ui.cmbPaState->setCurrentText(kFlorida);
}

void frmGEAddress::setZipSearchEnabled(bool enabled) {
    m_ui->cmdZipSearch->setEnabled(enabled);
    setButtonColour(m_ui->cmdZipSearch, enabled ? kEnabledOutputColour : kDisabledOutputColour);
}

void frmGEAddress::setCreateEnabled(bool enabled) {
    m_ui->cmdCreateKML->setEnabled(enabled);
    setButtonColour(m_ui->cmdCreateKML, enabled ? kEnabledOutputColour : kDisabledOutputColour);
}

bool frmGEAddress::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ui->meZip && event->type() == QEvent::KeyPress) {
        const auto code = typedCharacter(*static_cast<QKeyEvent*>(event));
        const auto key = static_cast<QKeyEvent*>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter || (code && *code == kEnter);
        if (code || enter) {
            const bool accepted = enter || *code == kBackspace || (*code >= u'0' && *code <= u'9');
            setZipSearchEnabled(accepted);
            if (!accepted) {
                m_services.prompter.beep();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmGEAddress::meZip_Validate() {
    if (m_ui->meZip->text().size() < kZipLength) {
        m_services.prompter.beep();
        m_services.prompter.message(QStringLiteral("You must enter a valid zip code"));
        return;
    }
    setZipSearchEnabled(true);
}

std::optional<ZipCity> frmGEAddress::zipOnServer(const QString& zip) {
    if (!agency::savedSettings().lookUps) return std::nullopt;
    try {
        const auto found = withAgencyDatabase<std::optional<std::pair<std::string, std::string>>>(
            m_services.prompter, this, [zip](const std::string& connection) {
                agency::Connection server(connection);
                return agency::zipCity(server, zip.toStdString());
            });
        if (!found || !*found) return std::nullopt;
        return ZipCity{QString::fromStdString((*found)->first), QString::fromStdString((*found)->second)};
    } catch (const agency::AgencyError& failure) {
        m_services.prompter.message(failure.words() + QStringLiteral("\n\nThe zip codes of this desk are used instead."),
                                    kAppTitle, Prompter::Icon::Warning);
        return std::nullopt;
    }
}

void frmGEAddress::cmdZipSearch_Click() {
    auto& ui = *m_ui;
    const QString database = m_services.paths.databasesDir() + QStringLiteral("/zipcode2.sqlite");
    std::optional<ZipCity> found = zipOnServer(ui.meZip->text());
    if (!found) try {
        found = lookUpZip(database, ui.meZip->text());
    } catch (const database::DatabaseError& failure) {
        m_services.prompter.message(QStringLiteral("The zip-code database cannot be read:\n%1\n\n%2")
                                        .arg(QString::fromStdString(failure.file()),
                                             QString::fromStdString(failure.reason())),
                                    kAppTitle, Prompter::Icon::Critical);
        return;
    }
    if (!found) {
        m_services.prompter.message(QStringLiteral("No Records Found."));
        ui.txtPacity->clear();
        return;
    }
    ui.txtPacity->setText(found->city);
    // The zip code's own state; Florida when the database does not say.
    ui.cmbPaState->setCurrentText(found->state.isEmpty() ? kFlorida : found->state);
}

std::optional<QString> frmGEAddress::askForLink() {
    Prompter& prompter = m_services.prompter;
    if (prompter.question(QStringLiteral("Add Image or Web link?"), kAppTitle, Prompter::Icon::Question) ==
        Prompter::Answer::Yes)
        return prompter.inputText(kLinkPrompt).value_or(QString());
    if (prompter.question(QStringLiteral("No Link Entered - Add Image or Web link?"), kAppTitle,
                          Prompter::Icon::Question) != Prompter::Answer::Yes)
        return std::nullopt;
    while (true) {  // until the input box is not cancelled
        if (const auto link = prompter.inputText(kLinkPrompt)) return *link;
    }
}

void frmGEAddress::cmdEnableKML_Click() {
    auto& ui = *m_ui;
    AddressPlacemark p{ui.txtPaname->text(),   ui.cmbPAType->currentText(), ui.txtPastreet->text(),
                       ui.txtPacity->text(),   ui.cmbPaState->currentText(), ui.meZip->text(), std::nullopt};
    const std::vector<Requirement> checks{
        {!p.name.isEmpty(), QStringLiteral("Enter Facility Name"), QStringLiteral("txtPaname")},
        {!p.type.isEmpty(), QStringLiteral("Select Facility Type"), QStringLiteral("cmbPAType")},
        {!p.street.isEmpty(), QStringLiteral("Please Enter Street Name and Number"), QStringLiteral("txtPastreet")},
        {!p.city.isEmpty(), QStringLiteral("Please Enter the City or Town"), QStringLiteral("txtPacity")},
        {!p.state.isEmpty(), QStringLiteral("Please Select the State"), QStringLiteral("cmbPaState")},
        {!p.zip.isEmpty(), QStringLiteral("Please Enter the Zip Code"), QStringLiteral("meZip")}};
    if (!passEnableChecks(m_services.prompter, this, checks)) {
        setCreateEnabled(false);
        return;
    }
    p.link = askForLink();
    QFile iconTemplate(m_services.paths.dataFile(QStringLiteral("iconpath.txt")));
    if (!iconTemplate.open(QIODevice::ReadOnly)) {
        m_services.prompter.message(QStringLiteral("The icon style %1 cannot be read: %2. No placemark was added.")
                                        .arg(iconTemplate.fileName(), iconTemplate.errorString()),
                                    kAppTitle, Prompter::Icon::Critical);
        return;
    }
    const QString style = iconStyle(QString::fromUtf8(iconTemplate.readAll()),
                                    m_services.paths.iconsDir() + u'/' + addressIcon(p.type));
    const QString placemark = placemarkText(p, style);
    QString document = ui.txtAdAdd->toPlainText();
    document = document.isEmpty() ? addressHeader() + kCrLf + placemark : document + kCrLf + placemark;
    ui.txtAdAdd->setPlainText(document);
    setCreateEnabled(true);
}

void frmGEAddress::chkKMLEd_Click(bool checked) {
    auto& ui = *m_ui;
    ui.txtAdAdd->setReadOnly(!checked);
    // The pale text colours are read on a dark blue ground.
    QPalette palette = ui.txtAdAdd->palette();
    palette.setColor(QPalette::Base, kActiveLocationColour);
    palette.setColor(QPalette::Text, checked ? kAttentionColour : kEnabledOutputColour);
    ui.txtAdAdd->setPalette(palette);
    QFont font = ui.txtAdAdd->font();
    if (!checked) font.setItalic(false);
    ui.txtAdAdd->setFont(font);
    ui.chkKMLEd->setText(checked ? QStringLiteral("Uncheck to Lock") : QStringLiteral("Edit KML Data"));
}

void frmGEAddress::cmdCreateKML_Click() {
    auto& ui = *m_ui;
    // The closing tags go to what is written: the window keeps its
    // placemarks until the file is safely written.
    // The text box holds bare line ends; the whole file has CR LF, as the footer.
    QString document = ui.txtAdAdd->toPlainText() + addressFooter() + kCrLf;
    document.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\n', QStringLiteral("\r\n"));
    if (const QString problem = xmlProblem(document); !problem.isEmpty()) {
        // Google Earth would not open it: the text stays here to be mended.
        m_services.prompter.message(
            QStringLiteral("The KML text is not well-formed (%1); Google Earth would not open it. Correct the text "
                           "and create the KML again; nothing was written.")
                .arg(problem),
            kAppTitle, Prompter::Icon::Warning);
        return;
    }
    Prompter::FileDialog dialog;
    dialog.title = QStringLiteral("Create KML");
    dialog.filter = kKmlOrKmzFilter;
    dialog.defaultExtension = QStringLiteral("kml");
    dialog.fileName = QStringLiteral("pa") + ui.txtPaname->text();
    const std::optional<QString> path = chooseNewOutput(m_services.prompter, dialog);
    if (!path) return;
    const WriteResult written = writeKmlOrKmz(*path, document, m_services.paths.iconsDir());
    if (!written) {
        m_services.prompter.message(written.message(), kAppTitle, Prompter::Icon::Critical);
        return;
    }
    cmdClear_Click();
}

void frmGEAddress::cmdClear_Click() {
    auto& ui = *m_ui;
    for (QLineEdit* field : {ui.txtPaname, ui.txtPastreet, ui.txtPacity, ui.meZip}) field->clear();
    ui.txtAdAdd->clear();
    ui.cmbPaState->setCurrentText(kFlorida);
    setZipSearchEnabled(false);
    setCreateEnabled(false);
    fillTypes(startTypes());
}

}  // namespace waypost
