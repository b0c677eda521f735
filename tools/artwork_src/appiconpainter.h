#pragma once

#include <QByteArray>
#include <QImage>

// The program's icon for the desktop's menu and task bar: a screen with a tick
// on a tile of the program's teal. One drawing, painted at any pixel size or
// written as scalable SVG.
namespace AppIconPainter {

QImage png(int side);
QByteArray svg();

} // namespace AppIconPainter
