#include "paperloader.h"

#include "questionidlist.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QHash>
#include <QSet>
#include <QSqlRecord>

namespace {

const char *const questionByIdSql = "Select * from exam_question where id=:id ";
const char *const relatedByIdSql = "select title,titleImage from exam_question where id=:id";
const char *const formalPaperSql =
    "select a.*,b.answers from exam_paper a LEFT JOIN exam_answer b on a.id=b.paperId where a.id=:id";
const char *const sectionsSql =
    "select a.*,b.name as bname from exam_paper_static a, exam_dic_fuleixing b "
    "where a.fuleixingid=b.id AND a.paperId=:paperId order by a.sequence";
const char *const wrongQuestionsSql =
    "select a.*,b.titleImage as btitleImage, b.title as btitle from exam_question a "
    "LEFT JOIN exam_question b on a.parentid=b.id where a.id in (select questionId from "
    "error_answer where  examid =:examid and  fuleixingid= :fuleixingid) order by a.parentId,a.id";
const char *const categorySql = "SELECT * from exam_dic_fuleixing where id =:id";
const char *const partsSql =
    "select * from exam_question where relationship=:id and ifnull(relationship,'')<>'' order by sortNo, id";
const char *const favouriteQuestionsSql =
    "SELECT * from exam_question WHERE id in (SELECT questionId from exam_Collect where fuleixingid=:id)";

QString text(const QSqlRecord &row, const char *column)
{
    return row.value(QLatin1String(column)).toString();
}

int number(const QSqlRecord &row, const char *column)
{
    return row.value(QLatin1String(column)).toInt();
}

// The bank stores marks in single precision.
double single(const QSqlRecord &row, const char *column)
{
    return static_cast<double>(row.value(QLatin1String(column)).toFloat());
}

bool runBound(QSqlQuery &query, const QString &sql, const QVariantMap &values)
{
    if (!query.prepare(sql))
        return false;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        query.bindValue(it.key(), it.value());
    return query.exec();
}

// Section fields shared by the formal paper and the wrong-question practice.
void fillPaperSection(PaperSection &section, const QSqlRecord &row, int rowNumber)
{
    section.id = text(row, "id");
    section.plainId = QString(section.id).remove(QLatin1Char('-'));
    section.captionName = text(row, "captionName");
    section.questionTypeid = text(row, "questionTypeid");
    section.questionTypeId = number(row, "questionTypeId");
    section.fuleixingid = text(row, "fuleixingid");
    section.sequence = number(row, "sequence");
    section.bname = text(row, "bname");
    section.row = rowNumber;
    section.isselect = number(row, "isselect");
    section.chosen = false;
}

// A practice section that holds one question category.
void fillCategorySection(PaperSection &section, const QSqlRecord &row, int rowNumber)
{
    section.id = text(row, "id");
    section.plainId = QString(section.id).remove(QLatin1Char('-'));
    section.captionName = text(row, "name");
    section.questionTypeid = text(row, "questionTypeId");
    section.questionTypeId = number(row, "questionTypeId");
    section.fuleixingid = section.id;
    section.sequence = 0;
    section.bname = text(row, "name");
    section.isselect = 0;
    section.row = rowNumber;
    section.chosen = false;
}

QString withBreak(const QString &option, bool onlyAfterText)
{
    if (onlyAfterText && option.endsWith(QLatin1Char('>')))
        return option;
    return option + QStringLiteral("<br/>");
}

} // namespace

PaperLoader::PaperLoader(QSqlDatabase db, int mode, const QString &appDirSlash, const SubjectScope &scope)
    : m_db(db)
    , m_mode(mode)
    , m_appDirSlash(appDirSlash)
    , m_scope(scope)
    , m_questionById(db)
    , m_relatedById(db)
{
}

std::unique_ptr<ExamPaper> PaperLoader::load(const QString &id)
{
    switch (m_mode) {
    case 0:
        if (id.isEmpty())
            return nullptr;
        return loadFormalPaper(id);
    case 3: {
        QString title;
        QStringList ids;
        if (readQuestionListKey(id, &title, &ids))
            return loadQuestionList(title, ids);
        return loadWrongPractice(id);
    }
    case 5:
        return loadFavourites(id);
    default:
        return nullptr;
    }
}

QString PaperLoader::practicePaperId(const QString &practiceKey)
{
    const QJsonDocument document = QJsonDocument::fromJson(practiceKey.trimmed().toUtf8());
    if (!document.isArray())
        return practiceKey;
    const QJsonValue paperid = document.array().at(0).toObject().value(QStringLiteral("paperid"));
    if (paperid.isString())
        return paperid.toString();
    if (paperid.isDouble())
        return QString::number(paperid.toDouble(), 'g', 17);
    return practiceKey;
}

