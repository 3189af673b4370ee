#include "state/AppLanguage.h"
#include "state/AppLocalizedText.h"
#include "state/AppResourceLocalization.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QString shown(const QString& key, AppLanguage language, const QLocale& system = QLocale(u"en_US"_s))
{
    return AppLocalizedText::localized(key, AppLanguages::locale(language, system));
}

TEST(LocalizedText, VietnameseComesFromTheTableThenTheCatalogueAndMissingKeysStayEnglish)
{
    EXPECT_EQ(shown(u"Needs attention"_s, AppLanguage::vietnamese), AppLocalizedText::vietnamese().value(u"Needs attention"_s));
    EXPECT_EQ(shown(u"Needs attention"_s, AppLanguage::english), u"Needs attention"_s);
    EXPECT_EQ(AppLocalizedText::localized(u"Needs attention"_s, QLocale::c()), u"Needs attention"_s);
    // Texts outside the table come from the application's own Vietnamese catalogue, names kept as written.
    EXPECT_EQ(shown(u"Connected to Cafe Connected to"_s, AppLanguage::vietnamese), u"Đã kết nối với Cafe Connected to"_s);
    EXPECT_EQ(shown(u"Signal quality is 40%; retry closer to the access point."_s, AppLanguage::vietnamese),
              u"Chất lượng tín hiệu là 40%; hãy thử lại ở gần điểm truy cập hơn."_s);
    EXPECT_EQ(shown(u"Connected to "_s, AppLanguage::vietnamese), u"Connected to "_s) << "a template needs its name";
    // A text nobody translated stays English and is noted, so a window test can find it.
    (void)AppLocalizedText::takeUntranslatedVietnamese();
    EXPECT_EQ(shown(u"A text nobody wrote"_s, AppLanguage::vietnamese), u"A text nobody wrote"_s);
    EXPECT_EQ(shown(u"Email"_s, AppLanguage::vietnamese), u"Email"_s);
    EXPECT_EQ(AppLocalizedText::takeUntranslatedVietnamese(), QStringList{u"A text nobody wrote"_s})
        << "a text that reads the same translated is not a miss";
    // A regional Vietnamese locale, and the system language when it is Vietnamese, are still Vietnamese.
    EXPECT_EQ(AppLocalizedText::localized(u"No"_s, QLocale(u"vi_VN"_s)), AppLocalizedText::vietnamese().value(u"No"_s));
    const QString attention = AppLocalizedText::vietnamese().value(u"Needs attention"_s);
    EXPECT_EQ(shown(u"Needs attention"_s, AppLanguage::system, QLocale(u"vi_VN"_s)), attention);
    for (const char* other : {"fr_FR", "en_GB"})
        EXPECT_EQ(shown(u"Needs attention"_s, AppLanguage::system, QLocale(QString::fromLatin1(other))), u"Needs attention"_s);
}

TEST(LocalizedText, TableHasEveryKeyOnceWithPrecomposedNonEmptyTexts)
{
    const QStringList keys = AppLocalizedText::vietnameseKeys();
    ASSERT_FALSE(keys.isEmpty());
    EXPECT_EQ(AppLocalizedText::vietnamese().size(), keys.size()) << "a repeated key shrinks the table";
    for (const QString& key : keys) {
        const QString text = AppLocalizedText::vietnamese().value(key);
        EXPECT_FALSE(text.trimmed().isEmpty()) << key.toStdString();
        EXPECT_NE(text, key) << key.toStdString();
        EXPECT_EQ(text, text.normalized(QString::NormalizationForm_C)) << key.toStdString();
        const bool hasCombiningMark =
            std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() >= 0x300 && c.unicode() <= 0x36F; });
        EXPECT_FALSE(hasCombiningMark) << key.toStdString();
    }
}

class LanguagePreference : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QSettings settings{dir.filePath(u"settings.ini"_s), QSettings::IniFormat};
};

TEST_F(LanguagePreference, AbsentOrUnknownValuesMeanSystem)
{
    EXPECT_EQ(AppLanguages::stored(settings), AppLanguage::system);
    for (const QVariant& value : {QVariant(u"de"_s), QVariant(u"VI"_s), QVariant(u""_s), QVariant(3)}) {
        settings.setValue(u"appLanguage"_s, value);
        EXPECT_EQ(AppLanguages::stored(settings), AppLanguage::system) << value.toString().toStdString();
    }
    EXPECT_EQ(AppLanguages::storedLocale(settings, QLocale(u"vi_VN"_s)).language(), QLocale::Vietnamese);
}

TEST_F(LanguagePreference, StoresTheRawValue)
{
    AppLanguages::store(settings, AppLanguage::vietnamese);
    EXPECT_EQ(settings.value(u"appLanguage"_s).toString(), u"vi"_s);
    EXPECT_EQ(AppLanguages::stored(settings), AppLanguage::vietnamese);
    AppLanguages::store(settings, AppLanguage::english);
    EXPECT_EQ(settings.value(u"appLanguage"_s).toString(), u"en"_s);
    EXPECT_EQ(AppLanguages::storedLocale(settings, QLocale(u"vi_VN"_s)).language(), QLocale::English);
    EXPECT_EQ(AppLanguages::fromRawValue(u"system"_s), AppLanguage::system);
    EXPECT_EQ(AppLanguages::fromRawValue(u"english"_s), std::nullopt);
}

TEST(ResourceLocalization, UsesTheDirectoryNamedAfterTheCodeOnly)
{
    QTemporaryDir empty;
    AppResourceLocalization localization(
        {empty.path(), qEnvironmentVariable("BREWBEACON_TEST_DATA") + u"/localization"_s});
    EXPECT_EQ(localization.localized(u"fr"_s, u"Needs attention"_s), u"Attention requise"_s);
    EXPECT_EQ(localization.localized(u"fr"_s, u"Yes"_s), u"Yes"_s); // directory present, no entry
    EXPECT_EQ(localization.localized(u"de"_s, u"Yes"_s), std::nullopt);
    EXPECT_EQ(localization.localized(u"../fr"_s, u"Yes"_s), std::nullopt);
}

} // namespace
