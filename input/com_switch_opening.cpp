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
        PortErrorAnswer answer = opening.AskAfterFailure();
        if (opening.Superseded())
            return ComSwitchesResult::Superseded;
        switch (answer) {
        case PortErrorAnswer::Retry:
            break;
        case PortErrorAnswer::OpenedWhileAsking:
            return ComSwitchesResult::OpenedWhileAsking;
        case PortErrorAnswer::DisableForSession:
            return ComSwitchesResult::DisabledForSession;
        case PortErrorAnswer::DisablePermanently:
            return ComSwitchesResult::DisabledPermanently;
        }
    }
}

std::optional<PortErrorAnswer> RetryWhileAsking(PortOpening& opening)
{
    if (opening.Superseded())
        return PortErrorAnswer::Retry;
    if (opening.TryOpenOnce())
        return PortErrorAnswer::OpenedWhileAsking;
    return std::nullopt;
}

void SessionDisabledPort::TakeAnswer(ComSwitchesResult result, const std::string& askedPort, Settings& running)
{
    if (result == ComSwitchesResult::DisabledForSession) {
        running.m_bComEnabled = 0;
        running.m_comConfig.Port.clear();
        m_port = askedPort;
    } else if (result == ComSwitchesResult::DisabledPermanently) {
        running.m_bComEnabled = 0;
        m_port.reset();
    }
}

Settings SessionDisabledPort::ToStore(const Settings& running)
{
    Settings stored = running;
    if (m_port && !stored.m_bComEnabled) {
        stored.m_bComEnabled = 1;
        stored.m_comConfig.Port = *m_port;
    } else {
        m_port.reset();
    }
    return stored;
}

void SessionDisabledPort::AfterLoading(Settings& loaded) const
{
    if (m_port && loaded.m_bComEnabled && loaded.m_comConfig.Port == *m_port) {
        loaded.m_bComEnabled = 0;
        loaded.m_comConfig.Port.clear();
    }
}
