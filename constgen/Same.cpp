#include "Same.h"

bool SameValue(const Failure& failureA, IntValue a, const Failure& failureB, IntValue b) {
    const bool okA = failureA.reason == SkipReason::None;
    const bool okB = failureB.reason == SkipReason::None;
    if (!okA || !okB) {
        return okA == okB;
    }
    if (IntValueFits32(a) && IntValueFits32(b)) {
        return static_cast<uint32_t>(a.bits) == static_cast<uint32_t>(b.bits);
    }
    return a.bits == b.bits && IntValueFits32(a) == IntValueFits32(b);
}

bool SameForExpressions(const Failure& failureA, IntValue a, const Failure& failureB, IntValue b) {
    if (failureA.reason != SkipReason::None || failureB.reason != SkipReason::None) {
        return SameValue(failureA, a, failureB, b);
    }
    return a.bits == b.bits && a.type == b.type && a.typeUncertain == b.typeUncertain;
}

bool SameDefinition(const Macro& a, const Macro& b) {
    if (a.functionLike != b.functionLike || a.variadic != b.variadic ||
        a.parameters != b.parameters || a.body.size() != b.body.size()) {
        return false;
    }
    for (size_t i = 0; i < a.body.size(); ++i) {
        if (a.body[i].text != b.body[i].text) {
            return false;
        }
    }
    return true;
}
