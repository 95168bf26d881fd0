#pragma once

#include <QImage>

// The program's icon, drawn in code for any size: an open book with one lit line on a deep
// red tile. The same drawing serves the window icon and the desktop entry's icon files, and
// it needs no application object (the icon files are painted during the build).
namespace AppIconPicture {

QImage Paint(int side);

} // namespace AppIconPicture
