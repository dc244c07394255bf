#include "widgets/BackgroundJob.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace waypost {
namespace {

/// Keeps a window as it is while its job runs: it takes no input and cannot
/// be closed under the handler that waits for the job. (Disabling it instead
/// would move the keyboard focus, which some windows answer.)
class HoldStill final : public QObject {
public:
    explicit HoldStill(QWidget* window) : QObject(window), m_window(window) { qApp->installEventFilter(this); }
    ~HoldStill() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* receiver, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(receiver);
        if (!widget || (widget != m_window && !m_window->isAncestorOf(widget))) return false;
        switch (event->type()) {
        case QEvent::Close:
            if (widget != m_window) return false;
            event->ignore();
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Wheel:
        case QEvent::ShortcutOverride:
            return true;
        default:
            return false;
        }
    }

private:
    QWidget* m_window;
};

}  // namespace

WaitCursor::WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
WaitCursor::~WaitCursor() { QApplication::restoreOverrideCursor(); }

void BackgroundJob::launch(QWidget* window, ShowProgress show, std::function<void(JobProgress&)> work,
                           std::function<void(bool windowThere)> done, bool wait) {
    auto progress = std::make_shared<JobProgress>(0);
    QPointer<QWidget> guard(window);
    auto* holdStill = new HoldStill(window);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto* timer = new QTimer(window);
    if (show) {
        QObject::connect(timer, &QTimer::timeout, window, [show, progress] { show(progress->load()); });
        timer->start(100);
    }
    QThread* thread = QThread::create([work = std::move(work), progress] { work(*progress); });
    QEventLoop* loop = wait ? new QEventLoop : nullptr;
    // Connected to the thread, not to the window: the cursor comes back even
    // when the window has gone meanwhile.
    QObject::connect(thread, &QThread::finished, thread, [=, show = std::move(show), done = std::move(done)] {
        QApplication::restoreOverrideCursor();
        thread->deleteLater();
        if (guard) {
            delete timer;
            delete holdStill;
            if (show) show(progress->load());
        }
        if (loop) loop->quit();
        done(static_cast<bool>(guard));
    });
    thread->start();
    if (loop) {
        loop->exec();  // paints, and runs what other windows are asked to do
        delete loop;
    }
}

}  // namespace waypost
