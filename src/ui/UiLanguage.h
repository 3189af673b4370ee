#pragma once

#include "state/AppLanguage.h"

#include <QLocale>
#include <QObject>
#include <QSettings>
#include <QTranslator>

#include <memory>

// The language the windows speak, chosen in the main window and stored under "appLanguage". It is also
// the translator QML's qsTr goes through, so every fixed text of a window is looked up by its English
// key; a change of language re-evaluates the windows' texts.
class UiLanguage : public QTranslator {
    Q_OBJECT
    Q_PROPERTY(QString code READ code NOTIFY changed)
    Q_PROPERTY(QString label READ label NOTIFY changed)
    Q_PROPERTY(QStringList choices READ choices NOTIFY changed)

public:
    explicit UiLanguage(std::shared_ptr<QSettings> defaults, QObject* parent = nullptr);

    AppLanguage language() const;
    QLocale locale() const;
    QString code() const { return AppLanguages::rawValue(language()); }
    // The language menu's label of the current choice, and of each choice in menu order.
    QString label() const;
    QStringList choices() const;

    Q_INVOKABLE void choose(int index);
    void setLanguage(AppLanguage language);

    // QTranslator: English keys in, the current language's text out.
    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return false; }

Q_SIGNALS:
    void changed();

private:
    std::shared_ptr<QSettings> m_defaults;
};
