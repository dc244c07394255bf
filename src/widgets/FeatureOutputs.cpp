#include "widgets/FeatureOutputs.h"

#include "output/OutputChooser.h"
#include "output/ProjectionFiles.h"

namespace waypost {

FeatureOutputs::FeatureOutputs(const Services& services, OutputNames names, FieldTable fields)
    : m_services(services), m_names(std::move(names)), m_fields(std::move(fields)) {}

Prompter::FileDialog FeatureOutputs::dialog(const QString& title, const QString& kind, const QString& extension,
                                            const QString& filterPrefix) const {
    Prompter::FileDialog d;
    d.title = title.arg(m_names.noun);
    d.filter = QStringLiteral("%1 (%2*.%3)").arg(kind, filterPrefix, extension);
    d.defaultExtension = extension;
    return d;
}

std::optional<QString> FeatureOutputs::chooseNew(bool shapefile) {
    const Prompter::FileDialog d =
        shapefile ? dialog(QStringLiteral("New %1 Shapefile"), QStringLiteral("Shape Files"), QStringLiteral("shp"), {})
                  : dialog(QStringLiteral("New %1 File"), QStringLiteral("Text Files"), QStringLiteral("txt"), {});
    auto path = chooseNewOutput(m_services.prompter, d, m_names.prefix);
    if (path) m_lastNewPath = *path;
    return path;
}

std::optional<QString> FeatureOutputs::chooseAppend(bool shapefile) {
    // The append dialogs list only the window's own, prefixed files.
    return chooseAppendOutput(m_services.prompter,
                              shapefile ? dialog(QStringLiteral("Append to %1 Shapefile"), QStringLiteral("Shape Files"),
                                                 QStringLiteral("shp"), m_names.prefix)
                                        : dialog(QStringLiteral("Append to %1 File"), QStringLiteral("Text Files"),
                                                 QStringLiteral("txt"), m_names.prefix));
}

bool FeatureOutputs::failed(const QString& message) {
    m_services.prompter.message(message, kAppTitle, Prompter::Icon::Critical);
    return false;
}

bool FeatureOutputs::newRecordFile(const FieldRow& row) {
    const auto path = chooseNew(false);
    if (!path) return false;
    const WriteResult written = createRecordFile(*path, recordHeader(m_fields), recordValues(m_fields, row));
    return written ? true : failed(written.message());
}

bool FeatureOutputs::appendRecordFile(const FieldRow& row) {
    const auto path = chooseAppend(false);
    if (!path) return false;
    const WriteResult written = appendRecord(*path, recordHeader(m_fields), recordValues(m_fields, row));
    return written ? true : failed(written.message());
}

void FeatureOutputs::tellShortened(const std::vector<ShapefileWriter::Shortened>& shortened) {
    if (!shortened.empty())
        m_services.prompter.message(shortenedMessage(shortened), kAppTitle, Prompter::Icon::Information);
}

bool FeatureOutputs::newShapefile(const FieldRow& row, double x, double y) {
    const auto path = chooseNew(true);
    if (!path) return false;
    std::vector<ShapefileWriter::Shortened> shortened;
    try {
        shortened = writePointShape(*path, ShapefileWriter::OpenMode::Create, m_fields, row, x, y);
    } catch (const std::exception& e) {
        return failed(QString::fromStdString(e.what()));
    }
    const WriteResult prj = copyProjectionFile(m_services.paths, m_names.projectionFile, *path);
    if (!prj) return failed(prj.message());
    tellShortened(shortened);
    return true;
}

bool FeatureOutputs::appendShapefile(const FieldRow& row, double x, double y) {
    const auto path = chooseAppend(true);
    if (!path) return false;
    std::vector<ShapefileWriter::Shortened> shortened;
    try {
        shortened = writePointShape(*path, ShapefileWriter::OpenMode::Append, m_fields, row, x, y);
    } catch (const std::exception& e) {
        return failed(QString::fromStdString(e.what()));
    }
    tellShortened(shortened);
    return true;
}

}  // namespace waypost
