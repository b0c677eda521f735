#include "bankquestion.h"

QString BankQuestion::chapterName() const
{
    if (!chapter.trimmed().isEmpty())
        return chapter.trimmed();
    return chapterOfCategory(category);
}

QString BankQuestion::chapterOfCategory(const QString &path)
{
    // "//" is a "/" inside a name.
    QStringList names;
    QString name;
    for (int i = 0; i <= path.size(); ++i) {
        if (i < path.size() && path.at(i) == QLatin1Char('/') && i + 1 < path.size()
            && path.at(i + 1) == QLatin1Char('/')) {
            name += QLatin1Char('/');
            ++i;
        } else if (i == path.size() || path.at(i) == QLatin1Char('/')) {
            if (!name.trimmed().isEmpty())
                names << name.trimmed();
            name.clear();
        } else {
            name += path.at(i);
        }
    }
    return names.join(QStringLiteral(" / "));
}

QString BankQuestion::categoryOfChapter(const QString &chapterName)
{
    QStringList names = chapterName.split(QStringLiteral(" / "));
    for (QString &name : names)
        name = name.trimmed().replace(QLatin1Char('/'), QLatin1String("//"));
    return names.join(QLatin1Char('/'));
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

bool BankQuestion::anyNote(const QVector<BankQuestion> &questions)
{
    for (const BankQuestion &q : questions) {
        if (!q.note.trimmed().isEmpty() || anyNote(q.parts))
            return true;
    }
    return false;
}
