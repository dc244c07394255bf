#include "widgets/FeatureForm.h"

#include "output/PointFile.h"
#include "widgets/AgencyAccess.h"
#include "widgets/FocusNotifier.h"
#include "widgets/Look.h"
#include "widgets/NameFieldGuard.h"
#include "widgets/OutputButtons.h"

#include <QPushButton>
#include <QWidget>

namespace waypost {

FeatureForm::FeatureForm(const Services& services, WindowRegistry& registry, QWidget* window,
                         FeatureDescription description)
    : QObject(window), m_services(services), m_window(window), m_d(std::move(description)),
      m_outputs(services, m_d.outputs, m_d.fields), m_kml(services) {
    const FeatureButtons& b = m_d.buttons;
    makeHeading(m_d.heading);
    colourAsUsable({b.locate, b.enable, b.clear, b.quit});
    // Before the buttons' own handlers, so the other shapefile button is off first.
    std::vector<QPushButton*> outputs{b.newRecord, b.appendRecord, b.newShape, b.appendShape, b.kml};
    if (b.agency) outputs.push_back(b.agency);
    m_outputButtons = new OutputButtons(outputs, b.newShape, b.appendShape, this);
    m_link = new LocationLink(registry, window, m_d.windowName, m_d.labels);
    m_d.labels.setEnabled(false);

    const auto disable = [this] { disableOutputs(); };
    for (QWidget* field : m_d.namedInputs)
        connect(new NameFieldGuard(m_services.prompter, field, this), &NameFieldGuard::focused, this, disable);
    for (QWidget* input : m_d.otherInputs) input->installEventFilter(new FocusNotifier(input, disable));

    connect(b.locate, &QPushButton::clicked, this, &FeatureForm::locate);
    connect(b.enable, &QPushButton::clicked, this, &FeatureForm::checkAndEnable);
    connect(b.newRecord, &QPushButton::clicked, this, [this] {
        if (m_outputs.newRecordFile(m_d.row()) && m_d.afterNewRecordFile) m_d.afterNewRecordFile();
    });
    connect(b.appendRecord, &QPushButton::clicked, this, [this] { m_outputs.appendRecordFile(m_d.row()); });
    connect(b.newShape, &QPushButton::clicked, this, [this] { writeShape(false); });
    connect(b.appendShape, &QPushButton::clicked, this, [this] { writeShape(true); });
    connect(b.kml, &QPushButton::clicked, this, &FeatureForm::writeKml);
    if (b.agency) connect(b.agency, &QPushButton::clicked, this, &FeatureForm::writeToAgency);
    connect(b.clear, &QPushButton::clicked, this, &FeatureForm::clear);
    connect(b.quit, &QPushButton::clicked, this, &FeatureForm::leave);
}

void FeatureForm::disableOutputs() { m_outputButtons->disable(); }

void FeatureForm::locate() {
    m_outputButtons->disable();
    m_link->open();
}

void FeatureForm::checkAndEnable() {
    if (passEnableChecks(m_services.prompter, m_window, m_d.requirements())) m_outputButtons->enable();
    else m_outputButtons->disable();
}

void FeatureForm::writeShape(bool append) {
    if (m_d.shapefileProblem) {
        if (const std::optional<QString> problem = m_d.shapefileProblem()) {
            m_services.prompter.message(*problem, kAppTitle, Prompter::Icon::Warning);
            return;
        }
    }
    const WrittenLocation at = writtenLocation(location());
    const bool albers = m_d.shapePoint == ShapePoint::Albers;
    const double x = albers ? at.albersX : at.longitude;
    const double y = albers ? at.albersY : at.latitude;
    if (append) m_outputs.appendShapefile(m_d.row(), x, y);
    else m_outputs.newShapefile(m_d.row(), x, y);
}

void FeatureForm::writeKml() {
    const KmlPlacemark placemark = m_d.placemark();
    m_kml.write(placemark, pointFeature(m_d.outputs.noun, placemark, m_d.fields, m_d.row()));
}

void FeatureForm::writeToAgency() {
    Prompter& prompter = m_services.prompter;
    const WrittenLocation at = writtenLocation(location());
    const FieldTable fields = m_d.fields;
    const FieldRow row = m_d.row();
    const std::string table = m_d.agencyTable;
    try {
        const std::optional<long long> id =
            withAgencyDatabase<long long>(prompter, m_window, [&](const std::string& connection) {
                agency::Connection server(connection);
                return agency::writeFeature(server, table, fields, row, at.longitude, at.latitude);
            });
        if (!id) return;
        prompter.message(QStringLiteral("Written to the agency database: record %1 of \"%2\".")
                             .arg(*id)
                             .arg(QString::fromStdString(table)),
                         kAppTitle, Prompter::Icon::Information);
    } catch (const agency::AgencyError& failure) {
        prompter.message(failure.words() + QStringLiteral("\n\nThe record was not written."), kAppTitle,
                         Prompter::Icon::Critical);
    }
}

void FeatureForm::clear() {
    m_d.clearFields();
    m_link->clear();
    m_outputButtons->disable();
}

void FeatureForm::leave() {
    m_d.labels.setInUse(false);
    (m_d.leaveFields ? m_d.leaveFields : m_d.clearFields)();
    m_link->clear();
    m_outputButtons->disable();
    m_window->close();
}

}  // namespace waypost
