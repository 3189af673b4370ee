#include "portal/web/PortalAssistantView.h"

#include "portal/PortalAssistantStatus.h"
#include "portal/web/PortalBrowserPane.h"

#include <QDesktopServices>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

PortalAssistantView::PortalAssistantView(PortalAssistantViewInputs inputs, std::shared_ptr<RetrySleeping> sleeper,
                                         QWidget* parent)
    : QWidget(parent), m_inputs(std::move(inputs)), m_profile(m_inputs.initialProfile)
{
    auto* root = new QVBoxLayout(this);

    auto* header = new QHBoxLayout;
    auto* titles = new QVBoxLayout;
    titles->addWidget(new QLabel(u"<b>Portal Assistant</b>"_s, this));
    auto* address = new QLabel(m_inputs.url.toString(), this);
    address->setTextInteractionFlags(Qt::TextSelectableByMouse);
    titles->addWidget(address);
    header->addLayout(titles, 1);
    auto* openButton = new QPushButton(u"Open in Browser"_s, this);
    connect(openButton, &QPushButton::clicked, this, &PortalAssistantView::openInBrowser);
    header->addWidget(openButton);
    root->addLayout(header);

    auto* body = new QHBoxLayout;
    auto* sidebar = new QWidget(this);
    sidebar->setFixedWidth(300);
    auto* side = new QVBoxLayout(sidebar);
    side->addWidget(new QLabel(u"<b>Autofill details</b>"_s, sidebar));
    auto* form = new QFormLayout;
    m_fullName = new QLineEdit(m_profile.fullName, sidebar);
    m_birthYear = new QLineEdit(m_profile.birthYear, sidebar);
    form->addRow(u"Full name"_s, m_fullName);
    form->addRow(u"Birth year"_s, m_birthYear);
    side->addLayout(form);
    connect(m_fullName, &QLineEdit::textEdited, this, &PortalAssistantView::profileEdited);
    connect(m_birthYear, &QLineEdit::textEdited, this, &PortalAssistantView::profileEdited);
    auto* fillButton = new QPushButton(u"Fill Again"_s, sidebar);
    connect(fillButton, &QPushButton::clicked, this, &PortalAssistantView::fillAgain);
    side->addWidget(fillButton);
    auto* note = new QLabel(u"BrewBeacon uses generated visitor details and stops for CAPTCHA, OTP, voucher, payment, "
                            "password, member-only, and unclear required fields."_s,
                            sidebar);
    note->setWordWrap(true);
    side->addWidget(note);
    m_statusTitle = new QLabel(sidebar);
    m_statusDetail = new QLabel(sidebar);
    m_statusDetail->setWordWrap(true);
    side->addWidget(m_statusTitle);
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
    view.onEvent = [self = QPointer(const_cast<PortalAssistantView*>(this))](const PortalAutofillEvent& event) {
        if (self)
            self->eventArrived(event);
    };
    return view;
}

void PortalAssistantView::profileEdited()
{
    m_profile.fullName = m_fullName->text();
    m_profile.birthYear = m_birthYear->text();
    refreshStatus();
    m_pane->update(webView());
}

void PortalAssistantView::fillAgain()
{
    m_profile = m_profile.normalized();
    if (m_inputs.onSave)
        m_inputs.onSave(m_profile);
    m_pane->update(webView());
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

void PortalAssistantView::refreshStatus()
{
    const PortalAssistantStatus status = PortalAssistantStatus::make(m_event, m_profile);
    m_statusTitle->setText(u"<b>%1</b>"_s.arg(status.title.toHtmlEscaped()));
    m_statusDetail->setText(status.detail);
}
