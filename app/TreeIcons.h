#pragma once

#include <QIcon>

// The three 18 x 18 pictures of the library tree, drawn in code: the picture index of a
// node is its level (0 the root, 1 a book, 2 an article).
namespace TreeIcons {

enum Picture : int { Root = 0, Book = 1, Article = 2 };

constexpr int Size = 18;

// The picture of a level; the icons are made once and shared.
const QIcon &Icon(Picture picture);

} // namespace TreeIcons
