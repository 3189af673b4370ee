#include "ui/UiLanguage.h"

#include "ui/MainWindowSizing.h"
#include "ui/UiText.h"

UiLanguage::UiLanguage(std::shared_ptr<QSettings> defaults, QObject* parent)
    : QTranslator(parent), m_defaults(std::move(defaults))
{
}

AppLanguage UiLanguage::language() const { return AppLanguages::stored(*m_defaults); }

QLocale UiLanguage::locale() const { return AppLanguages::storedLocale(*m_defaults); }

QString UiLanguage::label() const { return uiText(MainWindowSizing::languageLabel(language()), locale()); }

QStringList UiLanguage::choices() const
{
    QStringList labels;
    for (AppLanguage language : AppLanguages::all)
        labels.append(uiText(MainWindowSizing::languageLabel(language), locale()));
    return labels;
}

void UiLanguage::choose(int index)
{
    if (index >= 0 && index < int(std::size(AppLanguages::all)))
        setLanguage(AppLanguages::all[index]);
}

void UiLanguage::setLanguage(AppLanguage language)
{
    if (language == this->language())
        return;
    AppLanguages::store(*m_defaults, language);
    Q_EMIT changed();
}

QString UiLanguage::translate(const char* context, const char* sourceText, const char*, int) const
{
    // Installed for the whole application, so Qt's own classes ask too ("QIODevice", "QFileDialog"):
    // their texts are not ours, and no answer lets Qt keep its own.
    if (context && context[0] == 'Q' && context[1] >= 'A' && context[1] <= 'Z')
        return QString();
    return uiText(QString::fromUtf8(sourceText), locale());
}
