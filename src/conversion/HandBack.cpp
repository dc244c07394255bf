#include "conversion/HandBack.h"

namespace waypost::conversion {

std::optional<LocationTexts> handBackFor(const QString& caller, const LocationTexts& page) {
    if (caller == windowName::frmDBMan) {
        LocationTexts all = page;
        if (!all.townshipRangeSection) all.townshipRangeSection = QString();
        return all;
    }
    if (caller == windowName::wpFac || caller == windowName::wpHcane) {
        LocationTexts withoutTrs = page;
        withoutTrs.townshipRangeSection.reset();
        return withoutTrs;
    }
    return std::nullopt;
}

bool receivesFoundSection(const QString& caller) {
    return caller == windowName::frmDBMan || caller == windowName::wpFac;
}

}  // namespace waypost::conversion
