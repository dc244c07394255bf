#pragma once
// How the conversion page hands its results to the window that opened it.

#include <QString>

#include <optional>

class QObject;

namespace waypost {

/// The results of the conversion page as a calling window receives them: the
/// texts of the page's result labels, ready to be shown.
struct LocationTexts {
    QString albersX;    ///< Albers easting, whole metres as plain digits: "376025"
    QString albersY;    ///< Albers northing, whole metres as plain digits: "721400"
    QString longitude;  ///< decimal degrees, "000.000000", negative west: "-084.250000"
    QString latitude;   ///< decimal degrees, "00.000000": "30.500000"
    QString usng;       ///< US National Grid reference: "16R GU 63941 77408"
    QString utm;        ///< UTM coordinate: "16R 763941 3377408"
    /// Township, range, section and quarter text; only the wildfire window
    /// receives it, for the others it is empty (std::nullopt).
    std::optional<QString> townshipRangeSection;

    friend bool operator==(const LocationTexts&, const LocationTexts&) = default;
};

/// A window that locates its feature through the conversion page. The page
/// calls receiveLocation after every change of its fields while the window is
/// its caller.
class LocationReceiver {
public:
    virtual ~LocationReceiver() = default;

    /// Shows \p location in the window's location labels.
    virtual void receiveLocation(const LocationTexts& location) = 0;
    /// Shows the result of "Find STR": the UTM text and the section found
    /// (\p section, such as "T01S R05E S12 SW 1/4 of the NE 1/4" or "No Record").
    virtual void receiveFoundSection(const QString& utm, const QString& section) = 0;

protected:
    LocationReceiver() = default;
    LocationReceiver(const LocationReceiver&) = default;
    LocationReceiver& operator=(const LocationReceiver&) = default;
};

/// Where a window gets its location: the conversion page, reached through the
/// window registry.
class LocationSource {
public:
    virtual ~LocationSource() = default;

    /// Prepares a new location for \p caller (the window, whose lifetime
    /// bounds the hand-back) and hands every change to \p receiver.
    /// \p callerName is the caller's window name; it decides what is handed over.
    virtual void startLocatingFor(QObject* caller, LocationReceiver* receiver, const QString& callerName) = 0;
    /// The current caller, or nullptr when there is none or it has gone.
    virtual QObject* caller() const = 0;
    /// What the current caller receives of the results now, by the same rule
    /// as the hand-back after every change (std::nullopt: nothing).
    virtual std::optional<LocationTexts> resultsForCaller() const = 0;

protected:
    LocationSource() = default;
    LocationSource(const LocationSource&) = default;
    LocationSource& operator=(const LocationSource&) = default;
};

}  // namespace waypost
