#pragma once
// A window that writes one point feature at a time, described by data: its
// inputs, its field table, its outputs, its location labels and its checks.

#include "output/KmlPlacemark.h"
#include "output/KmlTemplateWriter.h"
#include "platform/Services.h"
#include "widgets/EnableChecks.h"
#include "widgets/FeatureOutputs.h"
#include "widgets/LocationLink.h"

#include <QObject>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QWidget;

namespace waypost {

class OutputButtons;
class WindowRegistry;

/// The buttons a feature form drives.
struct FeatureButtons {
    QPushButton* locate = nullptr;  ///< opens the conversion page for the window
    QPushButton* enable = nullptr;  ///< runs the enable checks
    QPushButton* clear = nullptr;
    QPushButton* quit = nullptr;
    QPushButton* newRecord = nullptr;
    QPushButton* appendRecord = nullptr;
    QPushButton* newShape = nullptr;
    QPushButton* appendShape = nullptr;
    QPushButton* kml = nullptr;
    QPushButton* agency = nullptr;  ///< writes the record to the agency database; may be missing
};

/// Where a feature's shapefile point lies.
enum class ShapePoint { Albers, Geographic };

/// What makes one feature window: its controls and its own rules.
struct FeatureDescription {
    QString windowName;  ///< decides what the conversion page hands over
    OutputNames outputs;  ///< the noun is also the layer of a GeoPackage point
    std::string agencyTable;  ///< the feature's table in the agency database
    FieldTable fields;
    ShapePoint shapePoint = ShapePoint::Albers;
    QLabel* heading = nullptr;
    LocationLabels labels;
    FeatureButtons buttons;
    std::vector<QWidget*> namedInputs;  ///< restricted characters are refused and cleaned
    std::vector<QWidget*> otherInputs;  ///< entering any of them needs the outputs enabled again

    std::function<std::vector<Requirement>()> requirements;
    std::function<FieldRow()> row;
    std::function<KmlPlacemark()> placemark;
    /// Why the feature cannot become a shapefile record; may be empty (it always can).
    std::function<std::optional<QString>()> shapefileProblem;
    /// Empties the window's own fields ("Clear"); the location and the outputs are the form's.
    std::function<void()> clearFields;
    /// Empties them when the window is left; may be empty (clearFields is used).
    std::function<void()> leaveFields;
    /// After a new record file was written; may be empty.
    std::function<void()> afterNewRecordFile;
};

/// The standard handlers of a feature window: locating through the conversion
/// page, the enable checks, the five outputs, clearing and leaving. A window
/// builds its form after setupUi and keeps only its own handlers.
class FeatureForm final : public QObject {
public:
    FeatureForm(const Services& services, WindowRegistry& registry, QWidget* window, FeatureDescription description);

    /// The location the window shows (nothing before one is handed over).
    const std::optional<engine::Location>& location() const { return m_link->location(); }
    LocationLink& link() { return *m_link; }
    /// Entering an input needs the outputs enabled again.
    void disableOutputs();
    /// The prefixed output path last computed (empty before the first).
    const QString& lastOutputPath() const { return m_outputs.lastNewPath(); }

private:
    void locate();
    void checkAndEnable();
    void writeShape(bool append);
    void writeKml();
    void writeToAgency();
    void clear();
    void leave();

    Services m_services;
    QWidget* m_window;
    FeatureDescription m_d;
    FeatureOutputs m_outputs;
    KmlTemplateWriter m_kml;
    LocationLink* m_link;
    OutputButtons* m_outputButtons;
};

/// A window built on a feature form: what every feature window offers.
class FeatureWindow : public QWidget {
public:
    using QWidget::QWidget;
    /// The prefixed output path last computed (empty before the first).
    const QString& lastOutputPath() const { return m_form->lastOutputPath(); }
    /// The window's end of the hand-back from the conversion page.
    LocationLink& location() { return m_form->link(); }

protected:
    FeatureForm* m_form = nullptr;
};

}  // namespace waypost