QString PaperLoader::questionListKey(const QString &title, const QStringList &ids)
{
    QJsonObject key;
    key.insert(QStringLiteral("title"), title);
    key.insert(QStringLiteral("ids"), QJsonArray::fromStringList(ids));
    return QString::fromUtf8(QJsonDocument(key).toJson(QJsonDocument::Compact));
}

bool PaperLoader::readQuestionListKey(const QString &key, QString *title, QStringList *ids)
{
    const QJsonDocument document = QJsonDocument::fromJson(key.trimmed().toUtf8());
    const QJsonValue list = document.object().value(QStringLiteral("ids"));
    if (!document.isObject() || !list.isArray())
        return false;
    *title = document.object().value(QStringLiteral("title")).toString();
    ids->clear();
    for (const QJsonValue &id : list.toArray()) {
        if (id.isString())
            ids->append(id.toString());
    }
    return true;
}

bool PaperLoader::selectQuestion(const QString &qid)
{
    if (!m_questionPrepared)
        m_questionPrepared = m_questionById.prepare(QLatin1String(questionByIdSql));
    if (!m_questionPrepared)
        return false;
    m_questionById.bindValue(QStringLiteral(":id"), qid);
    return m_questionById.exec() && m_questionById.next();
}

QString PaperLoader::relatedTitle(const QString &relatedId)
{
    if (!m_relatedPrepared)
        m_relatedPrepared = m_relatedById.prepare(QLatin1String(relatedByIdSql));
    if (!m_relatedPrepared)
        return QString();
    m_relatedById.bindValue(QStringLiteral(":id"), relatedId);
    if (!m_relatedById.exec() || !m_relatedById.next())
        return QString();
    const QString title = m_relatedById.value(0).toString();
    m_relatedById.finish();
    return title;
}

void PaperLoader::fillQuestion(ExamQuestion &question, const QSqlRecord &row, RowKind kind) const
{
    question.type = number(row, "questionTypeid");
    question.title = ExamQuestion::stemOf(question.type,
                                          kind == RowKind::FormalLeaf || !text(row, "relationship").isEmpty(),
                                          text(row, "title"), text(row, "titleImage"));
    if (question.type != 5) {
        const bool leaf = kind == RowKind::FormalLeaf;
        question.option1 = withBreak(text(row, "option1"), leaf);
        question.option2 = withBreak(text(row, "option2"), leaf);
        question.option3 = withBreak(text(row, "option3"), leaf);
        question.option4 = withBreak(text(row, "option4"), leaf);
        question.option5 = withBreak(text(row, "option5"), leaf);
    }
    question.id = text(row, "id");
    question.questionTypeid = text(row, "questionTypeid");
    question.chapterId = text(row, "chapterId");
    question.answer = text(row, "answer");
    question.optionLength = number(row, "optionLength");
    question.analysis = text(row, "analysis");
    question.cent = single(row, "cent");
    question.difficulty = single(row, "difficulty");
    question.source = text(row, "source");
    question.level = number(row, "level");
    question.questionYear = text(row, "questionYear");
    question.layout = number(row, "layout");
    question.grade = number(row, "grade");
    question.parentId = text(row, "parentId");
    question.isCollect = number(row, "isCollect") != 0;
    if (kind != RowKind::Practice) {
        question.fuleixingid = text(row, "fuleixingid");
        question.sortNo = number(row, "sortNo");
        question.video = text(row, "video").trimmed();
    }
    if (kind == RowKind::FormalLeaf)
        question.material = text(row, "title");
    question.status = 2;
    question.answered = false;
    question.marked = false;
    question.userAnswer.clear();
    question.score = 0;
}

