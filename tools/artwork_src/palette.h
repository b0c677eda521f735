#pragma once

#include <QColor>

// The one palette of the program's artwork and page style sheets. The window
// strips are #7ebfcc (title and button rows) and #addeec (information and
// body strips); everything else is built on these two.
namespace Palette {
inline QColor strip() { return QColor("#7ebfcc"); }
inline QColor body() { return QColor("#addeec"); }
inline QColor wash() { return QColor("#eaf6f9"); }     // page background
inline QColor accent() { return QColor("#4cc1d2"); }   // answered entries, figures
inline QColor deep() { return QColor("#2d8596"); }     // buttons, headings
inline QColor deeper() { return QColor("#1f6272"); }   // pressed buttons, outlines
inline QColor ink() { return QColor("#21414a"); }      // body text on light ground
inline QColor warm() { return QColor("#f39c12"); }     // current entry, main actions
inline QColor warmDeep() { return QColor("#d35400"); }
inline QColor right() { return QColor("#3aa657"); }
inline QColor wrong() { return QColor("#d9483b"); }
inline QColor star() { return QColor("#f5b301"); }
inline QColor paper() { return QColor("#ffffff"); }
inline QColor rule() { return QColor("#c5dfe6"); }     // table lines, box borders
} // namespace Palette
