#pragma once
// A table of random points over Florida for the benchmarks: SQLite table t
// (id INTEGER, lat REAL, lon REAL), coordinates to a millionth of a degree.

#include "database/Database.h"

#include <QFile>
#include <QString>

#include <cmath>
#include <cstdint>
#include <functional>
#include <random>

namespace waypost::bench {

/// Writes \p rows random points into a new database at \p path; \p each sees every point (latitude, longitude) as
/// it is stored.
inline void writeRandomPoints(const QString& path, long rows, std::uint64_t seed,
                              const std::function<void(double, double)>& each = {}) {
    QFile::remove(path);
    database::Database db(path.toStdString(), database::Database::Mode::Create);
    db.execute("CREATE TABLE t (id INTEGER, lat REAL, lon REAL)");
    database::Transaction tx(db);
    auto insert = db.prepare("INSERT INTO t VALUES (?, ?, ?)");
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> lat(24.5, 31.0), lon(-87.6, -80.0);
    for (long i = 0; i < rows; ++i) {
        const double a = std::round(lat(rng) * 1e6) / 1e6, o = std::round(lon(rng) * 1e6) / 1e6;
        insert.reset();
        insert.bind(1, static_cast<std::int64_t>(i)).bind(2, a).bind(3, o).run();
        if (each) each(a, o);
    }
    tx.commit();
}

}  // namespace waypost::bench
