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

void LocationLabels::show(const LocationTexts& t) const {
    const std::pair<QLabel*, const QString*> values[] = {{latitude, &t.latitude}, {longitude, &t.longitude},
                                                         {albersX, &t.albersX},   {albersY, &t.albersY},
                                                         {utm, &t.utm},           {usng, &t.usng}};
    for (const auto& [label, text] : values)
        if (label) label->setText(*text);
    if (str && t.townshipRangeSection) str->setText(*t.townshipRangeSection);
}

LocationTexts LocationLabels::texts() const {
    const auto text = [](const QLabel* label) { return label ? label->text() : QString(); };
    LocationTexts t{text(albersX), text(albersY), text(longitude), text(latitude), text(usng), text(utm), {}};
    if (str) t.townshipRangeSection = str->text();
    return t;
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
    m_labels.clear();
    m_locating = false;
}

void LocationLink::receiveLocation(const LocationTexts& location) { m_labels.show(location); }

void LocationLink::receiveFoundSection(const QString& utm, const QString& section) {
    if (m_labels.utm) m_labels.utm->setText(utm);
    if (m_labels.str) m_labels.str->setText(section);
}

void LocationLink::copyFromPage() {
    // Only while this window is the page's caller: another window's location
    // must not land here, nor one this window has cleared since.
    if (!m_locating) return;
    auto* page = dynamic_cast<LocationSource*>(m_registry.existing(windowName::wp_ddc_0306));
    if (!page || page->caller() != m_window) return;
    if (const auto location = page->resultsForCaller()) m_labels.show(*location);
}

bool LocationLink::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && event->type() == QEvent::WindowActivate) copyFromPage();
    return QObject::eventFilter(watched, event);
}

}  // namespace waypost
