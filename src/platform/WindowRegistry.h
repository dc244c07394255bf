#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

namespace waypost {

/// The names of the program's windows, as the registry knows them.
namespace windowName {
inline const QString wp_main = QStringLiteral("wp_main");
inline const QString frmAbout = QStringLiteral("frmAbout");
inline const QString wpFac = QStringLiteral("wpFac");
inline const QString frmDBMan = QStringLiteral("frmDBMan");
inline const QString wpHcane = QStringLiteral("wpHcane");
inline const QString wp_ddc_0306 = QStringLiteral("wp_ddc_0306");
inline const QString frmGEAddress = QStringLiteral("frmGEAddress");
inline const QString kml_firedp_0611 = QStringLiteral("kml_firedp_0611");
inline const QString frmdatabase = QStringLiteral("frmdatabase");
inline const QString frmbatLLtoUSNG = QStringLiteral("frmbatLLtoUSNG");
inline const QString frmAgency = QStringLiteral("frmAgency");
}  // namespace windowName

/// One shared instance per window: created the first time it is asked for,
/// reused afterwards, shown without being modal. Windows find each other
/// through it. A window that is closed by its frame is gone; the next request
/// creates a new one.
class WindowRegistry final : public QObject {
    Q_OBJECT
public:
    using Factory = std::function<QWidget*()>;

    /// The windows that UnloadAllForms unloads, in its order; the main window is last.
    static const QStringList& unloadOrder();

    explicit WindowRegistry(QObject* parent = nullptr);
    ~WindowRegistry() override;

    /// Makes \p name known. \p focusChild is the objectName of the control that
    /// gets the keyboard focus whenever the window is opened through show().
    void registerWindow(const QString& name, Factory factory, const QString& focusChild = {});
    bool isRegistered(const QString& name) const;
    /// Every name made known, in alphabetical order.
    QStringList registeredNames() const;

    /// The shared instance, created when it does not exist; nullptr for an unknown name.
    QWidget* instance(const QString& name);
    template <class T>
    T* instanceAs(const QString& name) {
        return qobject_cast<T*>(instance(name));
    }
    /// The instance when it exists, without creating it.
    QWidget* existing(const QString& name) const;

    /// Opens a window: creates it when needed, shows it non-modal, brings it to
    /// the front and puts the focus on its focus control.
    QWidget* show(const QString& name);

    /// Unloads one window: it is closed and destroyed, and forgotten by the
    /// registry. Returns false when the window refused to close.
    bool unload(const QString& name);

    /// Unloads the feature windows, the conversion page and the address window,
    /// then the main window itself. \p reason is accepted and has no effect.
    /// The windows outside this list stay open; the program ends when the last
    /// window is closed.
    void UnloadAllForms(const QString& reason = {});
    /// UnloadAllForms called from the close handler of \p closing (the main
    /// window closed by its frame): that window is already on its way out and is
    /// not asked to close a second time.
    void UnloadAllFormsWhileClosing(QWidget* closing);
    bool isUnloadingAll() const { return m_unloadingAll; }

signals:
    void windowCreated(const QString& name);
    void windowUnloaded(const QString& name);

private:
    struct Entry {
        Factory factory;
        QString focusChild;
        QPointer<QWidget> window;
    };
    QHash<QString, Entry> m_entries;
    bool m_unloadingAll = false;
    QWidget* m_closing = nullptr;
};

}  // namespace waypost
