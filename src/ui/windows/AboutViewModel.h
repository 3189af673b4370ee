#pragma once

#include "ui/CopiedValueMark.h"

#include <QLocale>
#include <QObject>
#include <QUrl>
#include <QVariantList>

#include <functional>

// The About tab: the version badge, the product's links, and the optional support methods with their
// copy buttons.
class AboutViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString versionBadge READ versionBadge CONSTANT)
    Q_PROPERTY(QVariantList links READ links NOTIFY changed)
    Q_PROPERTY(QString tipURL READ tipURL CONSTANT)
    Q_PROPERTY(QString supportURL READ supportURL CONSTANT)
    Q_PROPERTY(QVariantList bankRows READ bankRows NOTIFY changed)
    Q_PROPERTY(int expandedSupportMethod READ expandedSupportMethod NOTIFY changed)

public:
    enum SupportMethod { none = -1, paypal = 0, vietnamBank = 1 };
    Q_ENUM(SupportMethod)

    struct Support {
        QUrl tipURL;
        QList<QPair<QString, QString>> bankRows; // label, value
        // The build's values; the tip link falls back to the product service's support page.
        static Support builtIn();
    };
    using URLOpener = std::function<bool(const QUrl&)>;
    using Copier = std::function<void(const QString&)>;

    AboutViewModel(Support support, QLocale locale, URLOpener openURL = {}, Copier copy = {}, QObject* parent = nullptr);

    QString versionBadge() const;
    // Each: title, url. "Privacy", "Terms" and "Support" on the product service.
    QVariantList links() const;
    QString tipURL() const { return m_support.tipURL.toString(); }
    // The product's support page, where the bank-transfer details are when none are built in.
    QString supportURL() const;
    // Each: label, value, copied.
    QVariantList bankRows() const;
    int expandedSupportMethod() const { return m_expanded; }
    const CopiedValueMark& copiedMark() const { return m_copied; }

    void setLocale(const QLocale& locale);

    Q_INVOKABLE void toggleSupportMethod(int method);
    Q_INVOKABLE void copyValue(const QString& value);
    Q_INVOKABLE void openLink(const QString& url);

Q_SIGNALS:
    void changed();

private:
    Support m_support;
    QLocale m_locale;
    URLOpener m_openURL;
    Copier m_copy;
    CopiedValueMark m_copied;
    int m_expanded = none;
};
