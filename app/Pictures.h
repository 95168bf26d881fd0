#pragma once

#include <QIcon>
#include <QPixmap>

// The program's own pictures, drawn in code: toolbar glyphs, the small editing buttons and
// the logo.
namespace Pictures {

enum class TToolbarPicture {
    AddArticle,
    DeleteArticles,
    AddDir,
    ExportArticles,
    ImportArticles,
    UserCenter,
    Exit,
};

enum class TEditPicture { Cut, Copy, Paste, Undo, Wrap, RemoveBlankLines, WordCount };

// 32 × 32 glyphs of the toolbar.
QIcon Toolbar(TToolbarPicture picture);
// 16 × 16 glyphs of the small editing buttons above the article text.
QIcon EditButton(TEditPicture picture);
// The logo of the top band, 114 × 48, transparent around the drawing.
QPixmap Logo();
// The program's icon (the same drawing as the desktop entry's icon files).
QIcon AppIcon();

} // namespace Pictures
