#pragma once
// How every import makes its target database (shared by the importers).

#include "database/Database.h"

#include <QString>

#include <functional>

namespace waypost::batch {

/// \p base with the extension .sqlite, made unique.
QString targetFor(const QString& base);

/// Builds the database \p target through \p fill, in one transaction, on a
/// temporary file beside it that is renamed into place when complete; on any
/// failure nothing is left. Database failures become an ImportError naming \p source.
void buildDatabase(const QString& target, const QString& source,
                   const std::function<void(database::Database&)>& fill);

}  // namespace waypost::batch
