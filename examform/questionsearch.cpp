#include "questionsearch.h"

#include "titleindex.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSqlError>
#include <QSqlRecord>
#include <QVariant>
#include <algorithm>

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
    q->title = ExamQuestion::stemOf(q->type, isPart, row.value(c.title).toString(),
                                    row.value(c.titleImage).toString());
    if (q->type != ExamQuestion::Essay) {
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

// Without the index, rows are searched in slices of this many row ids, so
// that the time between two looks at the clock stays a few milliseconds on any
// bank; the index's candidates are read in batches of this many.
constexpr qint64 sliceRows = 8192;
constexpr int indexBatch = 512;
// In type order smaller batches: between two rows the index may pass over
// many that are no candidates, and the first block waits for one batch.
constexpr int typeOrderBatch = 128;
// Composites listed as their parts at a time, each a query of its own.
constexpr int compositesPerBatch = 64;
// Candidates read in type order cost a pass over the index of the top-level
// questions (the first block waits at worst for all of it); read at once and
// sorted, each costs a row read, some twenty times one entry of that pass.
// From one candidate in this many rows on, type order is the smaller wait.
constexpr qint64 typeOrderShare = 20;

// SQLite's storage class of a value as the driver hands it over: NULL,
// number, text or blob, in the order SQLite sorts them.
int storageClass(const QVariant &value)
{
    if (value.isNull())
        return 0;
    switch (value.type()) {
    case QVariant::String: return 2;
    case QVariant::ByteArray: return 3;
    default: return 1;
    }
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

QString QuestionSearch::keywordProblem(const QString &keyword)
{
    if (keyword.size() > maxKeywordLength)
        return QStringLiteral("关键字太长：最多 %1 个字符。").arg(maxKeywordLength);
    for (int i = 0; i < keyword.size(); ++i) {
        const QChar c = keyword.at(i);
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("关键字中不能含有控制字符。");
        if (c.isHighSurrogate() && i + 1 < keyword.size() && keyword.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate())
            return QStringLiteral("关键字中含有无法识别的字符。");
    }
    return QString();
}

QuestionSearch::QuestionSearch(QSqlDatabase db, const QString &keyword, const SubjectScope &scope,
                               IndexUse indexUse)
    : m_db(db), m_keyword(keyword), m_scope(scope), m_next(db), m_slice(db), m_parts(db)
{
    const QString problem = keyword.isEmpty() ? QStringLiteral("请输入关键字。") : keywordProblem(keyword);
    if (!problem.isEmpty()) {
        m_status = Status::Failed;
        m_error = problem;
        return;
    }
    m_indexUse = indexUse;
    m_useIndex = indexUse != IndexUse::Never && TitleIndex::usable(db);
}

QuestionSearch::Status QuestionSearch::fail(const QSqlQuery &query)
{
    m_status = Status::Failed;
    m_error = query.lastError().text().trimmed();
    if (m_error.isEmpty())
        m_error = QStringLiteral("数据库没有完成这次检索。");
    m_topLevel.clear();
    m_hits.clear();
    m_slice.finish();
    return m_status;
}

bool QuestionSearch::prepare()
{
    m_prepared = true;
    findNoteHits();
    QSqlQuery range(m_db);
    // Each bound alone, so that SQLite reads it from the end of the table.
    if (!range.exec(QStringLiteral("select (select min(rowid) from exam_question), "
                                   "(select max(rowid) from exam_question)"))
        || !range.next()) {
        fail(range);
        return false;
    }
    m_nextRowid = range.value(0).toLongLong();
    m_endRowid = range.isNull(1) ? m_nextRowid : range.value(1).toLongLong() + 1;

    m_slice.setForwardOnly(true);
    // The index names candidates, and the rows changed since it last caught
    // up are candidates from its queue instead; LIKE still decides, so the
    // hits are those of the scan.
    const QString candidates = QStringLiteral("select f.rowid as candidate from %1 f where %1 match :phrase "
                                              "and f.rowid not in (select questionRowid from %2) "
                                              "union all select questionRowid from %2")
                                   .arg(TitleIndex::table, TitleIndex::queue);
    if (m_useIndex) {
        m_inTypeOrder = m_indexUse == IndexUse::InTypeOrder;
        const qint64 enough = std::max<qint64>(1, (m_endRowid - m_nextRowid) / typeOrderShare);
        if (m_indexUse == IndexUse::WhenPossible && !manyCandidates(candidates, enough, m_inTypeOrder))
            return false;
    }
    QString sql;
    if (m_inTypeOrder) {
        // The top-level questions in type order (idx_question_toplevel_type),
        // each looked at only when it is a candidate: no sort, and rows come
        // as they are found.
        sql = QStringLiteral("select q.rowid, q.questionTypeid from exam_question q where q.relationship='' "
                             "and q.rowid in (%1) and q.title LIKE :pattern ESCAPE '\\'")
                  .arg(candidates)
            + m_scope.andClause(QStringLiteral("q.subjectid"))
            + QStringLiteral(" order by q.questionTypeid, q.rowid");
    } else if (m_useIndex) {
        sql = QStringLiteral("select q.rowid, q.questionTypeid from (%1) c "
                             "cross join exam_question q on q.rowid = c.candidate "
                             "where q.relationship='' and q.title LIKE :pattern ESCAPE '\\'")
                  .arg(candidates)
            + m_scope.andClause(QStringLiteral("q.subjectid"));
    } else {
        sql = QStringLiteral("select rowid, questionTypeid from exam_question "
                             "where rowid >= :from and rowid < :to and relationship='' "
                             "and title LIKE :pattern ESCAPE '\\'")
            + m_scope.andClause(QStringLiteral("subjectid"));
    }
    m_parts.setForwardOnly(true);
    if (!m_slice.prepare(sql)) {
        fail(m_slice);
        return false;
    }
    m_next.setForwardOnly(true);
    if (!m_next.prepare(QStringLiteral("select rowid from exam_question where rowid >= :from order by rowid limit 1"))) {
        fail(m_next);
        return false;
    }
    if (!m_parts.prepare(QStringLiteral("select rowid from exam_question where relationship="
                                        "(select id from exam_question where rowid=:composite) order by rowid"))) {
        fail(m_parts);
        return false;
    }
    m_slice.bindValue(QStringLiteral(":pattern"), containsPattern(m_keyword));
    if (m_useIndex)
        m_slice.bindValue(QStringLiteral(":phrase"), TitleIndex::matchQuery(m_keyword));
    m_scope.bind(m_slice);
    return true;
}

bool QuestionSearch::manyCandidates(const QString &candidates, qint64 enough, bool &many)
{
    QSqlQuery count(m_db);
    count.setForwardOnly(true);
    // Counted only as far as the choice needs.
    if (!count.prepare(QStringLiteral("select count(*) from (%1 limit %2)").arg(candidates).arg(enough))) {
        fail(count);
        return false;
    }
    count.bindValue(QStringLiteral(":phrase"), TitleIndex::matchQuery(m_keyword));
    if (!count.exec() || !count.next()) {
        fail(count);
        return false;
    }
    many = count.value(0).toLongLong() >= enough;
    return true;
}

void QuestionSearch::takeCandidate()
{
    TopLevelHit hit;
    hit.rowid = m_slice.value(0).toLongLong();
    const QVariant type = m_slice.value(1);
    hit.composite = type.toInt() == ExamQuestion::Composite;
    hit.typeClass = storageClass(type);
    if (hit.typeClass == 1)
        hit.typeNumber = type.toDouble();
    else if (hit.typeClass > 1)
        hit.typeText = type.type() == QVariant::ByteArray ? type.toByteArray() : type.toString().toUtf8();
    m_topLevel.push_back(std::move(hit));
}

bool QuestionSearch::searchSlice()
{
    if (m_useIndex) {
        // The index hands its candidates over one by one, however many they
        // are: one statement, read a batch at a time.
        if (!m_slice.isActive() && !m_slice.exec()) {
            fail(m_slice);
            return false;
        }
        for (int n = 0; n < indexBatch; ++n) {
            if (!m_slice.next()) {
                m_slice.finish();
                m_nextRowid = m_endRowid;
                break;
            }
            takeCandidate();
        }
    } else {
        // Row ids need not be dense: a slice starts at the next row there is.
        m_next.bindValue(QStringLiteral(":from"), m_nextRowid);
        if (!m_next.exec()) {
            fail(m_next);
            return false;
        }
        m_nextRowid = m_next.next() ? m_next.value(0).toLongLong() : m_endRowid;
        m_next.finish();
        const qint64 to = std::min(m_endRowid, m_nextRowid + sliceRows);
        m_slice.bindValue(QStringLiteral(":from"), m_nextRowid);
        m_slice.bindValue(QStringLiteral(":to"), to);
        if (!m_slice.exec()) {
            fail(m_slice);
            return false;
        }
        while (m_slice.next())
            takeCandidate();
        m_slice.finish();
        m_nextRowid = to;
    }
    if (m_nextRowid < m_endRowid)
        return true;
    // All candidates are in: the designed "ORDER BY questionTypeid", ties in row order.
    std::sort(m_topLevel.begin(), m_topLevel.end(), [](const TopLevelHit &a, const TopLevelHit &b) {
        if (a.typeClass != b.typeClass)
            return a.typeClass < b.typeClass;
        if (a.typeClass == 1 && a.typeNumber != b.typeNumber)
            return a.typeNumber < b.typeNumber;
        if (a.typeClass > 1 && a.typeText != b.typeText)
            return a.typeText < b.typeText;
        return a.rowid < b.rowid;
    });
    return true;
}

bool QuestionSearch::readInTypeOrder()
{
    if (!m_slice.isActive() && !m_slice.exec()) {
        fail(m_slice);
        return false;
    }
    for (int n = 0; n < typeOrderBatch; ++n) {
        if (!m_slice.next()) {
            if (m_slice.lastError().isValid()) {
                fail(m_slice);
                return false;
            }
            m_slice.finish();
            m_nextRowid = m_endRowid;
            return true;
        }
        const bool composite = m_slice.value(1).toInt() == ExamQuestion::Composite;
        if (!addTopLevel(m_slice.value(0).toLongLong(), composite))
            return false;
    }
    return true;
}

bool QuestionSearch::expandHits()
{
    // Plain hits cost nothing more; each composite costs a query.
    for (int composites = 0; m_expanded < m_topLevel.size() && composites < compositesPerBatch;) {
        const TopLevelHit &hit = m_topLevel[m_expanded++];
        if (!addTopLevel(hit.rowid, hit.composite))
            return false;
        composites += hit.composite ? 1 : 0;
    }
    return true;
}

bool QuestionSearch::addTopLevel(qint64 rowid, bool composite)
{
    const int position = ++m_topLevelListed;
    if (!composite) {
        addHit({rowid, m_nextNumber++, 0});
        return true;
    }
    // A composite is listed as its parts, numbered by the composite's position.
    m_parts.bindValue(QStringLiteral(":composite"), rowid);
    if (!m_parts.exec()) {
        fail(m_parts);
        return false;
    }
    for (int k = 1; m_parts.next(); ++k)
        addHit({m_parts.value(0).toLongLong(), position, k});
    m_parts.finish();
    return true;
}

void QuestionSearch::addHit(const SearchHit &hit)
{
    m_hits.append(hit);
    const auto note = m_noteRows.find(hit.rowid);
    if (note != m_noteRows.end()) {
        m_hits.last().inNote = true;
        *note = false;
    }
}

QuestionSearch::Status QuestionSearch::step(int budgetMs)
{
    QElapsedTimer clock;
    clock.start();
    if (m_status == Status::Running && !m_prepared && !prepare())
        return m_status;
    while (m_status == Status::Running) {
        if (m_nextRowid < m_endRowid) {
            if (!(m_inTypeOrder ? readInTypeOrder() : searchSlice()))
                break;
        } else if (m_expanded < m_topLevel.size()) {
            if (!expandHits())
                break;
        }
        // The step that finds the last hit ends the search: a caller knows the
        // count as soon as it is final.
        if (m_nextRowid >= m_endRowid && m_expanded >= m_topLevel.size()) {
            addNoteHits();
            m_status = Status::Done;
            m_topLevel.clear();
            m_topLevel.shrink_to_fit();
            break;
        }
        if (budgetMs >= 0 && clock.elapsed() >= budgetMs)
            break;
    }
    return m_status;
}

void QuestionSearch::findNoteHits()
{
    QSqlQuery notes(m_db);
    notes.setForwardOnly(true);
    if (!notes.prepare(QStringLiteral("select q.rowid, ifnull(q.relationship,'') from question_note n "
                                      "join exam_question q on q.id=n.questionId "
                                      "where n.note LIKE :pattern ESCAPE '\\'")
                       + m_scope.andClause(QStringLiteral("n.subjectid"))
                       + QStringLiteral(" order by n.changedAt desc, q.rowid")))
        return;
    notes.bindValue(QStringLiteral(":pattern"), containsPattern(m_keyword));
    m_scope.bind(notes);
    if (!notes.exec())
        return;
    while (notes.next()) {
        const NoteHit hit{notes.value(0).toLongLong(), !notes.value(1).toString().isEmpty()};
        m_noteHits.append(hit);
        m_noteRows.insert(hit.rowid, true);
    }
}

void QuestionSearch::addNoteHits()
{
    for (const NoteHit &note : qAsConst(m_noteHits)) {
        const auto pending = m_noteRows.find(note.rowid);
        if (!*pending)
            continue;
        *pending = false;
        // A part found by its note shows as the first part of its own number.
        m_hits.append({note.rowid, m_nextNumber++, note.part ? 1 : 0, true});
    }
}

QuestionSearch::Status QuestionSearch::finish()
{
    return step(-1);
}

std::vector<std::unique_ptr<ExamQuestion>> QuestionSearch::render(int from, int to, int renderMode,
                                                                  const QString &appDirSlash) const
{
    std::vector<std::unique_ptr<ExamQuestion>> questions;
    from = std::max(from, 0);
    to = std::min(to, m_hits.size());
    if (from >= to)
        return questions;
    QSqlQuery row(m_db);
    row.setForwardOnly(true);
    if (!row.prepare(QStringLiteral("select * from exam_question where rowid=:rowid")))
        return questions;
    std::unique_ptr<QuestionColumns> columns;
    questions.reserve(static_cast<size_t>(to - from));
    for (int i = from; i < to; ++i) {
        const SearchHit &hit = m_hits.at(i);
        row.bindValue(QStringLiteral(":rowid"), hit.rowid);
        if (!row.exec() || !row.next())
            continue;
        if (!columns)
            columns = std::make_unique<QuestionColumns>(row.record());
        auto q = questionFromRow(row, *columns, hit.leafNo > 0);
        q->seq = i + 1;
        q->number = hit.number;
        q->leafNo = hit.leafNo;
        q->renderSearch(renderMode, appDirSlash, m_keyword);
        if (hit.inNote)
            q->html.prepend(QStringLiteral("<span class=\"note_hit\">笔记中有“") + m_keyword.toHtmlEscaped()
                            + QStringLiteral("”</span>"));
        questions.push_back(std::move(q));
        row.finish();
    }
    return questions;
}

std::unique_ptr<ExamPaper> QuestionSearch::run(QSqlDatabase db, const QString &keyword, int renderMode,
                                               const QString &appDirSlash, const SubjectScope &scope)
{
    auto results = std::make_unique<ExamPaper>();
    QuestionSearch search(db, keyword, scope);
    if (search.finish() != Status::Done)
        return results;
    for (auto &q : search.render(0, search.hits().size(), renderMode, appDirSlash)) {
        results->addQuestion(std::move(q));
        ++results->questionCount;
        ++results->askCount;
    }
    return results;
}
