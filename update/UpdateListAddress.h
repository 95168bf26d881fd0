#pragma once

#include <QString>

// The address that the main window's background update check fetches, for the whole
// process. It is empty until the program's entry point sets the build's address, so a
// window made by a test or a tool never starts a check and never reaches the network.
namespace UpdateListAddress {

// Sets the address. An empty one, and one whose host lies under the reserved ".invalid"
// domain (which never resolves; the build's placeholder address is one), turn the check off:
// it could only fail, and is not even looked up.
void Set(const QString &address);

// The address to check; empty while the check is off.
QString Get();

} // namespace UpdateListAddress
