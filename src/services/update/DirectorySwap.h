#pragma once

#include <QString>

#include <optional>

// Swaps two folders of one file system in a single step (renameat2 with RENAME_EXCHANGE), so a reader
// finds either the old tree or the new one at each path, never a mixture or nothing. File systems
// without the exchange get three renames, each undone if a later one fails. Returns why it failed.
std::optional<QString> exchangeDirectories(const QString& first, const QString& second);

// Removes a tree without following links; true when nothing is left at `path`.
bool removeTree(const QString& path);
