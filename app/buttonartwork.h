#pragma once

#include <QString>

class QWidget;

// Style sheets that dress push buttons in the program's images.
namespace ButtonArtwork {

// Normal and hover show the first image, pressed the second.
QString pressable(const QString &normal, const QString &pressed);
// Lit only while the pointer is over the button, pressed or not.
QString hoverLit(const QString &normal, const QString &hover);
// Title-strip buttons light up on hover as when pressed.
QString titleButton(const QString &normal, const QString &active);
// The close, max, restore and min buttons every frameless window carries.
void applyToTitleStrip(QWidget *close, QWidget *max, QWidget *restore, QWidget *min);

} // namespace ButtonArtwork
