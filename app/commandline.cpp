#include "commandline.h"

#include "constants.h"

#include <cstdio>

namespace {

QString helpText()
{
    return QStringLiteral(
               "Usage: tessera [--help | --version]\n"
               "%1: practise for a qualification exam taken on a computer.\n"
               "\n"
               "  --help     show this help and exit\n"
               "  --version  show the version and exit\n"
               "\n"
               "The question bank and your records are kept in data.db: beside the program\n"
               "when it runs from its build folder or a portable copy, otherwise in\n"
               "$XDG_DATA_HOME/tessera/ (~/.local/share/tessera/).\n")
        .arg(productTitle);
}

// Qt's application options: the ones with a value take it as the next
// argument or after "=".
struct ToolkitOption
{
    const char *name;
    bool takesValue;
};

const ToolkitOption toolkitOptions[] = {
    {"-platform", true},  {"-platformpluginpath", true}, {"-platformtheme", true}, {"-plugin", true},
    {"-qwindowgeometry", true}, {"-qwindowicon", true}, {"-qwindowtitle", true}, {"-geometry", true},
    {"-title", true},     {"-icon", true},     {"-name", true},     {"-display", true},
    {"-style", true},     {"-stylesheet", true}, {"-session", true}, {"-qmljsdebugger", true},
    {"-reverse", false},  {"-widgetcount", false}, {"-nograb", false}, {"-dograb", false},
    {"-sync", false},     {"-testability", false},
};

const ToolkitOption *toolkitOption(const QString &argument, bool *valueAttached)
{
    // Qt takes "--platform" as "-platform" too.
    const QString given = argument.startsWith(QLatin1String("--")) ? argument.mid(1) : argument;
    for (const ToolkitOption &option : toolkitOptions) {
        const QLatin1String name(option.name);
        if (given == name) {
            *valueAttached = false;
            return &option;
        }
        if (option.takesValue && given.startsWith(QString(name) + QLatin1Char('='))) {
            *valueAttached = true;
            return &option;
        }
    }
    return nullptr;
}

} // namespace

QStringList CommandLine::withoutToolkitOptions(const QStringList &arguments)
{
    QStringList own;
    for (int i = 0; i < arguments.size(); ++i) {
        bool valueAttached = false;
        const ToolkitOption *option = toolkitOption(arguments.at(i), &valueAttached);
        if (!option)
            own.append(arguments.at(i));
        else if (option->takesValue && !valueAttached)
            ++i;
    }
    return own;
}

CommandLine CommandLine::parse(const QStringList &arguments)
{
    CommandLine line;
    if (arguments.isEmpty())
        return line;
    const QString &first = arguments.first();
    const bool help = first == QLatin1String("--help") || first == QLatin1String("-h");
    const bool version = first == QLatin1String("--version");
    if (arguments.size() > 1 || (!help && !version)) {
        line.m_action = Action::Refuse;
        line.m_text = QStringLiteral("tessera: unexpected argument '%1': tessera takes none but a lone --help or --version\n")
                          .arg(help || version ? arguments.at(1) : first);
    } else if (help) {
        line.m_action = Action::Help;
        line.m_text = helpText();
    } else {
        line.m_action = Action::Version;
        line.m_text = QStringLiteral("tessera " TESSERA_VERSION "\n");
    }
    return line;
}

int CommandLine::print() const
{
    const QByteArray bytes = m_text.toLocal8Bit();
    std::fputs(bytes.constData(), m_action == Action::Refuse ? stderr : stdout);
    return m_action == Action::Refuse ? 2 : 0;
}
