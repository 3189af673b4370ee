#pragma once

#include <QMetaType>
#include <QString>

// Registration of the program to start at sign-in. Its text form (logs) is the case name.
enum class LaunchAtLoginStatus { enabled, requiresApproval, notRegistered, notFound, unsupported, unknown };

QString caseName(LaunchAtLoginStatus status);

Q_DECLARE_METATYPE(LaunchAtLoginStatus)
