#include "bankreader.h"

#include "banktext.h"
#include "examquestion.h"
#include "questionidlist.h"

#include <QSet>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

namespace {

// The key a question was imported with: "k:KEY" gives KEY; a part's key
// follows its case's ("k:c/k:1"); a hash gives nothing.
QString fileKey(const QString &stored)
{
    const QString own = stored.section(QLatin1Char('/'), -1).section(QLatin1Char('#'), 0, 0);
    return own.startsWith(QLatin1String("k:")) ? own.mid(2) : QString();
}

} // namespace

BankReader::BankReader(QSqlDatabase db)
    : m_db(db)
    , m_question(db)
{
    m_question.prepare(QStringLiteral("select q.*, c.name as chapterName, k.questionKey from exam_question q "
                                      "left join exam_chapter c on c.id=q.chapterId "
                                      "left join import_question k on k.questionId=q.id where q.id=:id"));
}

bool BankReader::readQuestion(const QString &id, bool leaf, BankQuestion *q)
{
    m_question.bindValue(QStringLiteral(":id"), id);
    if (!m_question.exec() || !m_question.next())
        return false;
    const QSqlRecord row = m_question.record();
    m_question.finish();
    const auto text = [&row](const char *column) { return row.value(QLatin1String(column)).toString(); };
    q->type = row.value(QStringLiteral("questionTypeid")).toInt();
    q->stemHtml = ExamQuestion::stemOf(q->type, leaf, text("title"), text("titleImage"));
    if (q->stemHtml.isEmpty())
        q->stemHtml = text("title");
    if (q->type == BankQuestion::SingleChoice || q->type == BankQuestion::MultipleChoice) {
        const int count = qBound(0, row.value(QStringLiteral("optionLength")).toInt(), 5);
        for (int i = 1; i <= count; ++i)
            q->optionsHtml << text(QStringLiteral("option%1").arg(i).toLatin1().constData());
    }
    const QString answer = text("answer").trimmed();
    if (q->type == BankQuestion::FillIn)
        q->blanks = BankText::splitBlanks(answer);
    else if (q->type <= BankQuestion::TrueFalse)
        q->answerLetters = answer.toUpper();
    q->explanationHtml = text("analysis");
    q->marks = row.value(QStringLiteral("cent")).toDouble();
    q->difficulty = row.value(QStringLiteral("difficulty")).toDouble();
    q->chapter = text("chapterName");
    const QString key = fileKey(text("questionKey"));
    q->key = key.isEmpty() && !leaf ? id : key;
    return true;
}

void BankReader::appendPaper(const QString &paperId, QVector<BankQuestion> &questions, QSet<QString> &seen)
{
    QSqlQuery sections(m_db);
    sections.prepare(QStringLiteral("select questionIds from exam_paper_static where paperId=:p order by sequence"));
    sections.bindValue(QStringLiteral(":p"), paperId);
    if (!sections.exec())
        return;
    while (sections.next()) {
        for (const QuestionIdEntry &entry : QuestionIdList::parse(sections.value(0).toString())) {
            BankQuestion question;
            if (seen.contains(entry.qid) || !readQuestion(entry.qid, false, &question))
                continue;
            seen.insert(entry.qid);
            for (int i = 0; i < entry.leafIds.size(); ++i) {
                BankQuestion part;
                if (readQuestion(entry.leafIds.at(i), true, &part)) {
                    if (part.key.isEmpty())
                        part.key = QString::number(i + 1);
                    question.parts.append(part);
                }
            }
            if (question.type == BankQuestion::CaseStudy && question.parts.isEmpty())
                continue; // a stem that asks nothing
            questions.append(question);
        }
    }
}

QVector<BankQuestion> BankReader::paper(const QString &paperId)
{
    QVector<BankQuestion> questions;
    QSet<QString> seen;
    appendPaper(paperId, questions, seen);
    return questions;
}

QVector<BankQuestion> BankReader::subject(const QString &subjectId)
{
    QVector<BankQuestion> questions;
    QSet<QString> seen;
    QSqlQuery papers(m_db);
    papers.prepare(QStringLiteral("select id from exam_paper where subjectId=:s order by sortNo"));
    papers.bindValue(QStringLiteral(":s"), subjectId);
    if (papers.exec()) {
        while (papers.next())
            appendPaper(papers.value(0).toString(), questions, seen);
    }
    return questions;
}
