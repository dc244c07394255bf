#include "platform/QtPrompter.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace waypost;

namespace {

/// Runs \p answer on the modal dialog as soon as it is up.
void whenDialogShows(std::function<void(QWidget*)> answer) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            answer(dialog);
        }
    });
    timer->start();
}

}  // namespace

/// The real dialogs, answered by a timer as a user would answer them.
class QtPrompterTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QtPrompter> m_prompter;
    /// A fresh one for every test, through the interface the windows use (with its default arguments).
    Prompter& prompter() { return *m_prompter; }

private slots:
    void init() { m_prompter = std::make_unique<QtPrompter>(); }

    void messageShowsTextTitleAndIcon() {
        QString text, title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        whenDialogShows([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            text = box->text();
            title = box->windowTitle();
            icon = box->icon();
            box->button(QMessageBox::Ok)->click();
        });
        prompter().message(QStringLiteral("Enter Facility Name"), kAppTitle, Prompter::Icon::Warning);
        QCOMPARE(text, QStringLiteral("Enter Facility Name"));
        QCOMPARE(title, QStringLiteral("Waypost"));
        QCOMPARE(icon, QMessageBox::Warning);
    }

    void questionHonoursItsDefaultButton() {
        // Enter takes the default button; Escape answers No.
        whenDialogShows([](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });
        QCOMPARE(prompter().question(QStringLiteral("Overwrite?"), QStringLiteral("File Exists"),
                                     Prompter::Icon::Critical, Prompter::Answer::No),
                 Prompter::Answer::No);
        whenDialogShows([](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });
        QCOMPARE(prompter().question(QStringLiteral("Add a link?"), kAppTitle, Prompter::Icon::Question,
                                     Prompter::Answer::Yes),
                 Prompter::Answer::Yes);
        whenDialogShows([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
        QCOMPARE(prompter().question(QStringLiteral("Add a link?")), Prompter::Answer::No);
        whenDialogShows([](QWidget* w) { qobject_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click(); });
        QCOMPARE(prompter().question(QStringLiteral("Overwrite?"), kAppTitle, Prompter::Icon::Critical,
                                     Prompter::Answer::No),
                 Prompter::Answer::Yes);
    }

    void inputTellsCancelFromEmpty() {
        for (const QString& typed : {QStringLiteral("http://example.org"), QString()}) {
            whenDialogShows([typed](QWidget* w) {
                auto* input = qobject_cast<QInputDialog*>(w);
                input->setTextValue(typed);
                input->accept();
            });
            const auto answer = prompter().inputText(QStringLiteral("Link"));
            QVERIFY(answer.has_value());  // an empty answer is not a cancel
            QCOMPARE(*answer, typed);
        }
        whenDialogShows([](QWidget* w) { qobject_cast<QInputDialog*>(w)->reject(); });
        QCOMPARE(prompter().inputText(QStringLiteral("Link")), std::nullopt);
    }

    void saveDialogAddsTheExtensionAndRemembersTheFolder() {
        QTemporaryDir dir;
        Prompter::FileDialog d{QStringLiteral("Save KML File"), QStringLiteral("KML Files (*.kml)"),
                               QStringLiteral("kml"), QStringLiteral("pfCamp"), dir.path(), false, {}};
        QStringList filters;
        whenDialogShows([&](QWidget* w) {
            auto* fd = qobject_cast<QFileDialog*>(w);
            QVERIFY(fd);
            QVERIFY(fd->testOption(QFileDialog::DontUseNativeDialog));
            filters = fd->nameFilters();
            static_cast<QDialog*>(fd)->accept();  // the default name as offered
        });
        const auto chosen = prompter().saveFile(d);
        QCOMPARE(filters, QStringList{QStringLiteral("KML Files (*.kml)")});
        QCOMPARE(chosen, std::optional<QString>(dir.filePath(QStringLiteral("pfCamp.kml"))));

        // The next dialog without a folder starts where the last choice was.
        QString startFolder;
        whenDialogShows([&](QWidget* w) {
            auto* fd = qobject_cast<QFileDialog*>(w);
            startFolder = fd->directory().absolutePath();
            fd->reject();
        });
        d.folder.clear();
        QCOMPARE(prompter().saveFile(d), std::nullopt);
        QCOMPARE(startFolder, QDir(dir.path()).absolutePath());
    }

    void openDialogTakesANewNameOnlyWhenAllowed() {
        QTemporaryDir dir;
        Prompter::FileDialog d{QStringLiteral("Append"), QStringLiteral("Text Files (pf*.txt)"), QStringLiteral("txt"),
                               {}, dir.path(), false, {}};
        for (const bool allowNewName : {false, true}) {
            d.allowNewName = allowNewName;
            QFileDialog::FileMode mode = QFileDialog::Directory;
            whenDialogShows([&](QWidget* w) {
                mode = qobject_cast<QFileDialog*>(w)->fileMode();
                static_cast<QDialog*>(w)->reject();
            });
            QCOMPARE(prompter().openFile(d), std::nullopt);
            QCOMPARE(mode, allowNewName ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        }
    }
};

QTEST_MAIN(QtPrompterTest)
#include "QtPrompterTest.moc"
