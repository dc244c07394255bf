#include "conversion/HandBack.h"

namespace waypost::conversion {

std::optional<SectionHandover> handBackFor(const QString& caller) {
    if (caller == windowName::frmDBMan) return SectionHandover::Carried;
    if (caller == windowName::wpFac || caller == windowName::wpHcane) return SectionHandover::KeptByWindow;
    return std::nullopt;
}

bool receivesFoundSection(const QString& caller) {
    return caller == windowName::frmDBMan || caller == windowName::wpFac;
}

}  // namespace waypost::conversion
