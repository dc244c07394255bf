#include "platform/QtPrompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

namespace waypost {
namespace {

QMessageBox::Icon toQt(Prompter::Icon icon) {
    switch (icon) {
    case Prompter::Icon::Information: return QMessageBox::Information;
    case Prompter::Icon::Warning: return QMessageBox::Warning;
    case Prompter::Icon::Critical: return QMessageBox::Critical;
    case Prompter::Icon::Question: return QMessageBox::Question;
    case Prompter::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

QtPrompter::QtPrompter(QWidget* parent) : m_parent(parent) {}

void QtPrompter::message(const QString& text, const QString& title, Icon icon) {
    QMessageBox box(toQt(icon), title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

Prompter::Answer QtPrompter::question(const QString& text, const QString& title, Icon icon,
                                      Answer defaultButton) {
    QMessageBox box(toQt(icon), title, text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setDefaultButton(defaultButton == Answer::No ? QMessageBox::No : QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

std::optional<QString> QtPrompter::inputText(const QString& prompt, const QString& title,
                                             const QString& defaultText) {
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), title, prompt,
                                               QLineEdit::Normal, defaultText, &ok);
    if (!ok) return std::nullopt;
    return text;
}

std::optional<QString> QtPrompter::inputSecret(const QString& prompt, const QString& title) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(QApplication::activeWindow(), title, prompt, QLineEdit::Password, QString(), &ok);
    if (!ok) return std::nullopt;
    return text;
}

std::optional<QString> QtPrompter::openFile(const FileDialog& dialog) { return runFileDialog(dialog, false); }

std::optional<QString> QtPrompter::saveFile(const FileDialog& dialog) { return runFileDialog(dialog, true); }

std::optional<QString> QtPrompter::runFileDialog(const FileDialog& dialog, bool save) {
    QWidget* parent = QApplication::activeWindow() ? QApplication::activeWindow() : m_parent;
    QFileDialog fd(parent, dialog.title);
    fd.setOption(QFileDialog::DontUseNativeDialog, true);
    fd.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    fd.setFileMode(save || dialog.allowNewName ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // Callers ask their own overwrite questions, with their own texts.
    fd.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!dialog.filter.isEmpty()) fd.setNameFilter(dialog.filter);
    if (!dialog.defaultExtension.isEmpty()) fd.setDefaultSuffix(dialog.defaultExtension);
    const QString folder = !dialog.folder.isEmpty() ? dialog.folder : m_lastFolder;
    if (!folder.isEmpty()) fd.setDirectory(folder);
    if (!dialog.fileName.isEmpty()) fd.selectFile(dialog.fileName);
    if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty()) return std::nullopt;
    const QString chosen = fd.selectedFiles().constFirst();
    m_lastFolder = QFileInfo(chosen).absolutePath();
    return chosen;
}

void QtPrompter::beep() { QApplication::beep(); }

}  // namespace waypost
