#pragma once

#include <QString>
#include <QStringList>

// What the program's arguments ask for. The program reads no arguments; it
// answers --help and --version as every Linux program does and refuses the rest.
class CommandLine
{
public:
    enum class Action { Run, Help, Version, Refuse };

    // arguments: without the program name and without Qt's own options.
    static CommandLine parse(const QStringList &arguments);

    // The arguments less the options Qt's application object takes itself
    // (-platform NAME, -style=NAME, -reverse, ...), so that the program's own
    // answer comes before Qt needs a display.
    static QStringList withoutToolkitOptions(const QStringList &arguments);

    Action action() const { return m_action; }
    // The help, the version line or the refusal, ending with a newline.
    QString text() const { return m_text; }

    // Prints the text (a refusal on the error output) and returns the exit code.
    int print() const;

private:
    Action m_action = Action::Run;
    QString m_text;
};
