#include "ui/windows/FeedbackViewModel.h"

#include "services/FeedbackComposition.h"
#include "services/FeedbackDiagnostics.h"
#include "services/FeedbackSubmission.h"
#include "state/AppState.h"
#include "ui/UiText.h"

#include <QBuffer>
#include <QCoroSignal>
#include <QDesktopServices>
#include <QPointer>
#include <QVariantMap>

using namespace Qt::StringLiterals;

namespace {

constexpr int thumbnailSize = 96;

QString thumbnailURL(const QImage& image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.scaled(thumbnailSize, thumbnailSize, Qt::KeepAspectRatio, Qt::SmoothTransformation).save(&buffer, "PNG");
    return u"data:image/png;base64,"_s + QString::fromLatin1(png.toBase64());
}

} // namespace

FeedbackViewModel::FeedbackViewModel(AppState& state, FeedbackService service, QLocale locale, URLOpener openURL,
                                     QObject* parent)
    : QObject(parent),
      m_state(state),
      m_service(std::move(service)),
      m_locale(std::move(locale)),
      m_openURL(openURL ? std::move(openURL) : URLOpener([](const QUrl& url) { return QDesktopServices::openUrl(url); }))
{
}

void FeedbackViewModel::reset(FeedbackKind kind, const std::optional<QString>& context)
{
    ++m_generation;
    m_kind = kind;
    m_context = context;
    m_message.clear();
    m_email.clear();
    m_attachments.clear();
    m_thumbnails.clear();
    m_isSending = false;
    m_result.reset();
    Q_EMIT changed();
}

void FeedbackViewModel::setKindIndex(int index)
{
    const auto kind = static_cast<FeedbackKind>(std::clamp(index, 0, 2));
    if (std::exchange(m_kind, kind) != kind)
        Q_EMIT changed();
}

void FeedbackViewModel::setMessage(const QString& message)
{
    if (std::exchange(m_message, message) != message)
        Q_EMIT changed();
}

void FeedbackViewModel::setEmail(const QString& email)
{
    if (std::exchange(m_email, email) != email)
        Q_EMIT changed();
}

QString FeedbackViewModel::messageTitle() const { return FeedbackPresentation::messageTitle(m_kind, m_locale); }
QString FeedbackViewModel::messagePrompt() const { return FeedbackPresentation::messagePrompt(m_kind, m_locale); }

QString FeedbackViewModel::wordLimitNotice() const
{
    return FeedbackPresentation::wordLimitNotice(FeedbackComposition::wordCount(m_message), m_locale);
}

QString FeedbackViewModel::wordCounter() const
{
    return FeedbackPresentation::wordCounter(FeedbackComposition::wordCount(m_message), m_locale);
}

QString FeedbackViewModel::attachmentCounter() const
{
    return FeedbackPresentation::attachmentCounter(m_attachments.size(), FeedbackAttachmentIntake::attachmentBytes(m_attachments),
                                                   m_locale);
}

QVariantList FeedbackViewModel::attachments() const
{
    QVariantList rows;
    for (const FeedbackAttachment& attachment : m_attachments)
        rows.append(QVariantMap{{u"id"_s, attachment.id.toString(QUuid::WithoutBraces)},
                                {u"filename"_s, attachment.filename},
                                {u"thumbnail"_s, m_thumbnails.value(attachment.id)},
                                {u"removeLabel"_s, uiText(u"Remove "_s, m_locale) + attachment.filename}});
    return rows;
}

bool FeedbackViewModel::canSend() const { return FeedbackComposition::canSend(m_message, m_isSending); }

QString FeedbackViewModel::sendButtonTitle() const { return FeedbackPresentation::sendButtonTitle(m_isSending, m_locale); }

QString FeedbackViewModel::resultText() const
{
    return m_result ? FeedbackPresentation::resultLine(*m_result, m_locale).text : QString();
}

bool FeedbackViewModel::resultIsSuccess() const { return m_result && m_result->kind == FeedbackResult::Kind::success; }

void FeedbackViewModel::setLocale(const QLocale& locale)
{
    m_locale = locale;
    Q_EMIT changed();
}

void FeedbackViewModel::addAttachments(const QList<QUrl>& files)
{
    FeedbackAttachmentIntake::Result intake = FeedbackAttachmentIntake::add(m_attachments, files);
    m_attachments = std::move(intake.attachments);
    // Encoded once here: the list is read again on every keystroke in the form.
    for (const FeedbackAttachment& attachment : std::as_const(m_attachments)) {
        if (!m_thumbnails.contains(attachment.id))
            m_thumbnails.insert(attachment.id, thumbnailURL(attachment.image));
    }
    if (intake.notice)
        m_result = FeedbackResult::failure(*intake.notice);
    else
        m_result.reset();
    Q_EMIT changed();
}

void FeedbackViewModel::removeAttachment(const QString& id)
{
    const QUuid uuid(id);
    if (m_attachments.removeIf([&](const FeedbackAttachment& attachment) { return attachment.id == uuid; }) > 0) {
        m_thumbnails.remove(uuid);
        Q_EMIT changed();
    }
}

void FeedbackViewModel::send()
{
    if (!canSend())
        return;
    m_isSending = true;
    m_result.reset();
    Q_EMIT changed();
    submit();
}

QCoro::Task<> FeedbackViewModel::submit()
{
    QList<FeedbackScreenshot> screenshots;
    for (const FeedbackAttachment& attachment : m_attachments)
        screenshots.append(attachment.screenshot());
    const FeedbackDiagnostics diagnostics = FeedbackDiagnostics::capture(
        m_state.currentSnapshot(), m_state.locationAuthorizationStatus(), m_state.currentPathStatus());
    FeedbackSubmission submission =
        FeedbackSubmission::make(m_kind, m_message, m_email, diagnostics, std::move(screenshots));
    const QString reportId = submission.reportId;
    const quint64 generation = m_generation;
    QPointer<FeedbackViewModel> self(this);

    const std::optional<FeedbackServiceError> error = co_await m_service.submit(std::move(submission));
    if (!self || generation != m_generation)
        co_return;
    m_isSending = false;
    // The form is kept either way, so a failed report can be sent again as it is.
    m_result = error ? FeedbackResult::failure(error->description()) : FeedbackResult::success(reportId.left(8));
    Q_EMIT changed();
    Q_EMIT sendDidFinish();
}

QCoro::Task<> FeedbackViewModel::sendFinished()
{
    if (m_isSending)
        co_await qCoro(this, &FeedbackViewModel::sendDidFinish);
}

void FeedbackViewModel::openEmailFallback()
{
    const FeedbackDiagnostics diagnostics = FeedbackDiagnostics::capture(
        m_state.currentSnapshot(), m_state.locationAuthorizationStatus(), m_state.currentPathStatus());
    if (const auto url = FeedbackComposition::emailFallbackURL(m_kind, m_message, diagnostics))
        m_openURL(*url);
}
