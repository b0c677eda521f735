#include "questionkeys.h"

#include "banktext.h"

#include <QCryptographicHash>

namespace {

QByteArray digest(const QStringList &fields)
{
    // The unit separator never occurs in a text field of a question file.
    return QCryptographicHash::hash(fields.join(QChar(0x1F)).toUtf8(), QCryptographicHash::Sha1).toHex();
}

} // namespace

QString QuestionKeys::next(const BankQuestion &question, const QString &parentKey)
{
    QString base;
    if (!question.key.trimmed().isEmpty()) {
        base = QLatin1String("k:") + question.key.trimmed();
    } else {
        // The stem alone: a question whose options or answer are mended is
        // the same question, changed.
        const QStringList text{QString::number(question.type), BankText::htmlToPlain(question.stemHtml)};
        base = QLatin1String("h:") + QString::fromLatin1(digest(text).left(16));
    }
    if (!parentKey.isEmpty())
        base = parentKey + QLatin1Char('/') + base;
    const int seen = ++m_seen[base];
    return seen == 1 ? base : base + QLatin1Char('#') + QString::number(seen);
}

QString QuestionKeys::contentHash(const BankQuestion &question)
{
    QStringList fields{QString::number(question.type), question.stemHtml, question.optionsHtml.join(QChar(0x1E)),
                       question.answerLetters, BankText::joinBlanks(question.blanks), question.explanationHtml,
                       QString::number(question.marks, 'g', 12), question.chapterName(),
                       QString::number(question.difficulty, 'g', 12)};
    for (const BankQuestion &part : question.parts)
        fields << contentHash(part);
    return QString::fromLatin1(digest(fields));
}
