#include "app/UpdateDialogs.h"

#include "services/BundleInfo.h"

#include <QCoroSignal>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

using namespace Qt::StringLiterals;

UpdateDialogs::~UpdateDialogs()
{
    delete m_progress;
}

void UpdateDialogs::showChecking()
{
    dismiss();
    m_progress = new QProgressDialog(u"Checking for updates…"_s, u"Hide"_s, 0, 0);
    m_progress->setWindowTitle(u"Software Update"_s);
    m_progress->setAttribute(Qt::WA_DeleteOnClose);
    m_progress->setMinimumDuration(0);
    m_progress->show();
}

void UpdateDialogs::showUpToDate(const QString& currentVersion)
{
    dismiss();
    showMessage(u"You're up to date!"_s,
                u"BrewBeacon %1 (%2) is the newest version available."_s.arg(
                    BundleInfo::main().value(u"CFBundleShortVersionString"_s), currentVersion));
}

QCoro::Task<bool> UpdateDialogs::confirmInstall(AppcastItem item)
{
    dismiss();
    co_return co_await ask(u"A new version of BrewBeacon is available"_s,
                           u"BrewBeacon %1 is available. Install it now?"_s.arg(item.displayVersion), u"Install Update"_s);
}

void UpdateDialogs::showDownloadProgress(qint64 received, qint64 total)
{
    showProgress(u"Downloading the update…"_s, received, total);
}

void UpdateDialogs::showInstallProgress(qint64 done, qint64 total)
{
    showProgress(u"Installing the update…"_s, done, total);
}

void UpdateDialogs::showProgress(const QString& label, qint64 done, qint64 total)
{
    if (!m_progress) {
        m_progress = new QProgressDialog(label, u"Hide"_s, 0, 100);
        m_progress->setWindowTitle(u"Software Update"_s);
        m_progress->setAttribute(Qt::WA_DeleteOnClose);
        m_progress->setMinimumDuration(0);
        m_progress->show();
    }
    m_progress->setLabelText(label);
    m_progress->setMaximum(100);
    m_progress->setValue(total > 0 ? int(std::clamp<qint64>(done * 100 / total, 0, 100)) : 0);
}

QCoro::Task<bool> UpdateDialogs::confirmRelaunch(AppcastItem item)
{
    dismiss();
    co_return co_await ask(u"Update installed"_s,
                           u"BrewBeacon %1 is installed. Relaunch now to start using it?"_s.arg(item.displayVersion),
                           u"Install and Relaunch"_s);
}

void UpdateDialogs::showError(const UpdateError& error)
{
    dismiss();
    showMessage(u"Update Error!"_s, error.description);
}

void UpdateDialogs::dismiss()
{
    if (m_progress)
        m_progress->close();
}

QCoro::Task<bool> UpdateDialogs::ask(QString title, QString text, QString acceptLabel)
{
    auto* box = new QMessageBox(QMessageBox::Question, u"Software Update"_s, text);
    box->setInformativeText(title);
    QPushButton* accept = box->addButton(acceptLabel, QMessageBox::AcceptRole);
    box->addButton(u"Later"_s, QMessageBox::RejectRole);
    box->setDefaultButton(accept);
    auto accepted = std::make_shared<bool>(false);
    QObject::connect(box, &QMessageBox::buttonClicked, box, [accepted, accept](QAbstractButton* button) {
        *accepted = button == accept;
    });
    box->open();
    // Closing the box by its title bar also finishes it, as "Later".
    co_await qCoro(box, &QDialog::finished);
    box->deleteLater();
    co_return *accepted;
}

void UpdateDialogs::showMessage(const QString& title, const QString& text)
{
    auto* box = new QMessageBox(QMessageBox::Information, u"Software Update"_s, title);
    box->setInformativeText(text);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
