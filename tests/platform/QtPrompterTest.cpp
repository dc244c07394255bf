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

private slots:
    void messageShowsTextTitleAndIcon() {
        QtPrompter qtPrompter;
        Prompter& prompter = qtPrompter;
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
        prompter.message(QStringLiteral("Enter Facility Name"), kAppTitle, Prompter::Icon::Warning);
        QCOMPARE(text, QStringLiteral("Enter Facility Name"));
        QCOMPARE(title, QStringLiteral("Waypost"));
        QCOMPARE(icon, QMessageBox::Warning);
    }

    void questionHonoursItsDefaultButton() {
        QtPrompter qtPrompter;
        Prompter& prompter = qtPrompter;
        // Enter takes the default button; Escape answers No.
        whenDialogShows([](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });
        QCOMPARE(prompter.question(QStringLiteral("Overwrite?"), QStringLiteral("File Exists"),
                                   Prompter::Icon::Critical, Prompter::Answer::No),
                 Prompter::Answer::No);
        whenDialogShows([](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });
        QCOMPARE(prompter.question(QStringLiteral("Add a link?"), kAppTitle, Prompter::Icon::Question,
                                   Prompter::Answer::Yes),
                 Prompter::Answer::Yes);
        whenDialogShows([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
        QCOMPARE(prompter.question(QStringLiteral("Add a link?")), Prompter::Answer::No);
        whenDialogShows([](QWidget* w) { qobject_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click(); });
        QCOMPARE(prompter.question(QStringLiteral("Overwrite?"), kAppTitle, Prompter::Icon::Critical,
                                   Prompter::Answer::No),
                 Prompter::Answer::Yes);
    }

    void inputTellsCancelFromEmpty() {
        QtPrompter qtPrompter;
        Prompter& prompter = qtPrompter;
        whenDialogShows([](QWidget* w) {
            auto* input = qobject_cast<QInputDialog*>(w);
            input->setTextValue(QStringLiteral("http://example.org"));
            input->accept();
        });
        QCOMPARE(prompter.inputText(QStringLiteral("Link")), std::optional<QString>(QStringLiteral("http://example.org")));
        whenDialogShows([](QWidget* w) {
            auto* input = qobject_cast<QInputDialog*>(w);
            input->setTextValue(QString());
            input->accept();
        });
        const auto empty = prompter.inputText(QStringLiteral("Link"));
        QVERIFY(empty.has_value());
        QVERIFY(empty->isEmpty());
        whenDialogShows([](QWidget* w) { qobject_cast<QInputDialog*>(w)->reject(); });
        QCOMPARE(prompter.inputText(QStringLiteral("Link")), std::nullopt);
    }

    void saveDialogAddsTheExtensionAndRemembersTheFolder() {
        QTemporaryDir dir;
        QtPrompter qtPrompter;
        Prompter& prompter = qtPrompter;
        Prompter::FileDialog d{QStringLiteral("Save KML File"), QStringLiteral("KML Files (*.kml)"),
                               QStringLiteral("kml"), QStringLiteral("pfCamp"), dir.path()};
        QStringList filters;
        whenDialogShows([&](QWidget* w) {
            auto* fd = qobject_cast<QFileDialog*>(w);
            QVERIFY(fd);
            QVERIFY(fd->testOption(QFileDialog::DontUseNativeDialog));
            filters = fd->nameFilters();
            static_cast<QDialog*>(fd)->accept();  // the default name as offered
        });
        const auto chosen = prompter.saveFile(d);
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
        QCOMPARE(prompter.saveFile(d), std::nullopt);
        QCOMPARE(startFolder, QDir(dir.path()).absolutePath());
    }

    void openDialogTakesANewNameOnlyWhenAllowed() {
        QTemporaryDir dir;
        QtPrompter qtPrompter;
        Prompter& prompter = qtPrompter;
        Prompter::FileDialog d{QStringLiteral("Append"), QStringLiteral("Text Files (pf*.txt)"), QStringLiteral("txt"),
                               {}, dir.path()};
        QFileDialog::FileMode mode = QFileDialog::Directory;
        whenDialogShows([&](QWidget* w) {
            mode = qobject_cast<QFileDialog*>(w)->fileMode();
            static_cast<QDialog*>(w)->reject();
        });
        QCOMPARE(prompter.openFile(d), std::nullopt);
        QCOMPARE(mode, QFileDialog::ExistingFile);
        d.allowNewName = true;
        whenDialogShows([&](QWidget* w) {
            mode = qobject_cast<QFileDialog*>(w)->fileMode();
            static_cast<QDialog*>(w)->reject();
        });
        QCOMPARE(prompter.openFile(d), std::nullopt);
        QCOMPARE(mode, QFileDialog::AnyFile);
    }
};

QTEST_MAIN(QtPrompterTest)
#include "QtPrompterTest.moc"
