#include "ui/OnboardingViewModel.h"

#include "state/AppState.h"
#include "ui/OnboardingPresentation.h"
#include "ui/UiSymbols.h"

using namespace Qt::StringLiterals;

namespace {

OnboardingPresentation present(const AppState& state, const QLocale& locale)
{
    return OnboardingPresentation::make(state.locationAuthorizationStatus(), state.requiresLocationPermissionGate(), locale);
}

} // namespace

OnboardingViewModel::OnboardingViewModel(AppState& state, QLocale locale, QObject* parent,
                                         NetworkSettingsFinder hasNetworkSettings)
    : QObject(parent), m_state(state), m_locale(std::move(locale)), m_hasNetworkSettings(std::move(hasNetworkSettings))
{
    QObject::connect(&m_state, &AppState::locationAuthorizationStatusChanged, this, &OnboardingViewModel::changed);
}

bool OnboardingViewModel::needsAttention() const { return present(m_state, m_locale).needsAttention; }
QString OnboardingViewModel::rowIcon() const { return u"qrc"_s + UiSymbols::iconPath(present(m_state, m_locale).rowSystemImage); }
QString OnboardingViewModel::detail() const { return present(m_state, m_locale).detail; }
QString OnboardingViewModel::buttonTitle() const { return present(m_state, m_locale).buttonTitle; }
QString OnboardingViewModel::buttonIcon() const { return u"qrc"_s + UiSymbols::iconPath(present(m_state, m_locale).buttonSystemImage); }
bool OnboardingViewModel::continueEnabled() const { return present(m_state, m_locale).isContinueEnabled; }

void OnboardingViewModel::setLocale(const QLocale& locale)
{
    m_locale = locale;
    Q_EMIT changed();
}

void OnboardingViewModel::refresh() { m_state.refreshLocationAuthorizationStatus(); }

void OnboardingViewModel::pressAccessButton()
{
    switch (present(m_state, m_locale).buttonAction) {
    case OnboardingPresentation::Action::requestPermission:
        m_state.requestLocationPermissionIfNeeded();
        break;
    case OnboardingPresentation::Action::openSettings:
        m_settingsToolMissing = !m_hasNetworkSettings();
        if (!m_settingsToolMissing)
            m_state.openLocationSettings();
        Q_EMIT changed();
        break;
    case OnboardingPresentation::Action::none:
        break;
    }
}

void OnboardingViewModel::pressContinue()
{
    if (!continueEnabled() || !m_onFinished)
        return;
    // Taken before anything else, so a second press (or a re-entrant one) finds nothing to run.
    std::function<void()> onFinished = std::exchange(m_onFinished, {});
    Q_EMIT closeRequested();
    onFinished();
}
