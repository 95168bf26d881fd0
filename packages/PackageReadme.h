#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The readme written beside an exported package, for whoever receives the package without
// the program.
namespace PackageReadme {

// The package's full path followed directly by "说明.txt" (x.eap gives x.eap说明.txt).
QString PathFor(const QString &packagePath);

// The readme's bytes in code page 936, every line ended by CR LF: the article lines, a line
// of one CR, a line of 34 asterisks and the notice with the download address.
QByteArray Bytes(const QStringList &articleLines);

// Writes the readme beside the package; false when it could not be written (the export
// goes on without it).
bool Write(const QString &packagePath, const QStringList &articleLines);

} // namespace PackageReadme