std::unique_ptr<ExamPaper> PaperLoader::loadFormalPaper(const QString &paperId)
{
    auto paper = std::make_unique<ExamPaper>();
    paper->id = paperId;

    QSqlQuery paperRow(m_db);
    if (runBound(paperRow, QLatin1String(formalPaperSql), {{QStringLiteral(":id"), paperId}})
        && paperRow.next()) {
        const QSqlRecord row = paperRow.record();
        paper->name = text(row, "name");
        paper->asname = text(row, "asname");
        paper->subjectId = text(row, "subjectId");
        paper->totalCent = single(row, "totalCent");
        paper->passCent = single(row, "passCent");
        paper->examTime = number(row, "examTime");
        paper->xzremark = text(row, "xzremark");
        paper->xzcount = number(row, "xzcount");
    }
    paper->allCount = 0;

    QSqlQuery sectionRows(m_db);
    if (!runBound(sectionRows, QLatin1String(sectionsSql),
                  {{QStringLiteral(":paperId"), paperId}}))
        return paper;

    int seq = 1;
    int displayNumber = 1;
    for (int rowNumber = 0; sectionRows.next(); ++rowNumber) {
        const QSqlRecord row = sectionRows.record();
        PaperSection *section = paper->addSection(std::make_unique<PaperSection>());
        fillPaperSection(*section, row, rowNumber);
        section->questionIds = text(row, "questionIds");
        section->quantity = number(row, "quantity");
        section->mark = row.value(QStringLiteral("mark")).toDouble();
        section->firstSeq = seq;

        int entries = 0;
        for (const QuestionIdEntry &entry : QuestionIdList::parse(section->questionIds)) {
            auto question = std::make_unique<ExamQuestion>();
            if (selectQuestion(entry.qid))
                fillQuestion(*question, m_questionById.record(), RowKind::FormalTop);
            m_questionById.finish();
            question->seq = seq;
            question->number = displayNumber;
            question->leafNo = 0;
            question->render(m_mode, m_appDirSlash, QString());
            const bool composite = question->type == 6;
            paper->addQuestion(std::move(question));
            paper->questionCount += 1;

            if (composite && !entry.leafIds.isEmpty()) {
                const int leafCount = entry.leafIds.size();
                for (int k = 0; k < leafCount; ++k) {
                    auto leaf = std::make_unique<ExamQuestion>();
                    if (selectQuestion(entry.leafIds.at(k)))
                        fillQuestion(*leaf, m_questionById.record(), RowKind::FormalLeaf);
                    m_questionById.finish();
                    leaf->seq = seq + 1 + k;
                    leaf->number = displayNumber;
                    leaf->leafNo = k + 1;
                    leaf->renderLeaf(m_mode, m_appDirSlash, QString());
                    paper->askCount += 1;
                    paper->addQuestion(std::move(leaf));
                }
                entries += 1 + leafCount;
                seq += 1 + leafCount;
            } else {
                // A composite without leaves still occupies its entry but asks nothing.
                if (!composite)
                    paper->askCount += 1;
                entries += 1;
                seq += 1;
            }
            displayNumber += 1;
        }
        section->entryCount = entries;
        section->lastSeq = seq - 1;
    }
    return paper;
}

void PaperLoader::loadPracticeQuestions(ExamPaper &paper, PaperSection &section, const QString &sql,
                                        const QVariantMap &values, int &seq, int &number)
{
    QSqlQuery rows(m_db);
    if (!runBound(rows, sql, values)) {
        section.firstSeq = seq;
        section.lastSeq = seq - 1;
        return;
    }
    section.entryCount = 0;
    section.mark = 0;
    section.firstSeq = seq;
    while (rows.next())
        appendPracticeQuestion(paper, section, rows.record(), seq, number);
    section.quantity = section.entryCount;
    paper.passCent = paper.totalCent;
    section.lastSeq = seq - 1;
}

void PaperLoader::appendPracticeQuestion(ExamPaper &paper, PaperSection &section, const QSqlRecord &row,
                                         int &seq, int &number)
{
    auto question = std::make_unique<ExamQuestion>();
    fillQuestion(*question, row, RowKind::Practice);
    question->material = relatedTitle(text(row, "relationship"));
    question->fuleixingid = section.fuleixingid;
    question->seq = seq;
    question->number = number;
    question->leafNo = 0;
    question->render(m_mode, m_appDirSlash, QString());
    paper.totalCent += question->cent;
    section.mark += question->cent;
    paper.addQuestion(std::move(question));
    section.entryCount += 1;
    seq += 1;
    number += 1;
}

std::unique_ptr<ExamPaper> PaperLoader::loadWrongPractice(const QString &paperId)
{
    auto paper = std::make_unique<ExamPaper>();
    paper->id = paperId;
    paper->name = paper->asname = QStringLiteral("错题练习");

    QSqlQuery sectionRows(m_db);
    if (!runBound(sectionRows, QLatin1String(sectionsSql),
                  {{QStringLiteral(":paperId"), paperId}}))
        return paper;

    int seq = 1;
    int displayNumber = 1;
    QSet<QString> loadedCategories;
    for (int rowNumber = 0; sectionRows.next(); ++rowNumber) {
        const QSqlRecord row = sectionRows.record();
        if (rowNumber == 0)
            paper->subjectId = text(row, "subjectid");
        PaperSection *section = paper->addSection(std::make_unique<PaperSection>());
        fillPaperSection(*section, row, rowNumber);

        // The book files questions by category: a paper with two sections of
        // one category lists them under the first, not twice.
        if (loadedCategories.contains(section->fuleixingid)) {
            section->firstSeq = seq;
            section->lastSeq = seq - 1;
            continue;
        }
        loadedCategories.insert(section->fuleixingid);
        loadPracticeQuestions(*paper, *section, QLatin1String(wrongQuestionsSql),
                              {{QStringLiteral(":examid"), paperId},
                               {QStringLiteral(":fuleixingid"), section->fuleixingid}},
                              seq, displayNumber);
    }
    return paper;
}

