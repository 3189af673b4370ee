#pragma once

#include "ui/NetworkSettingsTool.h"

#include <QLocale>
#include <QObject>

#include <functional>

class AppState;

// The setup window: the "Location Access" row, its one button and "Continue", which runs the finish
// handler at most once.
class OnboardingViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool needsAttention READ needsAttention NOTIFY changed)
    Q_PROPERTY(QString rowIcon READ rowIcon NOTIFY changed)
    Q_PROPERTY(QString detail READ detail NOTIFY changed)
    Q_PROPERTY(QString buttonTitle READ buttonTitle NOTIFY changed)
    Q_PROPERTY(QString buttonIcon READ buttonIcon NOTIFY changed)
    Q_PROPERTY(bool continueEnabled READ continueEnabled NOTIFY changed)
    Q_PROPERTY(QString settingsToolMessage READ settingsToolMessage NOTIFY changed)

public:
    OnboardingViewModel(AppState& state, QLocale locale, QObject* parent = nullptr,
                        NetworkSettingsFinder hasNetworkSettings = installedNetworkSettings());

    bool needsAttention() const;
    QString rowIcon() const;
    QString detail() const;
    QString buttonTitle() const;
    QString buttonIcon() const;
    bool continueEnabled() const;
    // Set when "Open Settings" found no program to open; empty otherwise.
    QString settingsToolMessage() const { return m_settingsToolMissing ? missingNetworkSettingsText(m_locale) : QString(); }

    void setLocale(const QLocale& locale);
    // Replaces the handler "Continue" runs; the window closes before it runs.
    void setOnFinished(std::function<void()> onFinished) { m_onFinished = std::move(onFinished); }

    // Asked when the window appears and whenever the application becomes active.
    Q_INVOKABLE void refresh();
    Q_INVOKABLE void pressAccessButton();
    Q_INVOKABLE void pressContinue();

Q_SIGNALS:
    void changed();
    void closeRequested();

private:
    AppState& m_state;
    QLocale m_locale;
    NetworkSettingsFinder m_hasNetworkSettings;
    bool m_settingsToolMissing = false;
    std::function<void()> m_onFinished;
};
