#pragma once

#include "portal/PortalAutofillProfile.h"

#include <QLocale>
#include <QObject>
#include <QVariantList>

class AppState;

// The form-values tab: an editable copy of the stored autofill profile, saved only when it is complete
// enough to submit a simple portal.
class FormValuesViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(QVariantList fields READ fields NOTIFY changed)
    Q_PROPERTY(bool hasNotice READ hasNotice NOTIFY changed)
    Q_PROPERTY(QString noticeTitle READ noticeTitle NOTIFY changed)
    Q_PROPERTY(QString noticeDetail READ noticeDetail NOTIFY changed)
    Q_PROPERTY(QString noticeIcon READ noticeIcon NOTIFY changed)
    Q_PROPERTY(QString noticeColor READ noticeColor NOTIFY changed)
    Q_PROPERTY(QString statusMessage READ statusMessage NOTIFY changed)

public:
    FormValuesViewModel(AppState& state, QLocale locale, QObject* parent = nullptr);

    // Each: key, label, hint, value; in the tab's order.
    QVariantList fields() const;
    bool hasNotice() const;
    QString noticeTitle() const;
    QString noticeDetail() const;
    QString noticeIcon() const;
    QString noticeColor() const;
    QString statusMessage() const { return m_statusMessage; }
    const PortalAutofillProfile& profile() const { return m_profile; }

    void setLocale(const QLocale& locale);

    Q_INVOKABLE void setField(const QString& key, const QString& value);
    Q_INVOKABLE void save();
    Q_INVOKABLE void useNewDefault();
    // Starts editing from the stored profile again (when the tab is shown).
    Q_INVOKABLE void reload();

Q_SIGNALS:
    void changed();

private:
    AppState& m_state;
    QLocale m_locale;
    PortalAutofillProfile m_profile;
    QString m_statusMessage;
};
