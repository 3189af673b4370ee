#include "services/update/InstallationLayout.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

QString InstallationLayout::parent() const { return QFileInfo(prefix).absolutePath(); }
QString InstallationLayout::name() const { return QFileInfo(prefix).fileName(); }
QString InstallationLayout::programPath() const { return QDir(prefix).filePath(program); }
QString InstallationLayout::previous() const { return QDir(parent()).filePath(u'.' + name() + u".previous"_s); }
QString InstallationLayout::stagingPrefix() const { return u'.' + name() + u".update-"_s; }
QString InstallationLayout::stagingTemplate() const { return QDir(parent()).filePath(stagingPrefix() + u"XXXXXX"_s); }
