#include "widgets/BackgroundWork.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QThread>

namespace waypost::detail {

namespace {

/// Keeps a window open while its work runs: it cannot be closed under the
/// handler that waits for the work.
class HoldOpen final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::Close) return false;
        event->ignore();
        return true;
    }
};

}  // namespace

bool runWhilePainting(QWidget* window, const std::function<void()>& work) {
    QPointer<QWidget> guard(window);
    HoldOpen holdOpen;
    window->installEventFilter(&holdOpen);
    window->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QEventLoop loop;
    QThread* thread = QThread::create(work);
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec();  // paints, and runs what other windows are asked to do
    thread->wait();
    delete thread;
    QApplication::restoreOverrideCursor();
    if (!guard) return false;
    window->removeEventFilter(&holdOpen);
    window->setEnabled(true);
    return true;
}

}  // namespace waypost::detail
