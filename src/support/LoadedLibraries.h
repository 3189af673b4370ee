#pragma once

#include <QString>

// Appends the shared libraries this process has mapped, one path a line, to the file (the packaging
// check compares them with the package's dependencies).
void appendLoadedLibraries(const QString& path);
