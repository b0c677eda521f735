#include "messageboxtexts.h"

#include <QCoreApplication>

MessageBoxTexts::MessageBoxTexts()
{
    QCoreApplication::installTranslator(this);
}

MessageBoxTexts::~MessageBoxTexts()
{
    QCoreApplication::removeTranslator(this);
}

QString MessageBoxTexts::translate(const char *context, const char *sourceText, const char *, int) const
{
    if (qstrcmp(context, "QMessageBox") != 0)
        return QString();
    if (qstrcmp(sourceText, "Show Details...") == 0)
        return QStringLiteral("详细信息…");
    if (qstrcmp(sourceText, "Hide Details...") == 0)
        return QStringLiteral("隐藏详细信息");
    return QString();
}