std::unique_ptr<ExamPaper> PaperLoader::loadFavourites(const QString &categoryId)
{
    auto paper = std::make_unique<ExamPaper>();
    paper->id = categoryId;
    paper->name = paper->asname = QStringLiteral("收藏题练习");

    QSqlQuery categoryRows(m_db);
    if (!runBound(categoryRows, QLatin1String(categorySql), {{QStringLiteral(":id"), categoryId}}))
        return paper;

    int seq = 1;
    int displayNumber = 1;
    for (int rowNumber = 0; categoryRows.next(); ++rowNumber) {
        const QSqlRecord row = categoryRows.record();
        if (rowNumber == 0)
            paper->subjectId = text(row, "subjectid");
        PaperSection *section = paper->addSection(std::make_unique<PaperSection>());
        fillCategorySection(*section, row, rowNumber);

        // A category that no subject owns may hold favourites of several.
        QVariantMap values{{QStringLiteral(":id"), categoryId}};
        if (m_scope.filters())
            values.insert(QStringLiteral(":subject"), m_scope.subjectId());
        loadPracticeQuestions(*paper, *section,
                              QLatin1String(favouriteQuestionsSql) + m_scope.andClause(QStringLiteral("subjectid")),
                              values, seq, displayNumber);
    }
    return paper;
}

QVector<QSqlRecord> PaperLoader::questionListRows(const QStringList &ids)
{
    QVector<QSqlRecord> rows;
    QSet<QString> taken;
    auto take = [&](const QSqlRecord &row) {
        const QString id = text(row, "id");
        if (!taken.contains(id)) {
            taken.insert(id);
            rows << row;
        }
    };
    for (const QString &id : ids) {
        if (taken.contains(id) || !selectQuestion(id))
            continue;
        const QSqlRecord row = m_questionById.record();
        m_questionById.finish();
        if (number(row, "questionTypeid") != ExamQuestion::Composite) {
            take(row);
            continue;
        }
        taken.insert(id);
        QSqlQuery parts(m_db);
        if (runBound(parts, QLatin1String(partsSql), {{QStringLiteral(":id"), id}})) {
            while (parts.next())
                take(parts.record());
        }
    }
    return rows;
}

std::unique_ptr<ExamPaper> PaperLoader::loadQuestionList(const QString &title, const QStringList &ids)
{
    auto paper = std::make_unique<ExamPaper>();
    paper->id = questionListKey(title, ids);
    paper->name = paper->asname = title;

    QStringList categories;
    QHash<QString, QVector<QSqlRecord>> byCategory;
    for (const QSqlRecord &row : questionListRows(ids)) {
        const QString category = text(row, "fuleixingid");
        if (!byCategory.contains(category))
            categories << category;
        byCategory[category] << row;
    }

    int seq = 1;
    int displayNumber = 1;
    for (int rowNumber = 0; rowNumber < categories.size(); ++rowNumber) {
        const QString &category = categories.at(rowNumber);
        PaperSection *section = paper->addSection(std::make_unique<PaperSection>());
        QSqlQuery categoryRow(m_db);
        if (runBound(categoryRow, QLatin1String(categorySql), {{QStringLiteral(":id"), category}})
            && categoryRow.next()) {
            fillCategorySection(*section, categoryRow.record(), rowNumber);
            if (paper->subjectId.isEmpty())
                paper->subjectId = text(categoryRow.record(), "subjectid");
        } else {
            // A question whose category the dictionary lacks still gets asked.
            section->id = section->fuleixingid = category;
            section->plainId = QString(category).remove(QLatin1Char('-'));
            section->row = rowNumber;
        }
        section->firstSeq = seq;
        for (const QSqlRecord &row : byCategory.value(category))
            appendPracticeQuestion(*paper, *section, row, seq, displayNumber);
        section->quantity = section->entryCount;
        section->lastSeq = seq - 1;
    }
    paper->passCent = paper->totalCent;
    return paper;
}
