#include "widgets/LocationLink.h"

#include "platform/WindowRegistry.h"
#include "widgets/Look.h"

#include <QEvent>
#include <QLabel>

namespace waypost {

template <class F>
void LocationLabels::forEach(F f) const {
    for (QLabel* label : {latitude, longitude, albersX, albersY, utm, usng, str})
        if (label) f(label);
}

void LocationLabels::show(const std::optional<engine::Location>& at) const {
    if (!at) {
        clear();
        return;
    }
    const std::pair<QLabel*, std::string> values[] = {
        {latitude, at->latitudeText()}, {longitude, at->longitudeText()}, {albersX, at->albersXText()},
        {albersY, at->albersYText()},   {utm, at->utm},                   {usng, at->usng},
        {str, at->sectionText()}};
    for (const auto& [label, text] : values)
        if (label) label->setText(QString::fromStdString(text));
}

void LocationLabels::clear() const {
    forEach([](QLabel* label) { label->clear(); });
}

void LocationLabels::setInUse(bool inUse) const {
    forEach([inUse](QLabel* label) {
        label->setEnabled(inUse);
        setLabelBackground(label, inUse ? kActiveLocationColour : kInactiveLocationColour);
    });
}

void LocationLabels::setEnabled(bool enabled) const {
    forEach([enabled](QLabel* label) { label->setEnabled(enabled); });
}

LocationLink::LocationLink(WindowRegistry& registry, QWidget* window, QString windowName, LocationLabels labels)
    : QObject(window), m_registry(registry), m_window(window), m_windowName(std::move(windowName)),
      m_labels(labels) {
    window->installEventFilter(this);
}

void LocationLink::open() {
    m_labels.setInUse(true);
    auto* page = dynamic_cast<LocationSource*>(m_registry.show(windowName::wp_ddc_0306));
    if (page) page->startLocatingFor(m_window, this, m_windowName);
    m_locating = page != nullptr;
}

void LocationLink::clear() {
    m_location.reset();
    m_labels.clear();
    m_locating = false;
}

void LocationLink::receiveLocation(const std::optional<engine::Location>& location, SectionHandover section) {
    std::optional<engine::Location> next = location;
    // A window that keeps its own section keeps it for as long as it belongs to the point.
    if (next && section == SectionHandover::KeptByWindow) next->section = m_location ? m_location->section : std::nullopt;
    m_location = std::move(next);
    m_labels.show(m_location);
}

void LocationLink::receiveFoundSection(const engine::Location& location) {
    m_location = location;
    m_labels.show(m_location);
}

void LocationLink::copyFromPage() {
    // Only while this window is the page's caller: another window's location
    // must not land here, nor one this window has cleared since.
    if (!m_locating) return;
    auto* page = dynamic_cast<LocationSource*>(m_registry.existing(windowName::wp_ddc_0306));
    if (!page || page->caller() != m_window) return;
    page->handBackAgain();
}

bool LocationLink::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && event->type() == QEvent::WindowActivate) copyFromPage();
    return QObject::eventFilter(watched, event);
}

}  // namespace waypost
