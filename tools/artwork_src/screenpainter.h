#pragma once

#include <QImage>
#include <QString>

// Full pictures of the windows: the title-strip background and logo banner of
// the main window, and the login and candidate screens of the simulated test.
namespace ScreenPainter {

// Background of the main window's title strip (stretched to the strip).
QImage titleStrip();

// The logo banner with the product name (transparent, on the title strip).
QImage logoBanner(const QString &productName);

// The login screen, 911 by 613; its buttons and number box lie on top of it.
QImage loginScreen(const QString &productName);

// The candidate information screen, 911 by 613.
QImage candidateScreen(const QString &productName);

} // namespace ScreenPainter
