#include "state/LaunchAtLoginService.h"

#include "BuildInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const QString entryFileName = QStringLiteral("com.tolvek.brewbeacon.desktop");

// Desktop-entry Exec quoting: a path with blanks or reserved characters goes in double quotes with
// '"', '`', '$' and '\' escaped; '%' is doubled because it starts a field code.
QString quotedExec(const QString& program)
{
    QString escaped = program;
    escaped.replace(QLatin1Char('%'), QStringLiteral("%%"));
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    const bool needsQuotes = std::any_of(escaped.cbegin(), escaped.cend(), [](QChar c) { return reserved.contains(c); });
    if (!needsQuotes)
        return escaped;
    QString quoted;
    for (QChar c : escaped) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    // The entry file is itself an escaped string, so each backslash is written twice.
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// Key=value lines of the [Desktop Entry] group.
QMap<QString, QString> readEntry(const QString& path)
{
    QMap<QString, QString> values;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return values;
    bool inMainGroup = false;
    for (const QByteArray& rawLine : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inMainGroup && equals > 0 && !line.startsWith(QLatin1Char('#')))
            values.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return values;
}

// The program part of an Exec line: the first word, unquoted.
QString programOf(QString exec)
{
    exec.replace(QStringLiteral("\\\\"), QStringLiteral("\\")); // the string-level escape first
    if (exec.startsWith(QLatin1Char('"'))) {
        QString program;
        for (qsizetype i = 1; i < exec.size(); ++i) {
            if (exec.at(i) == QLatin1Char('\\') && i + 1 < exec.size()) {
                program += exec.at(++i);
                continue;
            }
            if (exec.at(i) == QLatin1Char('"'))
                break;
            program += exec.at(i);
        }
        return program.replace(QStringLiteral("%%"), QStringLiteral("%"));
    }
    return exec.section(QLatin1Char(' '), 0, 0).replace(QStringLiteral("%%"), QStringLiteral("%"));
}

} // namespace

LaunchAtLoginService::LaunchAtLoginService(QString autostartDirectory, QString executable, SettingsPageOpener opener)
    : m_directory(autostartDirectory.isEmpty() ? defaultAutostartDirectory() : std::move(autostartDirectory)),
      m_executable(std::move(executable)), m_opener(std::move(opener))
{
    if (m_executable.isEmpty())
        m_executable = startupProgram(qEnvironmentVariable("APPIMAGE"), QStringLiteral(BREWBEACON_INSTALLED_PROGRAM),
                                      QCoreApplication::applicationFilePath());
}

QString LaunchAtLoginService::startupProgram(const QString& appImage, const QString& installedProgram,
                                             const QString& runningProgram)
{
    if (!appImage.isEmpty())
        return appImage;
    if (!installedProgram.isEmpty() && QFileInfo(installedProgram).isExecutable())
        return installedProgram;
    return runningProgram;
}

QString LaunchAtLoginService::defaultAutostartDirectory()
{
    const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    // XDG base directory rules ignore relative values.
    if (!configHome.isEmpty() && QDir::isAbsolutePath(configHome))
        return QDir(configHome).filePath(QStringLiteral("autostart"));
    return QDir::home().filePath(QStringLiteral(".config/autostart"));
}

QString LaunchAtLoginService::entryPath() const { return QDir(m_directory).filePath(entryFileName); }

QString LaunchAtLoginService::entryText(const QString& executable)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=BrewBeacon\n"
                          "Comment=Cafe and guest Wi-Fi, ready for work\n"
                          "Exec=%1\n"
                          "Icon=com.tolvek.brewbeacon\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(quotedExec(executable));
}

LaunchAtLoginStatus LaunchAtLoginService::status() const
{
    if (!QFileInfo::exists(entryPath()))
        return LaunchAtLoginStatus::notRegistered;
    const QMap<QString, QString> entry = readEntry(entryPath());
    if (entry.value(QStringLiteral("Hidden")) == QLatin1String("true")
        || entry.value(QStringLiteral("X-GNOME-Autostart-enabled")) == QLatin1String("false")
        || entry.value(QStringLiteral("Type")) != QLatin1String("Application"))
        return LaunchAtLoginStatus::notRegistered;
    const QString program = programOf(entry.value(QStringLiteral("Exec")));
    if (program.isEmpty() || (QDir::isAbsolutePath(program) && !QFileInfo(program).isExecutable()))
        return LaunchAtLoginStatus::notFound;
    return LaunchAtLoginStatus::enabled;
}

std::optional<LaunchAtLoginError> LaunchAtLoginService::setEnabled(bool enabled)
{
    if (!enabled) {
        QFile entry(entryPath());
        if (entry.exists() && !entry.remove())
            return LaunchAtLoginError::unregisterFailed(entry.errorString());
        return std::nullopt;
    }
    if (!QDir().mkpath(m_directory))
        return LaunchAtLoginError::registerFailed(QStringLiteral("Cannot create the folder ") + m_directory);
    QSaveFile file(entryPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return LaunchAtLoginError::registerFailed(file.errorString());
    file.write(entryText(m_executable).toUtf8());
    if (!file.commit())
        return LaunchAtLoginError::registerFailed(file.errorString());
    return std::nullopt;
}

void LaunchAtLoginService::openSystemSettings() { m_opener.openStartupApplications(m_directory); }
