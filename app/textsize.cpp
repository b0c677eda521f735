#include "textsize.h"

namespace TextSize {

namespace {

struct SizeRow
{
    Step step;
    qreal factor;
    const char *stored;
    QString label;
};

// In order, smallest first.
const SizeRow &row(Step step)
{
    static const SizeRow rows[] = {
        {Step::Small, 0.9, "small", QStringLiteral("小")},
        {Step::Medium, 1.0, "medium", QStringLiteral("中")},
        {Step::Large, 1.2, "large", QStringLiteral("大")},
        {Step::ExtraLarge, 1.4, "extraLarge", QStringLiteral("特大")},
    };
    return rows[static_cast<int>(step)];
}

constexpr int stepCount = 4;

} // namespace

qreal factor(Step step)
{
    return row(step).factor;
}

QString label(Step step)
{
    return row(step).label;
}

QString storedName(Step step)
{
    return QString::fromLatin1(row(step).stored);
}

Step fromStoredName(const QString &name)
{
    for (int i = 0; i < stepCount; ++i) {
        const Step step = static_cast<Step>(i);
        if (name == QLatin1String(row(step).stored))
            return step;
    }
    return standard;
}

KeyCommand keyCommand(int key, Qt::KeyboardModifiers modifiers)
{
    // Shift is part of + on most keyboards and the keypad flag of the keypad's
    // keys: neither changes the command. Alt or Meta with it is another shortcut.
    const Qt::KeyboardModifiers others = modifiers & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (others != Qt::ControlModifier)
        return KeyCommand::None;
    switch (key) {
    case Qt::Key_Equal:
    case Qt::Key_Plus:
        return KeyCommand::Larger;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        return KeyCommand::Smaller;
    case Qt::Key_0:
    case Qt::Key_ParenRight:
        return KeyCommand::Reset;
    default:
        return KeyCommand::None;
    }
}

Step applied(Step current, KeyCommand command)
{
    const int index = static_cast<int>(current);
    switch (command) {
    case KeyCommand::Larger:
        return static_cast<Step>(qMin(index + 1, stepCount - 1));
    case KeyCommand::Smaller:
        return static_cast<Step>(qMax(index - 1, 0));
    case KeyCommand::Reset:
        return standard;
    case KeyCommand::None:
        break;
    }
    return current;
}

} // namespace TextSize
