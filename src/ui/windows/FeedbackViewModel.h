#pragma once

#include "services/FeedbackKind.h"
#include "services/FeedbackService.h"
#include "services/gui/FeedbackAttachmentIntake.h"
#include "ui/FeedbackPresentation.h"

#include <QCoroTask>
#include <QHash>
#include <QLocale>
#include <QObject>
#include <QUrl>
#include <QVariantList>

#include <optional>

class AppState;

// The feedback form: kind, message, e-mail, screenshots within their limits, the send gate, and the
// result line. Sending captures the coarse diagnostics at that moment and posts the report.
class FeedbackViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(int kind READ kindIndex WRITE setKindIndex NOTIFY changed)
    Q_PROPERTY(QString context READ context NOTIFY changed)
    Q_PROPERTY(QString message READ message WRITE setMessage NOTIFY changed)
    Q_PROPERTY(QString email READ email WRITE setEmail NOTIFY changed)
    Q_PROPERTY(QString messageTitle READ messageTitle NOTIFY changed)
    Q_PROPERTY(QString messagePrompt READ messagePrompt NOTIFY changed)
    Q_PROPERTY(QString wordCounter READ wordCounter NOTIFY changed)
    Q_PROPERTY(QString wordLimitNotice READ wordLimitNotice NOTIFY changed)
    Q_PROPERTY(QString attachmentCounter READ attachmentCounter NOTIFY changed)
    Q_PROPERTY(QVariantList attachments READ attachments NOTIFY changed)
    Q_PROPERTY(bool canSend READ canSend NOTIFY changed)
    Q_PROPERTY(bool isSending READ isSending NOTIFY changed)
    Q_PROPERTY(QString sendButtonTitle READ sendButtonTitle NOTIFY changed)
    Q_PROPERTY(bool hasResult READ hasResult NOTIFY changed)
    Q_PROPERTY(QString resultText READ resultText NOTIFY changed)
    Q_PROPERTY(bool resultIsSuccess READ resultIsSuccess NOTIFY changed)

public:
    // Opens the e-mail fallback's "mailto:" address; the desktop's URL handler by default.
    using URLOpener = std::function<bool(const QUrl&)>;

    FeedbackViewModel(AppState& state, FeedbackService service, QLocale locale, URLOpener openURL = {},
                      QObject* parent = nullptr);

    // A fresh, empty form for this kind and context.
    void reset(FeedbackKind kind, const std::optional<QString>& context);

    int kindIndex() const { return int(m_kind); }
    void setKindIndex(int index);
    QString context() const { return m_context.value_or(QString()); }
    QString message() const { return m_message; }
    void setMessage(const QString& message);
    QString email() const { return m_email; }
    void setEmail(const QString& email);
    QString messageTitle() const;
    QString messagePrompt() const;
    QString wordCounter() const;
    QString wordLimitNotice() const;
    QString attachmentCounter() const;
    // Each: id, filename, thumbnail (a data: URL), removeLabel.
    QVariantList attachments() const;
    bool canSend() const;
    bool isSending() const { return m_isSending; }
    QString sendButtonTitle() const;
    bool hasResult() const { return m_result.has_value(); }
    QString resultText() const;
    bool resultIsSuccess() const;
    const std::optional<FeedbackResult>& result() const { return m_result; }

    void setLocale(const QLocale& locale);

    // Files from the chooser or a drop, as local file URLs.
    Q_INVOKABLE void addAttachments(const QList<QUrl>& files);
    Q_INVOKABLE void removeAttachment(const QString& id);
    Q_INVOKABLE void send();
    Q_INVOKABLE void openEmailFallback();
    // Resolves when the running send (if any) has finished; for tests.
    QCoro::Task<> sendFinished();

Q_SIGNALS:
    void changed();
    void sendDidFinish();

private:
    QCoro::Task<> submit();

    AppState& m_state;
    FeedbackService m_service;
    QLocale m_locale;
    URLOpener m_openURL;
    FeedbackKind m_kind = FeedbackKind::problem;
    std::optional<QString> m_context;
    QString m_message;
    QString m_email;
    QList<FeedbackAttachment> m_attachments;
    QHash<QUuid, QString> m_thumbnails; // data: URLs by attachment
    bool m_isSending = false;
    std::optional<FeedbackResult> m_result;
    quint64 m_generation = 0; // a reset while sending makes the late result land nowhere
};
