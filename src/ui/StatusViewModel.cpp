#include "ui/StatusViewModel.h"

#include "readiness/WorkReadinessAssessment.h"
#include "state/AppState.h"
#include "ui/ConnectedWiFiPresentation.h"
#include "ui/DiagnosticStatus.h"
#include "ui/NetworkFacts.h"
#include "ui/SignalQuality.h"
#include "ui/UiTones.h"
#include "ui/NetworkListPlaceholder.h"
#include "ui/PropertySnapshot.h"
#include "ui/PublicNetworkRankRow.h"
#include "ui/StatusNetworks.h"
#include "ui/UiSymbols.h"
#include "ui/UiText.h"
#include "ui/WorkReadyStats.h"
#include "wifi/QualityFormatter.h"

#include <QVariantMap>

using namespace Qt::StringLiterals;

namespace {

QString iconURL(const QString& symbol)
{
    return u"qrc"_s + UiSymbols::iconPath(symbol);
}

} // namespace

StatusViewModel::StatusViewModel(AppState& state, QLocale locale, QObject* parent)
    : QObject(parent), m_state(state), m_locale(std::move(locale))
{
    for (auto signal : {&AppState::currentSnapshotChanged, &AppState::isConnectingChanged, &AppState::connectingSSIDChanged,
                        &AppState::currentPathStatusChanged, &AppState::locationAuthorizationStatusChanged,
                        &AppState::assistantTitleChanged, &AppState::connectivityCheckFinished})
        QObject::connect(&m_state, signal, this, &StatusViewModel::recompute);
    recompute();
}

void StatusViewModel::recompute()
{
    const WiFiSnapshot& snapshot = m_state.currentSnapshot();
    const QList<PublicNetworkCandidate> publicNetworks = StatusNetworks::publicNetworks(snapshot, m_locale);
    const auto connected = StatusNetworks::connectedPublicNetwork(snapshot, publicNetworks);
    const bool isReading = StatusNetworks::isReading(snapshot, m_state.isConnecting());

    m_assistantTitle = uiText(m_state.assistantTitle(), m_locale);
    const auto card = ConnectedWiFiPresentation::make(snapshot, connected, m_state.locationAuthorizationStatus(), m_locale);
    m_connectionTitle = card.title;
    m_connectionDetail = card.detail;
    m_connectionIcon = iconURL(card.systemImage);
    m_connectionColor = UiTones::color(card.tone);
    m_connectionLoading = !connected && isReading;
    m_connectionQuality = connected ? connected->quality : -1;
    m_connectionBadge = connected ? SignalQuality::badgeText(connected->quality) : QString();
    m_connectionBars = connected ? SignalQuality::litBars(connected->quality) : 0;
    if (connected)
        m_connectionTitle = connected->ssid;
    m_connectedFacts.clear();
    if (connected) {
        for (const NetworkFact& fact : NetworkFacts::facts(*connected, m_locale))
            m_connectedFacts.append(QVariantMap{{u"label"_s, fact.label}, {u"value"_s, fact.value}});
    }
    const bool locationNeeded = StatusNetworks::isLocationNeeded(m_state.locationAuthorizationStatus());
    m_checks.clear();
    for (const DiagnosticStatus& tile :
         {DiagnosticStatus::cafeWiFi(snapshot, connected, isReading, locationNeeded, m_locale),
          DiagnosticStatus::captivePortal(snapshot.portalState, isReading, m_locale), DiagnosticStatus::portalHelper(m_locale)})
        m_checks.append(QVariantMap{{u"label"_s, tile.label},
                                    {u"value"_s, tile.value.value_or(QString())},
                                    {u"detail"_s, tile.detail},
                                    {u"icon"_s, iconURL(tile.systemImage)},
                                    {u"color"_s, UiTones::color(tile.tone)},
                                    {u"loading"_s, tile.isLoading}});

    m_rowNetworks.clear();
    m_networks.clear();
    for (const PublicNetworkRankRow& row :
         PublicNetworkRankRow::rows(publicNetworks, connected, m_state.connectingSSID(), m_state.isConnecting())) {
        m_rowNetworks.append(row.network);
        m_networks.append(QVariantMap{
            {u"rank"_s, row.rank},
            {u"ssid"_s, row.network.ssid},
            {u"quality"_s, row.network.quality},
            {u"qualityLabel"_s, uiText(QualityFormatter::label(row.network.quality), m_locale)},
            {u"detail"_s, uiText(row.network.detail, m_locale)},
            {u"facts"_s, NetworkFacts::rowFacts(row.network, m_locale).join(u"  ·  "_s)},
            {u"badge"_s, SignalQuality::badgeText(row.network.quality)},
            {u"bars"_s, SignalQuality::litBars(row.network.quality)},
            {u"isConnected"_s, row.isConnected},
            {u"isConnecting"_s, row.isConnecting},
            {u"disabled"_s, row.connectionDisabled},
        });
    }
    m_networkCountBadge = PublicNetworkRankRow::countBadge(publicNetworks.size(), m_locale);
    const auto placeholder = NetworkListPlaceholder::make(snapshot, isReading, m_state.isConnecting(), locationNeeded, m_locale);
    m_placeholderLoading = placeholder.isLoading;
    m_placeholderTitle = placeholder.title;
    m_placeholderDetail = placeholder.detail;

    m_isChecking = isReading;
    const auto assessment = WorkReadinessAssessment::make(snapshot, m_state.currentPathStatus(), isReading);
    m_workReadyTitle = uiText(assessment.title, m_locale);
    m_workReadyDetail = uiText(assessment.detail, m_locale);
    m_workReadyRecommendation = uiText(assessment.recommendation, m_locale);
    m_workReadyScore = WorkReadyStats::scoreText(assessment, m_locale);
    m_workReadyFraction = WorkReadyStats::scoreFraction(assessment);
    m_limitingFactors = WorkReadyStats::tokens(assessment.limitingFactors, m_locale);
    m_showsWatch = WorkReadyStats::showsWatchCard(assessment);
    m_goodFor = WorkReadyStats::tokens(assessment.capabilities, m_locale);
    m_workReadyColor = UiTones::color(assessment.level);
    m_readinessIcon = iconURL(WorkReadyStats::levelSymbol(assessment.level));
    m_workReadyLevelIcon = assessment.level == WorkReadinessLevel::checking ? QString() : m_readinessIcon;
    m_nextStep = WorkReadyStats::nextStep(assessment.level, m_locale);
    m_canOpenPortal = m_state.portalAssistantURL().has_value();
    // Several properties read the state directly, so compare with what was last announced, not with
    // the moment before: the state has already moved on when its signal arrives.
    QVariantList shown = propertySnapshot(*this);
    if (shown != m_shown) {
        m_shown = std::move(shown);
        Q_EMIT changed();
    }
}

void StatusViewModel::setLocale(const QLocale& locale)
{
    m_locale = locale;
    recompute();
}

void StatusViewModel::refresh()
{
    m_state.refreshSnapshot();
    recompute();
}

void StatusViewModel::connectToRow(int index)
{
    if (index >= 0 && index < m_rowNetworks.size())
        m_state.connectTo(m_rowNetworks.at(index));
}

void StatusViewModel::openPortal()
{
    m_state.openPortal();
}
