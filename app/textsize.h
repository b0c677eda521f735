#pragma once

#include <QString>
#include <Qt>

// The reading sizes of the program (字号 小 / 中 / 大 / 特大): how much pages and
// the windows' own labels are enlarged, how a size is remembered, and which
// keys step it.
namespace TextSize {

enum class Step { Small, Medium, Large, ExtraLarge };

enum class KeyCommand { None, Larger, Smaller, Reset };

constexpr Step standard = Step::Medium;

// The factor pages and window fonts are scaled by.
qreal factor(Step step);
// The size's name as the menu shows it (小, 中, 大, 特大).
QString label(Step step);
// The name stored in the settings, and back; an unknown or empty name reads
// as the standard size.
QString storedName(Step step);
Step fromStoredName(const QString &name);

// Ctrl+= (also Ctrl++ and the keypad's +), Ctrl+- and Ctrl+0, whatever the
// keyboard adds for Shift or the keypad; anything else is None.
KeyCommand keyCommand(int key, Qt::KeyboardModifiers modifiers);
// The size after command; steps stop at the smallest and the largest size.
Step applied(Step current, KeyCommand command);

} // namespace TextSize
