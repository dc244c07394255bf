#pragma once

#include "widgets/LocationReceiver.h"

#include <QObject>
#include <QString>

#include <optional>

class QLabel;
class QWidget;

namespace waypost {

class WindowRegistry;

/// A window's location labels. Any of them may be missing (null) in a
/// window that does not show that value.
struct LocationLabels {
    QLabel* latitude = nullptr;
    QLabel* longitude = nullptr;
    QLabel* albersX = nullptr;
    QLabel* albersY = nullptr;
    QLabel* utm = nullptr;
    QLabel* usng = nullptr;
    QLabel* str = nullptr;

    /// Shows \p location (empty labels without one); the STR label shows its
    /// section only when it was found for this point.
    void show(const std::optional<engine::Location>& location) const;
    void clear() const;
    /// Enabled with a dark blue ground while the page is open for the window;
    /// disabled with a grey ground once the window is left.
    void setInUse(bool inUse) const;
    /// Enables or disables the labels without changing their colour.
    void setEnabled(bool enabled) const;

private:
    template <class F>
    void forEach(F f) const;
};

/// The handshake of a window with the conversion page: "Coordinate
/// Conversion" opens the page for the window, every change on the page lands
/// in the labels, and coming back to the window copies the page's results
/// once more, by the same rule, while the window is still the page's caller
/// and its location has not been cleared since.
class LocationLink final : public QObject, public LocationReceiver {
public:
    /// \p window is the feature window (its name \p windowName decides what
    /// the page hands over); the link watches its activation.
    LocationLink(WindowRegistry& registry, QWidget* window, QString windowName, LocationLabels labels);

    /// Shows the page reset for this window and marks the labels as in use.
    void open();
    /// Clears the labels; coming back no longer copies until the page is opened again.
    void clear();
    /// The location the window shows (nothing before one is handed over or after clearing).
    const std::optional<engine::Location>& location() const { return m_location; }
    const LocationLabels& labels() const { return m_labels; }

    void receiveLocation(const std::optional<engine::Location>& location, SectionHandover section) override;
    void receiveFoundSection(const engine::Location& location) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void copyFromPage();

    WindowRegistry& m_registry;
    QWidget* m_window;
    QString m_windowName;
    LocationLabels m_labels;
    std::optional<engine::Location> m_location;
    /// True from open() until the location is cleared.
    bool m_locating = false;
};

}  // namespace waypost
