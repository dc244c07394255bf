#include "engine/Location.h"

#include "numbers/Numbers.h"

namespace waypost::engine {

namespace nb = numbers;

bool Location::sectionApplies() const {
    return section && section->latitude == latitude && section->longitude == longitude;
}

std::string Location::sectionText() const { return sectionApplies() ? section->text : std::string(); }

std::string Location::latitudeText() const { return engine::latitudeText(latitude); }
std::string Location::longitudeText() const { return engine::longitudeText(longitude); }
std::string Location::albersXText() const { return nb::formatFixed(albersX, 0); }
std::string Location::albersYText() const { return nb::formatFixed(albersY, 0); }

std::string latitudeText(double degrees) { return nb::formatPattern(degrees, "00.000000"); }
std::string longitudeText(double degrees) { return nb::formatPattern(degrees, "000.000000"); }

Location locate(lltoAlbers& engine, double latitude, double longitude) {
    Location at;
    engine.ProjectAlbers(latitude, longitude);
    at.albersX = nb::roundFixed(engine.AlbersX, 0);
    at.albersY = nb::roundFixed(engine.AlbersY, 0);
    // The grid reference from the twelve-decimal degrees, as the stored references were made.
    at.usng = engine.USNGFromLatLong(nb::roundFixed(latitude, 12), nb::roundFixed(longitude, 12));
    at.utm = engine.UTMText;
    at.latitude = nb::roundFixed(latitude, 6);
    at.longitude = nb::roundFixed(longitude, 6);
    return at;
}

}  // namespace waypost::engine
