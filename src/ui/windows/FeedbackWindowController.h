#pragma once

#include "services/FeedbackKind.h"
#include "services/FeedbackService.h"

#include <QObject>
#include <QPointer>
#include <QQuickWindow>

#include <memory>
#include <optional>

class AppState;
class FeedbackViewModel;
class QmlWindowHost;


// The one feedback window, made on show and let go when closed. Showing it again gives a fresh, empty
// form for the new kind and context.
class FeedbackWindowController : public QObject {
    Q_OBJECT

public:
    FeedbackWindowController(QmlWindowHost& host, AppState& state, FeedbackService service = FeedbackService(),
                             QObject* parent = nullptr);
    ~FeedbackWindowController() override;

    void show(FeedbackKind kind = FeedbackKind::problem, const std::optional<QString>& context = std::nullopt);
    void close();

    QQuickWindow* window() const { return qobject_cast<QQuickWindow*>(m_window.data()); }
    FeedbackViewModel& viewModel() const { return *m_viewModel; }

private:
    void forgetWindow();

    QmlWindowHost& m_host;
    std::unique_ptr<FeedbackViewModel> m_viewModel;
    // A plain QWindow pointer: the window may be read while it is being destroyed, when it no longer is
    // a QQuickWindow.
    QPointer<QWindow> m_window;
};
