#pragma once

#include <QString>

// Where the update check keeps its files in the application folder.
namespace UpdatePaths {

// The updater program beside the executable.
inline constexpr char UpdaterName[] = "AutoPatch";

// The local copy of the update list: the application folder followed by the last segment of
// the list address's path ("patch.xml"). A path that ends in "/", ".." or "." has no usable
// name, so the copy is then called "patch.xml".
QString LocalListPath(const QString &appDir, const QString &listAddress);

// The updater in the application folder, with a single "/" between the folder and the name,
// also when the folder is the root of the file system.
QString UpdaterPath(const QString &appDir);

} // namespace UpdatePaths
