#include "clozetext.h"

#include "bankquestion.h"
#include "banktext.h"

#include <QRegularExpression>

namespace {

QString escaped(const QString &answer)
{
    QString text;
    for (const QChar c : answer) {
        if (QStringLiteral("\\}~#").contains(c))
            text += QLatin1Char('\\');
        text += c;
    }
    return text.toHtmlEscaped();
}

QString blankText(int number, const QStringList &accepted)
{
    QStringList answers;
    for (const QString &text : accepted)
        answers << QLatin1Char('=') + escaped(text);
    return QStringLiteral("{%1:SHORTANSWER:%2}").arg(number).arg(answers.join(QLatin1Char('~')));
}

// The answers of a blank's list, split at "~" that is not escaped, each
// without its "#feedback", the escapes taken off.
QStringList answerItems(const QString &list)
{
    QStringList items{QString()};
    bool feedback = false;
    for (int i = 0; i < list.size(); ++i) {
        const QChar c = list.at(i);
        if (c == QLatin1Char('~')) {
            items << QString();
            feedback = false;
        } else if (c == QLatin1Char('#')) {
            feedback = true;
        } else if (!feedback) {
            items.last() += c == QLatin1Char('\\') && i + 1 < list.size() ? list.at(++i) : c;
        } else if (c == QLatin1Char('\\')) {
            ++i;
        }
    }
    return items;
}

} // namespace

namespace ClozeText {

bool fits(const BankQuestion &q)
{
    // Reading a cloze text back gives the bank's own marker: other markers
    // ("____") would not come back as they were.
    return q.type == BankQuestion::FillIn && q.blanks.size() > 1
        && BankText::countBlankMarks(q.stemHtml) == q.blanks.size()
        && q.stemHtml.count(BankText::blankMarker()) == q.blanks.size()
        && !q.stemHtml.contains(BankText::blankMarker() + QLatin1Char('_'));
}

QString write(const QString &stemHtml, const QList<QStringList> &blanks)
{
    static const QRegularExpression marker(QStringLiteral("_{3,}"));
    QString text;
    int last = 0;
    int number = 0;
    QRegularExpressionMatchIterator it = marker.globalMatch(stemHtml);
    while (it.hasNext() && number < blanks.size()) {
        const QRegularExpressionMatch match = it.next();
        text += stemHtml.midRef(last, match.capturedStart() - last);
        text += blankText(number + 1, blanks.at(number));
        ++number;
        last = match.capturedEnd();
    }
    text += stemHtml.midRef(last);
    for (; number < blanks.size(); ++number)
        text += QLatin1Char(' ') + blankText(number + 1, blanks.at(number));
    return text;
}

bool read(const QString &html, QString *stemHtml, QList<QStringList> *blanks, QString *reason)
{
    // {N:TYPE:answers}, the number optional; "\}" inside answers.
    static const QRegularExpression blank(QStringLiteral("\\{(\\d*):([A-Za-z_]+):((?:\\\\.|[^\\\\}])*)\\}"));
    static const QRegularExpression weight(QStringLiteral("^\\s*(?:=|%(-?[0-9.]+)%)"));
    static const QStringList shortAnswer{QStringLiteral("SHORTANSWER"), QStringLiteral("SA"), QStringLiteral("MW"),
                                         QStringLiteral("SHORTANSWER_C"), QStringLiteral("SAC"),
                                         QStringLiteral("MWC")};
    stemHtml->clear();
    blanks->clear();
    int last = 0;
    QRegularExpressionMatchIterator it = blank.globalMatch(html);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        if (!shortAnswer.contains(match.captured(2).toUpper())) {
            *reason = QStringLiteral("完形填空中的“%1”空题库不能保存（只能是 SHORTANSWER）").arg(match.captured(2));
            return false;
        }
        QStringList accepted;
        for (const QString &item : answerItems(match.captured(3))) {
            const QRegularExpressionMatch right = weight.match(item);
            if (!right.hasMatch() || (!right.captured(1).isEmpty() && right.captured(1).toDouble() < 100))
                continue;
            const QString text = BankText::htmlToPlain(item.mid(right.capturedEnd()));
            if (!text.isEmpty() && !accepted.contains(text))
                accepted << text;
        }
        if (accepted.isEmpty()) {
            *reason = QStringLiteral("完形填空的第 %1 个空没有得满分的答案").arg(blanks->size() + 1);
            return false;
        }
        *stemHtml += html.midRef(last, match.capturedStart() - last);
        *stemHtml += BankText::blankMarker();
        blanks->append(accepted);
        last = match.capturedEnd();
    }
    *stemHtml += html.midRef(last);
    if (blanks->isEmpty()) {
        *reason = QStringLiteral("完形填空中没有空（{1:SHORTANSWER:=…}）");
        return false;
    }
    return true;
}

} // namespace ClozeText
