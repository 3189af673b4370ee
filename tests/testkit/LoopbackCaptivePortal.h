#pragma once

#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QUrl>
#include <memory>

// The project's stateful captive portal (tools/captive-portal) on a free loopback port, stopped when
// this goes away. Its detection page says "Success" only after a correct submission.
class LoopbackCaptivePortal {
public:
    explicit LoopbackCaptivePortal(const QString& startPage = QStringLiteral("simple-en"));
    ~LoopbackCaptivePortal();

    bool isRunning() const { return m_base.isValid(); }
    const QString& errorText() const { return m_errorText; }

    QUrl url(const QString& path) const { return m_base.resolved(QUrl(path)); }
    QUrl detectionURL() const { return url(QStringLiteral("/hotspot-detect.html")); }
    QUrl pageURL(const QString& page) const { return url(QStringLiteral("/portal/") + page); }

    // Back to captive with no submissions, starting at the given page.
    bool reset(const QString& page);
    // What the portal saw: "captive", "page", "submissions" (page, fields, accepted), "requests".
    QJsonObject state() const;

private:
    QByteArray request(const QByteArray& method, const QString& path) const;

    std::unique_ptr<QProcess> m_process;
    QUrl m_base;
    QString m_errorText;
};
