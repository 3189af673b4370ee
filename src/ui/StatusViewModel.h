#pragma once

#include <QLocale>
#include <QObject>
#include <QStringList>
#include <QVariantList>

#include "wifi/PublicNetworkCandidate.h"

class AppState;

// What the status window shows, computed from the application state by the presentation rules, so
// the QML only lays it out. Recomputed whenever the state notifies; QML binds to the properties.
class StatusViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString assistantTitle READ assistantTitle NOTIFY changed)
    Q_PROPERTY(QString connectionTitle READ connectionTitle NOTIFY changed)
    Q_PROPERTY(QString connectionDetail READ connectionDetail NOTIFY changed)
    Q_PROPERTY(QString connectionIcon READ connectionIcon NOTIFY changed)
    Q_PROPERTY(QVariantList networks READ networks NOTIFY changed)
    Q_PROPERTY(QString networkCountBadge READ networkCountBadge NOTIFY changed)
    Q_PROPERTY(bool placeholderLoading READ placeholderLoading NOTIFY changed)
    Q_PROPERTY(QString placeholderTitle READ placeholderTitle NOTIFY changed)
    Q_PROPERTY(QString placeholderDetail READ placeholderDetail NOTIFY changed)
    Q_PROPERTY(QString workReadyTitle READ workReadyTitle NOTIFY changed)
    Q_PROPERTY(QString workReadyDetail READ workReadyDetail NOTIFY changed)
    Q_PROPERTY(QString workReadyRecommendation READ workReadyRecommendation NOTIFY changed)
    Q_PROPERTY(QString workReadyScore READ workReadyScore NOTIFY changed)
    Q_PROPERTY(double workReadyFraction READ workReadyFraction NOTIFY changed)
    Q_PROPERTY(QStringList limitingFactors READ limitingFactors NOTIFY changed)
    Q_PROPERTY(bool canOpenPortal READ canOpenPortal NOTIFY changed)
    Q_PROPERTY(bool isChecking READ isChecking NOTIFY changed)
    Q_PROPERTY(QString connectionColor READ connectionColor NOTIFY changed)
    Q_PROPERTY(bool connectionLoading READ connectionLoading NOTIFY changed)
    Q_PROPERTY(int connectionQuality READ connectionQuality NOTIFY changed)
    Q_PROPERTY(QString connectionBadge READ connectionBadge NOTIFY changed)
    Q_PROPERTY(int connectionBars READ connectionBars NOTIFY changed)
    Q_PROPERTY(QVariantList connectedFacts READ connectedFacts NOTIFY changed)
    Q_PROPERTY(QVariantList checks READ checks NOTIFY changed)
    Q_PROPERTY(QString workReadyColor READ workReadyColor NOTIFY changed)
    Q_PROPERTY(QString workReadyLevelIcon READ workReadyLevelIcon NOTIFY changed)
    Q_PROPERTY(QString readinessIcon READ readinessIcon NOTIFY changed)
    Q_PROPERTY(QString nextStep READ nextStep NOTIFY changed)
    Q_PROPERTY(QStringList goodFor READ goodFor NOTIFY changed)
    Q_PROPERTY(bool showsWatch READ showsWatch NOTIFY changed)

public:
    explicit StatusViewModel(AppState& state, QLocale locale = QLocale(), QObject* parent = nullptr);

    QString assistantTitle() const { return m_assistantTitle; }
    QString connectionTitle() const { return m_connectionTitle; }
    QString connectionDetail() const { return m_connectionDetail; }
    QString connectionIcon() const { return m_connectionIcon; }
    // Each row: rank, ssid, quality, qualityLabel, detail, facts, badge, bars, isConnected, isConnecting, disabled.
    QVariantList networks() const { return m_networks; }
    QString networkCountBadge() const { return m_networkCountBadge; }
    bool placeholderLoading() const { return m_placeholderLoading; }
    QString placeholderTitle() const { return m_placeholderTitle; }
    QString placeholderDetail() const { return m_placeholderDetail; }
    QString workReadyTitle() const { return m_workReadyTitle; }
    QString workReadyDetail() const { return m_workReadyDetail; }
    QString workReadyRecommendation() const { return m_workReadyRecommendation; }
    QString workReadyScore() const { return m_workReadyScore; }
    double workReadyFraction() const { return m_workReadyFraction; }
    QStringList limitingFactors() const { return m_limitingFactors; }
    bool canOpenPortal() const { return m_canOpenPortal; }
    bool isChecking() const { return m_isChecking; }
    QString connectionColor() const { return m_connectionColor; }
    // A spinner on the connection card while the state is read and no open network is joined.
    bool connectionLoading() const { return m_connectionLoading; }
    // The joined open network's quality, -1 without one.
    int connectionQuality() const { return m_connectionQuality; }
    QString connectionBadge() const { return m_connectionBadge; }
    int connectionBars() const { return m_connectionBars; }
    // Each: label, value.
    QVariantList connectedFacts() const { return m_connectedFacts; }
    // The three "Connection Checks" tiles; each: label, value, detail, icon, color, loading.
    QVariantList checks() const { return m_checks; }
    QString workReadyColor() const { return m_workReadyColor; }
    // The level's icon on the score card; empty while checking.
    QString workReadyLevelIcon() const { return m_workReadyLevelIcon; }
    QString readinessIcon() const { return m_readinessIcon; }
    QString nextStep() const { return m_nextStep; }
    QStringList goodFor() const { return m_goodFor; }
    bool showsWatch() const { return m_showsWatch; }

    // The language the window speaks changed.
    void setLocale(const QLocale& locale);
    // The context the "Report this problem" link passes to the feedback window.
    QString reportContext() const { return m_placeholderTitle; }

    Q_INVOKABLE void refresh();
    // Joins the network of that row (as numbered by `networks`).
    Q_INVOKABLE void connectToRow(int index);
    Q_INVOKABLE void openPortal();

Q_SIGNALS:
    void changed();

private:
    void recompute();

    AppState& m_state;
    QLocale m_locale;
    QList<PublicNetworkCandidate> m_rowNetworks;
    QString m_assistantTitle;
    QString m_connectionTitle;
    QString m_connectionDetail;
    QString m_connectionIcon;
    QVariantList m_networks;
    QString m_networkCountBadge;
    bool m_placeholderLoading = false;
    QString m_placeholderTitle;
    QString m_placeholderDetail;
    QString m_workReadyTitle;
    QString m_workReadyDetail;
    QString m_workReadyRecommendation;
    QString m_workReadyScore;
    double m_workReadyFraction = 0;
    QStringList m_limitingFactors;
    bool m_canOpenPortal = false;
    bool m_isChecking = false;
    QString m_connectionColor;
    bool m_connectionLoading = false;
    int m_connectionQuality = -1;
    QString m_connectionBadge;
    int m_connectionBars = 0;
    QVariantList m_connectedFacts;
    QVariantList m_checks;
    QString m_workReadyColor;
    QString m_workReadyLevelIcon;
    QString m_readinessIcon;
    QString m_nextStep;
    QStringList m_goodFor;
    bool m_showsWatch = false;
    QVariantList m_shown; // the values last announced with changed()
};
