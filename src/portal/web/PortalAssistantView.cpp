#include "portal/web/PortalAssistantView.h"

#include "portal/PortalAssistantStatus.h"
#include "portal/PortalAssistantTexts.h"
#include "portal/web/PortalBrowserPane.h"

#include <QDesktopServices>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// The application's symbols, when its resources are linked in; an empty icon otherwise.
QIcon symbolIcon(const QString& file)
{
    const QString path = u":/brewbeacon/icons/"_s + file + u".svg"_s;
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

QString statusSymbolFile(PortalAssistantStatus::Symbol symbol)
{
    switch (symbol) {
    case PortalAssistantStatus::Symbol::raisedHand:
        return u"hand"_s;
    case PortalAssistantStatus::Symbol::sealedCheckmark:
        return u"checkmark-seal"_s;
    case PortalAssistantStatus::Symbol::checkmarkCircle:
        return u"checkmark-circle"_s;
    case PortalAssistantStatus::Symbol::sparkles:
        return u"lightbulb"_s;
    }
    return u"symbol"_s;
}

} // namespace

PortalAssistantView::PortalAssistantView(PortalAssistantViewInputs inputs, std::shared_ptr<RetrySleeping> sleeper,
                                         QWidget* parent)
    : QWidget(parent), m_inputs(std::move(inputs)), m_profile(m_inputs.initialProfile),
      m_locale(m_inputs.locale)
{
    const auto text = [this](const QString& english) { return PortalAssistantTexts::text(english, m_locale); };
    auto* root = new QVBoxLayout(this);

    auto* header = new QHBoxLayout;
    auto* icon = new QLabel(this);
    QIcon appIcon = QApplication::windowIcon();
    if (appIcon.isNull())
        appIcon = symbolIcon(u"coffee-cup"_s);
    icon->setPixmap(appIcon.pixmap(34, 34));
    icon->setFixedSize(34, 34);
    header->addWidget(icon);
    auto* titles = new QVBoxLayout;
    titles->addWidget(new QLabel(u"<b>%1</b>"_s.arg(text(u"Portal Assistant"_s).toHtmlEscaped()), this));
    auto* address = new QLabel(m_inputs.url.toString(), this);
    address->setTextInteractionFlags(Qt::TextSelectableByMouse);
    titles->addWidget(address);
    header->addLayout(titles, 1);
    auto* openButton = new QPushButton(symbolIcon(u"globe"_s), text(u"Open in Browser"_s), this);
    connect(openButton, &QPushButton::clicked, this, &PortalAssistantView::openInBrowser);
    header->addWidget(openButton);
    root->addLayout(header);

    auto* body = new QHBoxLayout;
    auto* sidebar = new QWidget(this);
    sidebar->setFixedWidth(300);
    auto* side = new QVBoxLayout(sidebar);
    side->addWidget(new QLabel(u"<b>%1</b>"_s.arg(text(u"Autofill details"_s).toHtmlEscaped()), sidebar));
    auto* form = new QFormLayout;
    m_fullName = new QLineEdit(m_profile.fullName, sidebar);
    m_birthYear = new QLineEdit(m_profile.birthYear, sidebar);
    form->addRow(text(u"Full name"_s), m_fullName);
    form->addRow(text(u"Birth year"_s), m_birthYear);
    side->addLayout(form);
    connect(m_fullName, &QLineEdit::textEdited, this, &PortalAssistantView::profileEdited);
    connect(m_birthYear, &QLineEdit::textEdited, this, &PortalAssistantView::profileEdited);
    auto* fillButton = new QPushButton(symbolIcon(u"arrow-clockwise"_s), text(u"Fill Again"_s), sidebar);
    fillButton->setObjectName(u"fillAgain"_s);
    connect(fillButton, &QPushButton::clicked, this, &PortalAssistantView::fillAgain);
    side->addWidget(fillButton);
    auto* note = new QLabel(text(u"BrewBeacon uses generated visitor details and stops for CAPTCHA, OTP, voucher, "
                                 "payment, password, member-only, and unclear required fields."_s),
                            sidebar);
    note->setWordWrap(true);
    side->addWidget(note);
    m_statusSymbol = new QLabel(sidebar);
    m_statusSymbol->setFixedSize(20, 20);
    m_statusTitle = new QLabel(sidebar);
    m_statusDetail = new QLabel(sidebar);
    m_statusDetail->setWordWrap(true);
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(m_statusSymbol);
    statusRow->addWidget(m_statusTitle, 1);
    side->addLayout(statusRow);
    side->addWidget(m_statusDetail);
    side->addStretch(1);
    body->addWidget(sidebar, 0, Qt::AlignTop);

    m_pane = new PortalBrowserPane(webView(), std::move(sleeper), this);
    body->addWidget(m_pane, 1);
    root->addLayout(body, 1);
    refreshStatus();
}

PortalAssistantView::~PortalAssistantView()
{
    // The page answers its pending scripts while it is destroyed, after the sidebar's labels are gone:
    // those answers must not reach this half-destroyed view (closing the window mid-pass crashed).
    m_tearingDown = true;
}

PortalWebView PortalAssistantView::webView() const
{
    PortalWebView view;
    view.url = m_inputs.url;
    view.profile = m_profile.normalized();
    view.autofillEnabled = true;
    view.autoSubmitEnabled = true;
    // Held as a plain QObject: a page destroyed with the view answers while the view is already a bare
    // QWidget, and reading a QPointer of the view's own type then is a bad downcast; the cast finds it.
    const QPointer<QObject> self(const_cast<PortalAssistantView*>(this));
    view.onEvent = [self](const PortalAutofillEvent& event) {
        if (auto* alive = qobject_cast<PortalAssistantView*>(self.data()))
            alive->eventArrived(event);
    };
    return view;
}

void PortalAssistantView::profileEdited()
{
    // Typing only edits the details; the page is filled again when the user asks (Fill Again), so a
    // half-typed name is never submitted.
    m_profile.fullName = m_fullName->text();
    m_profile.birthYear = m_birthYear->text();
    refreshStatus();
}

void PortalAssistantView::fillAgain()
{
    m_profile = m_profile.normalized();
    if (m_inputs.onSave)
        m_inputs.onSave(m_profile);
    m_pane->fillAgain(webView());
}

void PortalAssistantView::openInBrowser()
{
    if (m_inputs.onOpenInBrowser)
        m_inputs.onOpenInBrowser();
    QDesktopServices::openUrl(m_inputs.url);
}

void PortalAssistantView::eventArrived(const PortalAutofillEvent& event)
{
    if (m_tearingDown)
        return;
    m_event = event;
    refreshStatus();
    if (m_inputs.onEvent)
        m_inputs.onEvent(event);
}

void PortalAssistantView::showHandoffReason(const QString& reason)
{
    PortalAutofillEvent handoff = m_event;
    handoff.didRun = true;
    handoff.blocked = true;
    handoff.reason = reason;
    m_event = handoff;
    refreshStatus();
}

QString PortalAssistantView::statusDetail() const
{
    return m_statusDetail->text();
}

void PortalAssistantView::refreshStatus()
{
    const PortalAssistantStatus status = PortalAssistantStatus::make(m_event, m_profile, m_locale);
    m_statusSymbol->setPixmap(symbolIcon(statusSymbolFile(status.symbol)).pixmap(20, 20));
    m_statusTitle->setText(u"<b>%1</b>"_s.arg(status.title.toHtmlEscaped()));
    m_statusDetail->setText(status.detail);
}
