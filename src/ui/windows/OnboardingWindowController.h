#pragma once

#include <QObject>
#include <QPointer>
#include <QQuickWindow>

#include <functional>
#include <memory>

class AppState;
class OnboardingViewModel;
class QmlWindowHost;


// The setup window shown while Wi-Fi names are hidden. "Continue" closes it and runs the finish
// handler once; closing it by its close button only forgets the window.
class OnboardingWindowController : public QObject {
    Q_OBJECT

public:
    OnboardingWindowController(QmlWindowHost& host, AppState& state, QObject* parent = nullptr);
    ~OnboardingWindowController() override;

    void show(std::function<void()> onFinished);
    void close();

    QQuickWindow* window() const { return qobject_cast<QQuickWindow*>(m_window.data()); }
    OnboardingViewModel& viewModel() const { return *m_viewModel; }

private:
    void forgetWindow();

    QmlWindowHost& m_host;
    std::unique_ptr<OnboardingViewModel> m_viewModel;
    // A plain QWindow pointer: the window may be read while it is being destroyed, when it no longer is
    // a QQuickWindow.
    QPointer<QWindow> m_window;
};
