#pragma once

#include "conversion/DegreeEntry.h"
#include "widgets/LocationReceiver.h"
#include "conversion/TownshipRangeSection.h"
#include "database/Database.h"
#include "engine/Location.h"
#include "map/MapPanel.h"
#include "plss/SectionLookup.h"
#include "engine/lltoAlbers.h"
#include "platform/Services.h"

#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <concepts>
#include <functional>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace Ui {
class wp_ddc_0306;
}

namespace waypost::agency {
class Connection;
}

namespace waypost {

/// The coordinate conversion page: one location typed in decimal degrees,
/// degrees and decimal minutes, degrees-minutes-seconds or as a township,
/// range and section. Every change of a degree field is checked and converted
/// at once to latitude/longitude, Albers, UTM and US National Grid, and the
/// results are handed to the window that opened the page.
///
/// The page exists once per run; "&Close" hides it and keeps what was typed.
class wp_ddc_0306 final : public QWidget, public LocationSource {
    Q_OBJECT
public:
    explicit wp_ddc_0306(const Services& services, QWidget* parent = nullptr);
    ~wp_ddc_0306() override;

    /// Prepares the page for a new location for \p caller, a window that shows
    /// the results: writes the start texts into every degree field, clears the
    /// result labels, and from then on hands the results to \p caller after
    /// every change. \p callerName is the caller's window name ("wpFac",
    /// "frmDBMan" or "wpHcane"); it decides what is handed over. The caller may
    /// be destroyed at any time; the page then hands nothing over.
    template <class Window>
        requires std::derived_from<Window, QObject> && std::derived_from<Window, LocationReceiver>
    void startLocating(Window* caller, const QString& callerName) {
        startLocatingFor(caller, caller, callerName);
    }

    /// The window name of the current caller; empty before the first caller.
    const QString& CallerName() const { return m_CallerName; }
    /// The current caller, or nullptr when there is none or it has gone.
    QObject* caller() const override { return m_caller.data(); }
    void startLocatingFor(QObject* callerObject, LocationReceiver* receiver, const QString& callerName) override;
    void handBackAgain() override { handBack(); }

