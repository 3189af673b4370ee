#include "ui/windows/AboutViewModel.h"

#include "BuildInfo.h"
#include "services/BundleInfo.h"
#include "services/ProductServiceURL.h"
#include "ui/UiText.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QTimer>
#include <QVariantMap>

using namespace Qt::StringLiterals;

AboutViewModel::Support AboutViewModel::Support::builtIn()
{
    Support support;
    const QUrl tip(QString::fromUtf8(BREWBEACON_SUPPORT_TIP_URL));
    support.tipURL = tip.isValid() && tip.scheme().startsWith(u"http"_s) ? tip : ProductServiceURL::endpoint(u"/support"_s);
    for (const QString& row : QString::fromUtf8(BREWBEACON_SUPPORT_BANK_DETAILS).split(u';', Qt::SkipEmptyParts)) {
        const qsizetype equals = row.indexOf(u'=');
        if (equals > 0)
            support.bankRows.append({row.left(equals).trimmed(), row.mid(equals + 1).trimmed()});
    }
    return support;
}

AboutViewModel::AboutViewModel(Support support, QLocale locale, URLOpener openURL, Copier copy, QObject* parent)
    : QObject(parent),
      m_support(std::move(support)),
      m_locale(std::move(locale)),
      m_openURL(openURL ? std::move(openURL) : URLOpener([](const QUrl& url) { return QDesktopServices::openUrl(url); })),
      m_copy(copy ? std::move(copy) : Copier([](const QString& value) { QGuiApplication::clipboard()->setText(value); }))
{
    QObject::connect(&m_copied, &CopiedValueMark::changed, this, &AboutViewModel::changed);
}

QString AboutViewModel::versionBadge() const
{
    return u"v"_s + BundleInfo::main().value(u"CFBundleShortVersionString"_s);
}

QVariantList AboutViewModel::links() const
{
    QVariantList links;
    for (const auto& [title, path] : {std::pair{u"Privacy"_s, u"/privacy"_s}, std::pair{u"Terms"_s, u"/terms"_s},
                                      std::pair{u"Support"_s, u"/support"_s}})
        links.append(QVariantMap{{u"title"_s, uiText(title, m_locale)},
                                 {u"url"_s, ProductServiceURL::endpoint(path).toString()}});
    return links;
}

QString AboutViewModel::supportURL() const { return ProductServiceURL::endpoint(u"/support"_s).toString(); }

QVariantList AboutViewModel::bankRows() const
{
    QVariantList rows;
    for (const auto& [label, value] : m_support.bankRows)
        rows.append(QVariantMap{{u"label"_s, uiText(label, m_locale)}, {u"value"_s, value}, {u"copied"_s, m_copied.isMarked(value)}});
    return rows;
}

void AboutViewModel::setLocale(const QLocale& locale)
{
    m_locale = locale;
    Q_EMIT changed();
}

void AboutViewModel::toggleSupportMethod(int method)
{
    m_expanded = m_expanded == method ? none : method;
    Q_EMIT changed();
}

void AboutViewModel::copyValue(const QString& value)
{
    m_copy(value);
    const quint64 generation = m_copied.mark(value);
    QTimer::singleShot(CopiedValueMark::clearDelayMilliseconds, this, [this, generation] { m_copied.expire(generation); });
}

void AboutViewModel::openLink(const QString& url)
{
    const QUrl link(url);
    if (link.isValid() && (link.scheme() == u"http"_s || link.scheme() == u"https"_s))
        m_openURL(link);
}
