#pragma once
// How the conversion page hands its location to the window that opened it.

#include "engine/Location.h"

#include <QString>

#include <optional>

class QObject;

namespace waypost {

/// Whether a hand-back carries the page's section (the wildfire window) or
/// leaves the window the section it was given by "Find STR".
enum class SectionHandover { Carried, KeptByWindow };

/// A window that locates its feature through the conversion page. The page
/// calls receiveLocation after every change of its fields while the window is
/// its caller.
class LocationReceiver {
public:
    virtual ~LocationReceiver() = default;

    /// The page's location (nothing: the page has none now).
    virtual void receiveLocation(const std::optional<engine::Location>& location, SectionHandover section) = 0;
    /// The result of "Find STR": the page's location with the section found for it.
    virtual void receiveFoundSection(const engine::Location& location) = 0;

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
    /// Hands the location to the current caller once more, by the same rule
    /// as after every change.
    virtual void handBackAgain() = 0;

protected:
    LocationSource() = default;
    LocationSource(const LocationSource&) = default;
    LocationSource& operator=(const LocationSource&) = default;
};

}  // namespace waypost
