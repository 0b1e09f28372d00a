#include "com_switch_opening.h"

PortErrorAnswer PortErrorAnswerFor(std::intptr_t dialogResult)
{
    switch (dialogResult) {
    case kPortErrorRetry:
        return PortErrorAnswer::Retry;
    case kPortErrorDisablePermanently:
        return PortErrorAnswer::DisablePermanently;
    default:
        return PortErrorAnswer::DisableForSession;
    }
}

ComSwitchesResult OpenOrAskUser(PortOpening& opening)
{
    for (;;) {
        if (opening.TryOpen())
            return ComSwitchesResult::Open;
        switch (opening.AskAfterFailure()) {
        case PortErrorAnswer::Retry:
            break;
        case PortErrorAnswer::DisableForSession:
            return ComSwitchesResult::DisabledForSession;
        case PortErrorAnswer::DisablePermanently:
            return ComSwitchesResult::DisabledPermanently;
        }
    }
}
