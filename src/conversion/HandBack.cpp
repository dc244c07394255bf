#include "conversion/HandBack.h"

namespace waypost::conversion {

std::optional<LocationTexts> handBackFor(const QString& caller, const LocationTexts& page) {
    if (caller == callerName::frmDBMan) {
        LocationTexts all = page;
        if (!all.townshipRangeSection) all.townshipRangeSection = QString();
        return all;
    }
    if (caller == callerName::wpFac || caller == callerName::wpHcane) {
        LocationTexts withoutTrs = page;
        withoutTrs.townshipRangeSection.reset();
        return withoutTrs;
    }
    return std::nullopt;
}

bool receivesFoundSection(const QString& caller) {
    return caller == callerName::frmDBMan || caller == callerName::wpFac;
}

}  // namespace waypost::conversion
