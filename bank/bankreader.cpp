#include "bankreader.h"

#include "banktext.h"
#include "examquestion.h"
#include "notestore.h"
#include "questionidlist.h"

#include <QSet>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
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
    // A bank no import has touched (the shipped one, opened read-only) has
    // no table of import keys: its questions are keyed by their ids.
    const bool keyed = db.tables().contains(QStringLiteral("import_question"));
    m_question.prepare(QStringLiteral("select q.*, c.name as chapterName, %1 as questionKey from exam_question q "
                                      "left join exam_chapter c on c.id=q.chapterId %2 where q.id=:id")
                           .arg(keyed ? QStringLiteral("k.questionKey") : QStringLiteral("''"),
                                keyed ? QStringLiteral("left join import_question k on k.questionId=q.id")
                                      : QString()));
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
            appendQuestion(question, entry.leafIds, questions);
        }
    }
}

void BankReader::appendQuestion(BankQuestion &question, const QStringList &partIds,
                                QVector<BankQuestion> &questions, const QHash<QString, QString> &notes)
{
    for (int i = 0; i < partIds.size(); ++i) {
        BankQuestion part;
        if (readQuestion(partIds.at(i), true, &part)) {
            if (part.key.isEmpty())
                part.key = QString::number(i + 1);
            part.note = notes.value(partIds.at(i));
            question.parts.append(part);
        }
    }
    if (question.type == BankQuestion::CaseStudy && question.parts.isEmpty())
        return; // a stem that asks nothing
    questions.append(question);
}

// Questions of the subject that no paper lists: those its chapters or
// categories (or, once migrated, its own subject column) name.
void BankReader::appendUnlisted(const QString &subjectId, QVector<BankQuestion> &questions, QSet<QString> &seen)
{
    const bool ownColumn = m_db.record(QStringLiteral("exam_question")).contains(QStringLiteral("subjectid"));
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("select q.id from exam_question q "
                                 "left join exam_chapter c on c.id=q.chapterId "
                                 "left join exam_dic_fuleixing f on f.id=q.fuleixingid "
                                 "where ifnull(q.relationship,'')='' and (c.subjectid=:s or f.subjectid=:s%1) "
                                 "order by q.sortNo, q.rowid")
                      .arg(ownColumn ? QStringLiteral(" or q.subjectid=:s") : QString()));
    query.bindValue(QStringLiteral(":s"), subjectId);
    if (!query.exec())
        return;
    QStringList ids;
    while (query.next())
        ids << query.value(0).toString();
    QSqlQuery parts(m_db);
    parts.prepare(QStringLiteral("select id from exam_question where relationship=:p order by sortNo, rowid"));
    for (const QString &id : qAsConst(ids)) {
        BankQuestion question;
        if (seen.contains(id) || !readQuestion(id, false, &question))
            continue;
        seen.insert(id);
        QStringList partIds;
        parts.bindValue(QStringLiteral(":p"), id);
        if (parts.exec()) {
            while (parts.next())
                partIds << parts.value(0).toString();
        }
        appendQuestion(question, partIds, questions);
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
    appendUnlisted(subjectId, questions, seen);
    return questions;
}

QVector<BankQuestion> BankReader::wrongBook(const SubjectScope &scope)
{
    QSqlQuery rows(m_db);
    rows.prepare(QStringLiteral("select e.questionId, ifnull(e.parentId,'') from error_answer e "
                                "join exam_paper p on p.id=e.examid")
                 + scope.whereClause(QStringLiteral("p.subjectId"))
                 + QStringLiteral(" order by p.sortNo, e.examid, e.sequence, e.rowid"));
    scope.bind(rows);
    // Top-level ids in book order, with the wrong parts of each case.
    QStringList order;
    QHash<QString, QStringList> partsOf;
    if (rows.exec()) {
        while (rows.next()) {
            const QString id = rows.value(0).toString();
            const QString parent = rows.value(1).toString();
            const QString top = parent.isEmpty() ? id : parent;
            if (!partsOf.contains(top)) {
                order << top;
                partsOf.insert(top, {});
            }
            if (!parent.isEmpty() && !partsOf[top].contains(id))
                partsOf[top] << id;
        }
    }
    QStringList ids = order;
    for (const QStringList &parts : qAsConst(partsOf))
        ids += parts;
    const QHash<QString, QString> notes = NoteStore::notesOf(m_db, scope, ids);
    QVector<BankQuestion> questions;
    for (const QString &id : qAsConst(order)) {
        BankQuestion question;
        if (!readQuestion(id, false, &question))
            continue;
        question.note = notes.value(id);
        appendQuestion(question, partsOf.value(id), questions, notes);
    }
    return questions;
}
