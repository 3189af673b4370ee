#pragma once

#include <QString>

// Where an installation lives and the names an update uses beside it, in the same folder so every
// switch is a rename on one file system:
//   PARENT/NAME                  the installation ("bin/brewbeacon", "share/...")
//   PARENT/.NAME.update-XXXXXX   a new tree while it is unpacked and checked
//   PARENT/.NAME.previous        the tree the last update replaced, kept until the new program started
struct InstallationLayout {
    QString prefix;  // absolute and clean
    QString program; // relative to the prefix

    QString parent() const;
    QString name() const;
    QString programPath() const;
    QString previous() const;
    QString stagingTemplate() const; // for mkdtemp
    QString stagingPrefix() const;   // what every staging folder's name starts with
};
