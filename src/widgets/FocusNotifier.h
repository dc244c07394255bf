#pragma once

#include <QObject>

#include <functional>

namespace waypost {

/// Calls \p onFocus whenever the watched control gets the keyboard focus.
class FocusNotifier final : public QObject {
public:
    FocusNotifier(QObject* parent, std::function<void()> onFocus) : QObject(parent), m_onFocus(std::move(onFocus)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> m_onFocus;
};

}  // namespace waypost
