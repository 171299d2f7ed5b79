// Icons of the layer: the icon resource is a small well with cubes in it,
// drawn here at any size with its edges on whole pixels.

#include "platform/win_icon.h"

#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cmath>

// ---- helpers --------------------------------------------------------------

namespace {

// A 0xRRGGBB colour of the resource as Qt's.
QColor ColourOf(UINT rgb) { return QColor((rgb >> 16) & 0xff, (rgb >> 8) & 0xff, rgb & 0xff); }

}  // namespace

// ---- functions ------------------------------------------------------------

namespace platform {

// The cells take three quarters of the width; the walls and the cubes' edges
// grow with the size but stay at least one pixel, so that the small sizes
// keep the look of the large ones.
QImage DrawIconPicture(const IconPicture& picture, int side) {
  QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  if (side <= 0 || picture.columns <= 0 || picture.rows <= 0) return image;
  const int cell = std::max(1, side * 3 / 4 / picture.columns);
  const int wall = std::max(1, (int)std::lround(side / 32.0));
  const int edge = cell >= 3 ? std::max(1, (int)std::lround(cell / 6.0)) : 0;
  // The walls stand one wall's thickness above the top row of cells.
  const int width = 2 * wall + picture.columns * cell;
  const int height = wall + picture.rows * cell + wall;
  const int left = (side - width) / 2;
  const int top = (side - height) / 2;
  const int cellsLeft = left + wall;
  const int cellsTop = top + wall;
  const int floorTop = cellsTop + picture.rows * cell;

  QPainter painter(&image);
  const QColor wallColour = ColourOf(picture.wall);
  painter.fillRect(left, top, wall, height, wallColour);
  painter.fillRect(left + width - wall, top, wall, height, wallColour);
  painter.fillRect(left, floorTop, width, wall, wallColour);
  for (size_t i = 0; i < picture.count; ++i) {
    const IconCube& cube = picture.cubes[i];
    if (cube.column < 0 || cube.column >= picture.columns || cube.row < 0 ||
        cube.row >= picture.rows)
      continue;
    const int x = cellsLeft + cube.column * cell;
    const int y = cellsTop + cube.row * cell;
    painter.fillRect(x, y, cell, cell, ColourOf(picture.edge));
    painter.fillRect(x, y, cell - edge, cell - edge, ColourOf(cube.light));
    painter.fillRect(x + edge, y + edge, cell - 2 * edge, cell - 2 * edge, ColourOf(cube.dark));
  }
  return image;
}

// Ready drawn at each usual size; Qt scales the nearest one for any other.
QIcon IconOfResource(UINT id) {
  const IconPicture* picture = FindIconPicture(id);
  if (picture == nullptr) return QIcon();
  QIcon icon;
  for (int side : gc_IconSides) icon.addPixmap(QPixmap::fromImage(DrawIconPicture(*picture, side)));
  return icon;
}

}  // namespace platform