    /// The location the page shows: nothing before a point is entered, after
    /// the page is reset, or when a section was not found.
    const std::optional<engine::Location>& location() const { return m_location; }
    /// The position the projections are fed with (degrees, west negative).
    double latitude() const { return m_latitude; }
    double longitude() const { return m_longitude; }
    /// What the township, range and section group keeps (keys, directions,
    /// part of the section with its offsets).
    const conversion::TrsEntry& trsEntry() const { return m_trs; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    /// A degree field with what it holds and its start text.
    struct DegreeFieldSlot {
        QLineEdit* edit = nullptr;
        conversion::DegreeField field;
        QString startText;
    };
    /// The parts typed so far for one coordinate of one group.
    struct CoordinateParts {
        std::int16_t degrees = 0;
        std::int16_t minutes = 0;
        std::int16_t seconds = 0;
        std::int16_t hundredths = 0;
        double fraction = 0;  ///< decimal-degree or decimal-minute fraction
        double minutesTerm = 0;
        double secondsTerm = 0;
        double hundredthsTerm = 0;
    };
    enum class CheckForm { Validation, Focus };

    void setUpFields();
    void setUpLook();
    void connectHandlers();

    // Notation options.
    void optDD_Click();
    void OptDDM_Click();
    void optDMS_Click();
    void optTRS_Click();

    // Degree fields: text changed. Key typed and focus gained go through eventFilter.
    void txtDDlongD_Change();
    void txtDDLongDD_Change();
    void txtDDLatD_Change();
    void txtDDLatDD_Change();
    void txtDMMlongdd_Change();
    void txtDMMlongmm_Change();
    void txtDMMlongdm_Change();
    void txtDMMlatdd_Change();
    void txtDMMlatmm_Change();
    void txtDMMlatdm_Change();
    void txtDMSlongdd_Change();
    void txtDMSlongmm_Change();
    void txtDMSlongss_Change();
    void txtDMSlongssd_Change();
    void txtDMSlatdd_Change();
    void txtDMSlatmm_Change();
    void txtDMSlatss_Change();
    void txtDMSlatssd_Change();
    bool degreeField_KeyPress(char16_t code);
    void degreeField_GotFocus(QLineEdit* edit);

    // Township, range and section.
    bool txtTown_KeyPress(char16_t code);
    void txtTown_Change();
    void txtTown_GotFocus();
    void txtTown_Validate();
    void txtTown_LostFocus();
    void txtTown_Click();
    bool txtRange_KeyPress(char16_t code);
    void txtRange_Change();
    void txtRange_GotFocus();
    void txtRange_Validate();
    void txtRange_LostFocus();
    void txtRange_Click();
    bool txtSection_KeyPress(char16_t code);
    void txtSection_Change();
    void txtSection_GotFocus();
    void txtSection_Validate();
    void txtSection_LostFocus();
    void txtSection_Click();
    void optTnorth_Click();
    void optTSouth_Click();
    void optTnorth_LostFocus();
    void optRangeE_Click();
    void optRangeW_Click();
    void frmsubSec_Click(const conversion::QuarterOption& option);
    void cmdTRScon_Click();
    void cmdResetTRS_Click();
    void cmdEnableqs_Click();

    // A location in any form.
    void readAnyLocation();
    void showAnyStatus(const QString& text, bool refused);

    // PLSS look-ups.
    void cmdTRS2dd_Click();
    void cmdFindSTR_Click();
    void cmdFindSTR_LostFocus();
    void FindSTR();
    /// The key of the section the fields name now, or nothing (after the
    /// check's message) when a field holds a value the checks refuse.
    std::optional<QString> currentTrsKey();
    void showSectionSearchProgress(int iteration);
    /// The section holding the point in the agency database, when its sections are chosen there.
    std::optional<plss::FoundSection> sectionOnServer(double latitude, double longitude);
    /// The section centres in a view of the map, from the section database.
    std::vector<SectionMark> sectionsIn(const engine::Extent& view);
    /// The centre of section \p key in the agency database, when its sections are chosen there.
    std::optional<std::pair<double, double>> sectionCentreOnServer(const std::string& key);
    /// \p ask of the agency database when its look-ups are chosen; nothing when
    /// they are not, or after saying why the server could not answer.
    template <class Result>
    std::optional<Result> askAgencyDatabase(std::function<std::optional<Result>(agency::Connection&)> ask);
    void showLookupFailure(const QString& file, const QString& reason);

    // Results and closing.
    void cmdclipbrdUSNG_Click();
    void cmdconClose_Click();
    void Form_Activate();

    // Degree entry.
    void degreeFieldChanged(DegreeFieldSlot& slot);
    void storeFieldValue(const DegreeFieldSlot& slot, const QString& text);
    void lockCoordinate(conversion::DegreeGroup group, conversion::Coordinate coordinate);
    void recomputeTotal(conversion::DegreeGroup group, conversion::Coordinate coordinate);
    void autoAdvance(QLineEdit* edit);
    void chooseDegreeGroup(conversion::DegreeGroup group);
    void setDegreeFieldsEnabled(bool enabled, const conversion::DegreeGroup* only);
    DegreeFieldSlot* findSlot(conversion::DegreeGroup group, conversion::Coordinate coordinate,
                              conversion::DegreePart part);

    // Result routines.
    /// Locates the point the fields give now, shows it and hands it back.
    void locatePoint();
    void showLocation();
    void handBack();
    void clearResults();

    // Township, range and section helpers.
    void townshipCheck(CheckForm form);
    /// Entering the township or range field: \p check it, or start it at "00", and take its number.
    void trsNumberEntered(QLineEdit* field, std::int16_t& number, const std::function<void()>& check);
    void rangeCheck(CheckForm form);
    bool refuseTrsPaste(QLineEdit* edit);
    void refuseTrsKey();
    void resetTrsFields();
    void enterTrsGroup();
    void leaveTrsGroup();
    void setQuarterQuartersShown(bool shown);

    // Look.
    void setCaptionsActive(const std::vector<QLabel*>& captions, bool active);
    static void uncheckAll(const std::vector<QAbstractButton*>& buttons);

    /// Sets a field's text as the page itself does: the change handling runs,
    /// but a text the page writes never advances the focus.
    void setFieldText(QLineEdit* edit, const QString& text);

    std::unique_ptr<Ui::wp_ddc_0306> m_ui;
    Services m_services;
    engine::lltoAlbers m_engine;

    std::array<DegreeFieldSlot, 18> m_degreeFields;
    QHash<const QObject*, DegreeFieldSlot*> m_slotByEdit;
    std::vector<QLabel*> m_ddCaptions, m_dmmCaptions, m_dmsCaptions, m_trsCaptions;
    std::vector<QAbstractButton*> m_directionOptions;
    std::vector<QRadioButton*> m_nineQuarterOptions;
    std::vector<QRadioButton*> m_quarterQuarterOptions;

    // Page state.
    double m_latitude = 0;
    double m_longitude = 0;
    /// [group][coordinate]: the parts typed so far.
    std::array<std::array<CoordinateParts, 2>, 3> m_parts{};
    /// What the page shows and hands back; the section found last travels in
    /// it with the point it was found for.
    std::optional<engine::Location> m_location;
    std::string m_foundKey;  ///< the key of the section found last (highlighted on the map while it applies)
    std::unique_ptr<database::Database> m_sectionCentres;  ///< opened when the map first shows sections
    conversion::TrsEntry m_trs;

    // The caller.
    QString m_CallerName;
    QPointer<QObject> m_caller;
    LocationReceiver* m_receiver = nullptr;

    QString m_anyLocationRead;  ///< the text of the location box last read (not read again on leaving)
    bool m_fillingFromAnyLocation = false;
    int m_changeDepth = 0;   ///< nesting of text-change handling
    int m_pageWriting = 0;   ///< > 0 while the page itself writes a field's text
};

}  // namespace waypost
