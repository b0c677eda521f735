#include "bankquestion.h"

QString BankQuestion::chapterName() const
{
    if (!chapter.trimmed().isEmpty())
        return chapter.trimmed();
    const QStringList path = category.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return path.isEmpty() ? QString() : path.last().trimmed();
}

QString BankQuestion::typeName(int type)
{
    switch (type) {
    case SingleChoice: return QStringLiteral("单选");
    case MultipleChoice: return QStringLiteral("多选");
    case TrueFalse: return QStringLiteral("判断");
    case FillIn: return QStringLiteral("填空");
    case Essay: return QStringLiteral("简答");
    case CaseStudy: return QStringLiteral("案例");
    default: return QString();
    }
}

QString BankQuestion::typeTitle(int type)
{
    switch (type) {
    case SingleChoice: return QStringLiteral("单项选择题");
    case MultipleChoice: return QStringLiteral("多项选择题");
    case CaseStudy: return QStringLiteral("案例分析题");
    default: {
        const QString name = typeName(type);
        return name.isEmpty() ? QStringLiteral("其他题型") : name + QStringLiteral("题");
    }
    }
}
