#include "platform/QtPrompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <tuple>

using namespace waypost;

namespace {

/// Runs \p answer on the modal dialog as soon as it is up.
void whenDialogShows(const std::function<void(QWidget*)>& answer) {
    QTimer::singleShot(10, [answer] {
        if (QWidget* dialog = QApplication::activeModalWidget()) answer(dialog);
        else whenDialogShows(answer);
    });
}

}  // namespace

/// The real dialogs, answered by a timer as a user would answer them.
class QtPrompterTest : public QObject {
    Q_OBJECT

    QtPrompter m_dialogs;
    /// Through the interface the windows use (with its default arguments).
    Prompter& prompter = m_dialogs;

private slots:
    // A message shows its text, title and icon.
    void messageShowsTextTitleAndIcon() {
        QStringList seen;
        whenDialogShows([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            seen << box->text() << box->windowTitle() << QString::number(box->icon());
            box->button(QMessageBox::Ok)->click();
        });
        prompter.message(QStringLiteral("Enter Facility Name"), kAppTitle, Prompter::Icon::Warning);
        QCOMPARE(seen, (QStringList{"Enter Facility Name", "Waypost", QString::number(QMessageBox::Warning)}));
    }

    // Enter takes the default button; Escape answers No.
    void questionHonoursItsDefaultButton() {
        // The key pressed, the default button; the answer.
        const std::tuple<Qt::Key, Prompter::Answer, Prompter::Answer> cases[] = {
            {Qt::Key_Return, Prompter::Answer::No, Prompter::Answer::No},
            {Qt::Key_Return, Prompter::Answer::Yes, Prompter::Answer::Yes},
            {Qt::Key_Escape, Prompter::Answer::Yes, Prompter::Answer::No}};
        for (const auto& [key, defaultButton, answer] : cases) {
            whenDialogShows([key = key](QWidget* w) { QTest::keyClick(w, key); });
            QCOMPARE(prompter.question(QStringLiteral("Overwrite?"), kAppTitle, Prompter::Icon::Critical, defaultButton),
                     answer);
        }
    }

    // An input confirmed empty is not a cancel.
    void inputTellsCancelFromEmpty() {
        for (const std::optional<QString>& typed : {std::optional(QStringLiteral("http://example.org")),
                                                    std::optional(QString()), std::optional<QString>()}) {
            whenDialogShows([typed](QWidget* w) {
                auto* input = qobject_cast<QInputDialog*>(w);
                input->setTextValue(typed.value_or(QString()));
                typed ? input->accept() : input->reject();  // nothing typed: cancelled
            });
            QCOMPARE(prompter.inputText(QStringLiteral("Link")), typed);
        }
    }

    // The save dialog (Qt's own, with the filter given) adds the extension to
    // the name offered, and the next dialog without a folder starts where the last choice was.
    void fileDialogsAddTheExtensionRememberTheFolderAndTakeNewNamesWhenAllowed() {
        QTemporaryDir dir;
        Prompter::FileDialog d{QStringLiteral("Save KML File"), QStringLiteral("KML Files (*.kml)"),
                               QStringLiteral("kml"), QStringLiteral("pfCamp"), dir.path(), false, {}};
        bool asGiven = false;
        whenDialogShows([&](QWidget* w) {
            auto* fd = qobject_cast<QFileDialog*>(w);
            asGiven = fd && fd->testOption(QFileDialog::DontUseNativeDialog) && fd->nameFilters() == QStringList{d.filter};
            static_cast<QDialog*>(w)->accept();  // the default name as offered
        });
        QCOMPARE(prompter.saveFile(d), std::optional<QString>(dir.filePath(QStringLiteral("pfCamp.kml"))));
        QVERIFY(asGiven);

        QString startFolder;
        whenDialogShows([&](QWidget* w) {
            auto* fd = qobject_cast<QFileDialog*>(w);
            startFolder = fd->directory().absolutePath();
            fd->reject();
        });
        d.folder.clear();
        QCOMPARE(prompter.saveFile(d), std::nullopt);
        QCOMPARE(startFolder, QDir(dir.path()).absolutePath());

        // An open dialog takes the name of a file not there yet only when allowed.
        for (const bool allowNewName : {false, true}) {
            d.allowNewName = allowNewName;
            QFileDialog::FileMode mode = QFileDialog::Directory;
            whenDialogShows([&](QWidget* w) {
                mode = qobject_cast<QFileDialog*>(w)->fileMode();
                static_cast<QDialog*>(w)->reject();
            });
            QCOMPARE(prompter.openFile(d), std::nullopt);
            QCOMPARE(mode, allowNewName ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        }
    }
};

QTEST_MAIN(QtPrompterTest)
#include "QtPrompterTest.moc"
