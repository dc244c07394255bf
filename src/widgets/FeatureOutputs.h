#pragma once

#include "output/FeatureFields.h"
#include "platform/Services.h"

#include <QString>

namespace waypost {

/// What a feature window's four file outputs are called and where their
/// shapefiles lie.
struct OutputNames {
    QString prefix;          ///< put before new file names and listed by the append dialogs ("pf")
    QString noun;            ///< in the dialog titles: "New Facility File", "Append to Facility Shapefile"
    QString projectionFile;  ///< the .prj put beside a new shapefile (data folder)
};

/// The record file and point shapefile outputs of a feature window, each one
/// whole exchange: the dialog (with the prefix, extension and overwrite rules
/// of chooseNewOutput), the writing from the feature's field table, and one
/// message naming the file and the reason when writing fails. A cancelled
/// dialog ends an output silently.
class FeatureOutputs {
public:
    FeatureOutputs(const Services& services, OutputNames names, FieldTable fields);

    /// A new record file with the header and \p row. True when written.
    bool newRecordFile(const FieldRow& row);
    /// \p row appended to a record file (created without a header when new).
    bool appendRecordFile(const FieldRow& row);
    /// A new point shapefile holding \p row at (\p x, \p y), with its .prj. True when written.
    bool newShapefile(const FieldRow& row, double x, double y);
    /// \p row appended as a point to an existing shapefile.
    bool appendShapefile(const FieldRow& row, double x, double y);

    /// The prefixed path of the last new file chosen (empty before the first).
    const QString& lastNewPath() const { return m_lastNewPath; }
    const FieldTable& fields() const { return m_fields; }

private:
    Prompter::FileDialog dialog(const QString& title, const QString& kind, const QString& extension,
                                const QString& filterPrefix) const;
    std::optional<QString> chooseNew(bool shapefile);
    std::optional<QString> chooseAppend(bool shapefile);
    bool failed(const QString& message);
    void tellShortened(const std::vector<ShapefileWriter::Shortened>& shortened);

    Services m_services;
    OutputNames m_names;
    FieldTable m_fields;
    QString m_lastNewPath;
};

}  // namespace waypost
