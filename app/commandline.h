#pragma once

#include <QString>
#include <QStringList>

// What the program's arguments ask for. The program reads no arguments; it
// answers --help and --version as every Linux program does and refuses the rest.
class CommandLine
{
public:
    enum class Action { Run, Help, Version, Refuse };

    // arguments: without the program name, after Qt took its own options.
    static CommandLine parse(const QStringList &arguments);

    Action action() const { return m_action; }
    // The help, the version line or the refusal, ending with a newline.
    QString text() const { return m_text; }

    // Prints the text (a refusal on the error output) and returns the exit code.
    int print() const;

private:
    Action m_action = Action::Run;
    QString m_text;
};
