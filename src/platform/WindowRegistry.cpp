#include "platform/WindowRegistry.h"

namespace waypost {

const QStringList& WindowRegistry::unloadOrder() {
    static const QStringList order{windowName::wpFac,        windowName::wpHcane,  windowName::wp_ddc_0306,
                                   windowName::frmGEAddress, windowName::frmDBMan, windowName::wp_main};
    return order;
}

WindowRegistry::WindowRegistry(QObject* parent) : QObject(parent) {}

WindowRegistry::~WindowRegistry() {
    // Windows still alive at the end of the run go with the registry.
    for (auto& entry : m_entries)
        delete entry.window.data();
}

void WindowRegistry::registerWindow(const QString& name, Factory factory, const QString& focusChild) {
    Entry& entry = m_entries[name];
    entry.factory = std::move(factory);
    entry.focusChild = focusChild;
}

bool WindowRegistry::isRegistered(const QString& name) const { return m_entries.contains(name); }

QStringList WindowRegistry::registeredNames() const {
    QStringList names = m_entries.keys();
    names.sort();
    return names;
}

QWidget* WindowRegistry::existing(const QString& name) const {
    const auto it = m_entries.constFind(name);
    return it == m_entries.constEnd() ? nullptr : it->window.data();
}

QWidget* WindowRegistry::instance(const QString& name) {
    const auto it = m_entries.find(name);
    if (it == m_entries.end()) return nullptr;
    if (!it->window) {
        QWidget* window = it->factory();
        if (!window) return nullptr;
        window->setObjectName(name);
        // A window closed by its frame is unloaded: the next request makes a new one.
        window->setAttribute(Qt::WA_DeleteOnClose, true);
        it->window = window;
        emit windowCreated(name);
    }
    return it->window.data();
}

QWidget* WindowRegistry::show(const QString& name) {
    QWidget* window = instance(name);
    if (!window) return nullptr;
    window->show();
    if (window->isMinimized()) window->showNormal();
    window->raise();
    window->activateWindow();
    const QString focus = m_entries.value(name).focusChild;
    if (!focus.isEmpty())
        if (auto* child = window->findChild<QWidget*>(focus)) child->setFocus(Qt::OtherFocusReason);
    return window;
}

bool WindowRegistry::unload(const QString& name) {
    const auto it = m_entries.find(name);
    if (it == m_entries.end() || !it->window) return true;
    QPointer<QWidget> window = it->window;
    // Forget it first: a window that unloads the others from its own close
    // handler must not find itself again.
    it->window = nullptr;
    if (window == m_closing) {
        // Already closing: let that close finish and destroy it.
        window->setAttribute(Qt::WA_DeleteOnClose, true);
        emit windowUnloaded(name);
        return true;
    }
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    if (!window->close()) {
        window->setAttribute(Qt::WA_DeleteOnClose, true);
        m_entries[name].window = window;
        return false;
    }
    // Deferred: the window may be unloading itself from one of its own handlers.
    window->deleteLater();
    emit windowUnloaded(name);
    return true;
}

void WindowRegistry::UnloadAllForms(const QString& reason) {
    Q_UNUSED(reason);
    if (m_unloadingAll) return;
    m_unloadingAll = true;
    for (const QString& name : unloadOrder())
        unload(name);
    m_unloadingAll = false;
}

void WindowRegistry::UnloadAllFormsWhileClosing(QWidget* closing) {
    m_closing = closing;
    UnloadAllForms();
    m_closing = nullptr;
}

}  // namespace waypost
