#pragma once

#include "services/update/UpdateUserDriving.h"

#include <QPointer>
#include <QProgressDialog>

// The update windows of a user-initiated check: small non-modal dialogs, so the tray and the other
// windows keep working while the user decides.
class UpdateDialogs : public UpdateUserDriving {
public:
    UpdateDialogs() = default;
    ~UpdateDialogs() override;

    void showChecking() override;
    void showUpToDate(const QString& currentVersion) override;
    QCoro::Task<bool> confirmInstall(AppcastItem item) override;
    void showDownloadProgress(qint64 received, qint64 total) override;
    void showInstallProgress(qint64 done, qint64 total) override;
    QCoro::Task<bool> confirmRelaunch(AppcastItem item) override;
    void showError(const UpdateError& error) override;
    void dismiss() override;

private:
    QCoro::Task<bool> ask(QString title, QString text, QString acceptLabel);
    void showMessage(const QString& title, const QString& text);
    void showProgress(const QString& label, qint64 done, qint64 total);

    QPointer<QProgressDialog> m_progress;
};
