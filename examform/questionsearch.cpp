#include "questionsearch.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

namespace {

// Positions of the exam_question columns in a "select *" result, looked up once
// per search instead of by name for every value.
struct QuestionColumns
{
    explicit QuestionColumns(const QSqlRecord &record)
        : id(record.indexOf(QStringLiteral("id"))),
          questionTypeid(record.indexOf(QStringLiteral("questionTypeid"))),
          title(record.indexOf(QStringLiteral("title"))),
          titleImage(record.indexOf(QStringLiteral("titleImage"))),
          option1(record.indexOf(QStringLiteral("option1"))),
          option2(record.indexOf(QStringLiteral("option2"))),
          option3(record.indexOf(QStringLiteral("option3"))),
          option4(record.indexOf(QStringLiteral("option4"))),
          option5(record.indexOf(QStringLiteral("option5"))),
          optionLength(record.indexOf(QStringLiteral("optionLength"))),
          answer(record.indexOf(QStringLiteral("answer"))),
          analysis(record.indexOf(QStringLiteral("analysis"))),
          cent(record.indexOf(QStringLiteral("cent"))),
          difficulty(record.indexOf(QStringLiteral("difficulty"))),
          source(record.indexOf(QStringLiteral("source"))),
          level(record.indexOf(QStringLiteral("level"))),
          questionYear(record.indexOf(QStringLiteral("questionYear"))),
          layout(record.indexOf(QStringLiteral("layout"))),
          grade(record.indexOf(QStringLiteral("grade"))),
          chapterId(record.indexOf(QStringLiteral("chapterId"))),
          parentId(record.indexOf(QStringLiteral("parentId"))),
          fuleixingid(record.indexOf(QStringLiteral("fuleixingid"))),
          sortNo(record.indexOf(QStringLiteral("sortNo"))),
          video(record.indexOf(QStringLiteral("video"))),
          isCollect(record.indexOf(QStringLiteral("isCollect")))
    {
    }

    int id, questionTypeid, title, titleImage, option1, option2, option3, option4, option5,
        optionLength, answer, analysis, cent, difficulty, source, level, questionYear, layout,
        grade, chapterId, parentId, fuleixingid, sortNo, video, isCollect;
};

// Stored REAL values are read at single precision, as everywhere else in the program.
double singlePrecision(const QVariant &value)
{
    return static_cast<double>(value.toFloat());
}

// Fills a hit from its row. A part of a composite also carries its own title
// as material and its sortNo.
std::unique_ptr<ExamQuestion> questionFromRow(const QSqlQuery &row, const QuestionColumns &c, bool isPart)
{
    auto q = std::make_unique<ExamQuestion>();
    const QVariant typeValue = row.value(c.questionTypeid);
    q->type = typeValue.toInt();
    q->questionTypeid = typeValue.toString();
    q->id = row.value(c.id).toString();
    if (q->type == ExamQuestion::Essay) {
        q->title = row.value(c.title).toString();
    } else {
        q->title = row.value(c.titleImage).toString();
        const QLatin1String lineBreak("<br/>");
        q->option1 = row.value(c.option1).toString() + lineBreak;
        q->option2 = row.value(c.option2).toString() + lineBreak;
        q->option3 = row.value(c.option3).toString() + lineBreak;
        q->option4 = row.value(c.option4).toString() + lineBreak;
        q->option5 = row.value(c.option5).toString() + lineBreak;
    }
    q->fuleixingid = row.value(c.fuleixingid).toString();
    if (isPart) {
        q->material = row.value(c.title).toString();
        q->sortNo = row.value(c.sortNo).toInt();
    }
    q->chapterId = row.value(c.chapterId).toString();
    q->answer = row.value(c.answer).toString();
    q->optionLength = row.value(c.optionLength).toInt();
    q->analysis = row.value(c.analysis).toString();
    q->cent = singlePrecision(row.value(c.cent));
    q->difficulty = singlePrecision(row.value(c.difficulty));
    q->source = row.value(c.source).toString();
    q->level = row.value(c.level).toInt();
    q->questionYear = row.value(c.questionYear).toString();
    q->layout = row.value(c.layout).toInt();
    q->grade = row.value(c.grade).toInt();
    q->parentId = row.value(c.parentId).toString();
    q->isCollect = row.value(c.isCollect).toBool();
    q->video = row.value(c.video).toString().trimmed();
    return q;
}

} // namespace

QString QuestionSearch::containsPattern(const QString &keyword)
{
    QString pattern;
    pattern.reserve(keyword.size() * 2 + 2);
    pattern += QLatin1Char('%');
    for (const QChar c : keyword) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
            pattern += QLatin1Char('\\');
        pattern += c;
    }
    pattern += QLatin1Char('%');
    return pattern;
}

std::unique_ptr<ExamPaper> QuestionSearch::run(QSqlDatabase db, const QString &keyword, int renderMode,
                                               const QString &appDirSlash, const SubjectScope &scope)
{
    auto results = std::make_unique<ExamPaper>();

    QSqlQuery hits(db);
    hits.setForwardOnly(true);
    if (!hits.prepare(QStringLiteral("select * from exam_question where title LIKE :pattern ESCAPE '\\' "
                                     "and relationship=''") + scope.andClause(QStringLiteral("subjectid"))
                      + QStringLiteral(" ORDER BY questionTypeid")))
        return results;
    hits.bindValue(QStringLiteral(":pattern"), containsPattern(keyword));
    scope.bind(hits);
    if (!hits.exec())
        return results;
    const QuestionColumns columns(hits.record());

    // One statement, prepared once, fetches the parts of every composite hit.
    QSqlQuery parts(db);
    parts.setForwardOnly(true);
    const bool partsReady = parts.prepare(QStringLiteral("select * from exam_question where relationship=:id"));

    const auto add = [&](std::unique_ptr<ExamQuestion> q) {
        // Every hit has its own position, so the element ids of the page never repeat.
        q->seq = static_cast<int>(results->questions.size()) + 1;
        q->renderSearch(renderMode, appDirSlash, keyword);
        results->addQuestion(std::move(q));
        ++results->questionCount;
        ++results->askCount;
    };

    int row = 0;
    int nextNumber = 1;
    for (; hits.next(); ++row) {
        if (hits.value(columns.questionTypeid).toInt() != ExamQuestion::Composite) {
            auto q = questionFromRow(hits, columns, false);
            q->number = nextNumber++;
            q->leafNo = 0;
            add(std::move(q));
            continue;
        }
        // A composite is listed as its parts, numbered by the composite's row.
        if (!partsReady)
            continue;
        parts.bindValue(QStringLiteral(":id"), hits.value(columns.id).toString());
        if (!parts.exec())
            continue;
        for (int k = 1; parts.next(); ++k) {
            auto q = questionFromRow(parts, columns, true);
            q->number = row + 1;
            q->leafNo = k;
            add(std::move(q));
        }
    }
    return results;
}
