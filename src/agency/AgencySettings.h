#pragma once
// Where the agency database is, kept for the next runs; the password of this
// run, kept in memory only.

#include "agency/AgencyDatabase.h"

namespace waypost::agency {

/// The settings saved last (empty when none were).
ConnectionSettings savedSettings();
/// Keeps \p settings for the next runs. No password is ever kept.
void saveSettings(const ConnectionSettings& settings);

/// The password given in this run (empty before one is given).
QString runPassword();
void setRunPassword(const QString& password);
/// \p source (a GDAL "PG:" name of a table of the agency database, kept
/// without a password) with this run's password, to open it now.
std::string withRunPassword(const std::string& source);

}  // namespace waypost::agency
