#pragma once
// Writing files so that a failure never leaves a half-written file behind:
// new files are written whole and renamed into place; appends add whole lines
// and are undone when they cannot be completed.

#include <QByteArray>
#include <QString>

namespace waypost {

/// The outcome of a write. When it failed, message() names the file and the reason.
class WriteResult {
public:
    static WriteResult success() { return WriteResult({}); }
    static WriteResult failure(const QString& path, const QString& reason);
    /// A failure told in the caller's own words.
    static WriteResult error(QString message) { return WriteResult(std::move(message)); }

    bool ok() const { return m_message.isEmpty(); }
    explicit operator bool() const { return ok(); }
    const QString& message() const { return m_message; }

private:
    explicit WriteResult(QString message) : m_message(std::move(message)) {}
    QString m_message;
};

/// Writes \p contents as the whole of \p path: a temporary file in the same
/// folder is written, flushed and renamed over the target, so the target is
/// either its old self or complete.
WriteResult writeFileAtomically(const QString& path, const QByteArray& contents);

/// Appends \p contents (whole lines) to \p path, creating the file when it is
/// missing, and flushes. When the write cannot be completed the file is cut
/// back to its former length, so earlier records stay as they were.
WriteResult appendToFile(const QString& path, const QByteArray& contents);

/// A hidden name beside \p target for building it whole before it is put in
/// place: ".<name>.<process>.<random>.<kind>". What a killed process left
/// under such names is found by removeLeftovers.
QString temporaryNameBeside(const QString& target, const QString& kind);

/// Removes the files named by temporaryNameBeside with \p kind in \p folder
/// whose process has ended (a run killed part way); a running process's
/// files stay.
void removeLeftovers(const QString& folder, const QString& kind);

}  // namespace waypost
