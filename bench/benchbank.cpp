#include "benchbank.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

// Sentence pieces from which stems, options and explanations are put together;
// none of them contains the keyword.
const char *const subjects[] = {
    "在某单位的信息系统建设中，", "根据现行的安全生产管理规定，", "某企业在年度检查时发现，",
    "在计算机网络的日常维护中，", "按照操作规程的要求，", "某项目组在需求分析阶段，",
    "对于一台新购置的办公电脑，", "在数据库的备份与恢复工作中，"};
const char *const middles[] = {
    "技术人员需要对设备的运行状态进行记录", "管理人员应当组织有关人员开展培训",
    "相关负责人对存在的问题提出了整改意见", "工作人员按照流程完成了各项准备",
    "检查组对现场的防护措施逐项核对", "操作员在交接班时核对了全部参数"};
const char *const endings[] = {
    "，下列说法中正确的是（　　）。", "，以下做法符合要求的是（　　）。",
    "，其中最主要的依据是（　　）。", "，应当优先采取的措施是（　　）。"};
const char *const optionTexts[] = {
    "立即停止作业并向负责人报告", "按照既定方案继续执行", "记录在案后择期处理",
    "由现场人员自行决定处理方式", "提交书面材料并等待审批", "更换全部相关设备",
    "组织专项检查并限期整改", "暂不处理，待下次检查时复核"};

// A small deterministic generator, so that every run builds the same bank.
class Sequence
{
public:
    explicit Sequence(unsigned seed) : m_state(seed) {}
    int next(int bound)
    {
        m_state = m_state * 1103515245u + 12345u;
        return static_cast<int>((m_state >> 8) % static_cast<unsigned>(bound));
    }

private:
    unsigned m_state;
};

template <typename T, int N>
constexpr int countOf(T (&)[N]) { return N; }

QString stem(int index, Sequence &pick, bool withKeyword, bool withRareKeyword = false, bool withSparseWord = false)
{
    QString text = QString::fromUtf8(subjects[pick.next(countOf(subjects))]);
    text += QString::fromUtf8(middles[pick.next(countOf(middles))]);
    if (withKeyword)
        text += QStringLiteral("，并对") + BenchBank::keyword() + QStringLiteral("的结果进行了复核");
    if (withRareKeyword)
        text += QStringLiteral("，记录中有") + BenchBank::rareKeyword() + QStringLiteral("一项");
    if (withSparseWord)
        text += QStringLiteral("，另见") + BenchBank::sparseWord();
    text += QStringLiteral("（第%1题）").arg(index + 1);
    text += QString::fromUtf8(endings[pick.next(countOf(endings))]);
    return text;
}

QString explanation(Sequence &pick)
{
    return QStringLiteral("本题考查") + QString::fromUtf8(middles[pick.next(countOf(middles))])
        + QStringLiteral("的要求。") + QString::fromUtf8(subjects[pick.next(countOf(subjects))])
        + QString::fromUtf8(optionTexts[pick.next(countOf(optionTexts))])
        + QStringLiteral("是正确的做法，其余选项均不符合规定。");
}

// Plain question types of the pool in turn; slots 9 of every 20 are composites.
int plainType(int index)
{
    static const int cycle[10] = {1, 1, 1, 2, 2, 3, 3, 4, 5, 1};
    return cycle[index % 10];
}

bool isComposite(int index)
{
    return index % 20 == 9;
}

const char *const insertQuestionSql =
    "insert into exam_question(id,questionTypeid,title,titleImage,option1,option2,option3,option4,"
    "option5,optionLength,answer,analysis,cent,difficulty,source,level,questionYear,layout,grade,"
    "chapterId,parentId,relationship,fuleixingid,sortNo,video,isCollect) values(:id,:type,:title,"
    ":titleImage,:o1,:o2,:o3,:o4,:o5,:optionLength,:answer,:analysis,:cent,:difficulty,:source,"
    ":level,:year,:layout,:grade,:chapter,:parent,:relationship,:category,:sortNo,'',0)";

} // namespace

struct BenchBank::Pending
{
    QString id;
    int type = 1;
    QString title;
    QString parent;
    int sortNo = 0;
};

BenchBank::Shape BenchBank::fullShape()
{
    return Shape();
}

BenchBank::Shape BenchBank::smokeShape()
{
    Shape shape;
    shape.singles = 4;
    shape.multiples = 2;
    shape.trueFalse = 2;
    shape.fillIns = 2;
    shape.essays = 1;
    shape.composites = 2;
    shape.partsPerComposite = 3;
    shape.questionRows = 400;
    shape.bookRows = 50;
    return shape;
}

BenchBank::Shape BenchBank::ofSize(int questionRows)
{
    Shape shape;
    shape.questionRows = questionRows;
    return shape;
}

QString BenchBank::paperId()
{
    return QStringLiteral("bp1");
}

QString BenchBank::keyword()
{
    return QStringLiteral("冗余校验");
}

QString BenchBank::rareKeyword()
{
    return QStringLiteral("稀有标记");
}

QString BenchBank::absentKeyword()
{
    return QStringLiteral("量子纠缠");
}

QString BenchBank::sparseWord()
{
    return QStringLiteral("孤例存档");
}

QString BenchBank::commonPair()
{
    return keyword().left(2);
}

QString BenchBank::sparsePair()
{
    return sparseWord().left(2);
}

QString BenchBank::absentPair()
{
    return QStringLiteral("磁暴");
}

bool BenchBank::fail(const QString &what, const QString &detail)
{
    m_error = what + QStringLiteral(": ") + detail;
    return false;
}

bool BenchBank::create(const QString &databasePath, const QString &schemaPath, const Shape &shape)
{
    const QString connection = QStringLiteral("bench_bank_writer");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(databasePath);
        if (!db.open()) {
            fail(QStringLiteral("cannot open ") + databasePath, db.lastError().text());
        } else {
            ok = runSchema(db, schemaPath) && db.transaction() && insertFixedRows(db)
                && insertQuestions(db, shape) && insertPaper(db, shape) && insertBook(db, shape);
            if (ok && !db.commit())
                ok = fail(QStringLiteral("commit"), db.lastError().text());
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return ok;
}

bool BenchBank::runSchema(QSqlDatabase &db, const QString &schemaPath)
{
    QFile file(schemaPath);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read the schema"), schemaPath);
    QString statement;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.trimmed().startsWith(QLatin1String("--")))
            continue;
        statement += line + QLatin1Char('\n');
        if (!line.trimmed().endsWith(QLatin1Char(';')))
            continue;
        QSqlQuery query(db);
        if (!query.exec(statement))
            return fail(QStringLiteral("schema"), query.lastError().text());
        statement.clear();
    }
    return true;
}

bool BenchBank::insertFixedRows(QSqlDatabase &db)
{
    static const char *const categoryNames[] = {"单项选择题", "多项选择题", "判断题",
                                                "填空题", "简答题", "案例分析题"};
    QStringList statements{
        QStringLiteral("insert into t_dic_data(id,dtype,typekey,name) values('sjlx01',2,'sjlx','历年真题')"),
        QStringLiteral("insert into exam_subject(id,name) values('bs1','综合知识')"),
    };
    for (int chapter = 1; chapter <= 5; ++chapter)
        statements << QStringLiteral("insert into exam_chapter(id,subjectid,name,sortNo) values('bc%1','bs1','第%1章',%1)")
                          .arg(chapter);
    for (int type = 1; type <= 6; ++type)
        statements << QStringLiteral("insert into exam_dic_fuleixing(id,name,questionType,questionTypeId,subjectid) "
                                     "values('bf%1','%2',%1,%1,'bs1')")
                          .arg(type)
                          .arg(QString::fromUtf8(categoryNames[type - 1]));
    for (const QString &sql : statements) {
        QSqlQuery query(db);
        if (!query.exec(sql))
            return fail(QStringLiteral("fixed rows"), query.lastError().text());
    }
    return true;
}

bool BenchBank::insertQuestions(QSqlDatabase &db, const Shape &shape)
{
    QSqlQuery insert(db);
    if (!insert.prepare(QLatin1String(insertQuestionSql)))
        return fail(QStringLiteral("prepare question insert"), insert.lastError().text());
    Sequence pick(20261207u);

    auto write = [&](const Pending &q) {
        const int type = q.type;
        const bool choice = type == 1 || type == 2 || type == 3;
        QString titleImage = q.title;
        if (type == 4)
            titleImage = q.title + QStringLiteral("第一空______，第二空______。");
        const int optionCount = type == 3 ? 2 : (choice ? 4 : 0);
        QString options[5];
        if (type == 3) {
            options[0] = QStringLiteral("正确");
            options[1] = QStringLiteral("错误");
        }
        for (int o = 0; choice && type != 3 && o < optionCount; ++o)
            options[o] = QString::fromUtf8(optionTexts[pick.next(countOf(optionTexts))]);
        static const char *const choiceAnswers[] = {"A", "B", "C", "D"};
        QString answer;
        int optionLength = optionCount;
        if (type == 1)
            answer = QLatin1String(choiceAnswers[pick.next(4)]);
        else if (type == 2)
            answer = QStringLiteral("ABD");
        else if (type == 3)
            answer = QLatin1String(choiceAnswers[pick.next(2)]);
        else if (type == 4) {
            answer = QStringLiteral("备份|恢复");
            optionLength = 2;
        } else if (type == 5) {
            answer = QStringLiteral("A");
            optionLength = 1;
        }
        insert.bindValue(QStringLiteral(":id"), q.id);
        insert.bindValue(QStringLiteral(":type"), type);
        insert.bindValue(QStringLiteral(":title"), q.title);
        insert.bindValue(QStringLiteral(":titleImage"), titleImage);
        insert.bindValue(QStringLiteral(":o1"), options[0]);
        insert.bindValue(QStringLiteral(":o2"), options[1]);
        insert.bindValue(QStringLiteral(":o3"), options[2]);
        insert.bindValue(QStringLiteral(":o4"), options[3]);
        insert.bindValue(QStringLiteral(":o5"), options[4]);
        insert.bindValue(QStringLiteral(":optionLength"), optionLength);
        insert.bindValue(QStringLiteral(":answer"), answer);
        insert.bindValue(QStringLiteral(":analysis"), type == 6 ? QString() : explanation(pick));
        insert.bindValue(QStringLiteral(":cent"), type == 6 ? 0.0 : 2.0);
        insert.bindValue(QStringLiteral(":difficulty"), 1.0 + pick.next(3));
        insert.bindValue(QStringLiteral(":source"), QStringLiteral("模拟"));
        insert.bindValue(QStringLiteral(":level"), 1);
        insert.bindValue(QStringLiteral(":year"), QStringLiteral("2026"));
        insert.bindValue(QStringLiteral(":layout"), 0);
        insert.bindValue(QStringLiteral(":grade"), 0);
        insert.bindValue(QStringLiteral(":chapter"), QStringLiteral("bc%1").arg(1 + q.sortNo % 5));
        // Top-level questions carry '' (not NULL) as parent, as the bank does.
        const QString parent = q.parent.isEmpty() ? QStringLiteral("") : q.parent;
        insert.bindValue(QStringLiteral(":parent"), parent);
        insert.bindValue(QStringLiteral(":relationship"), parent);
        insert.bindValue(QStringLiteral(":category"), QStringLiteral("bf%1").arg(q.parent.isEmpty() ? type : 6));
        insert.bindValue(QStringLiteral(":sortNo"), q.sortNo);
        if (!insert.exec())
            return fail(QStringLiteral("question insert"), insert.lastError().text());
        ++m_questionRows;
        return true;
    };

    static const int partTypes[] = {1, 3, 4, 2};
    for (int index = 0; m_questionRows < shape.questionRows; ++index) {
        const bool hit = index % shape.hitStride == 1;
        Pending top;
        top.id = QStringLiteral("bq%1").arg(index + 1, 5, 10, QLatin1Char('0'));
        top.type = isComposite(index) ? 6 : plainType(index);
        top.sortNo = index + 1;
        top.title = stem(index, pick, hit, index % shape.rareStride == 3, index % shape.sparseStride == 5);
        if (top.type == 6)
            top.title = QStringLiteral("阅读下列材料，回答问题。") + top.title
                + QStringLiteral("材料：某单位计划在三个月内完成机房改造，涉及供电、网络、消防和门禁等系统。");
        if (!write(top))
            return false;
        m_idsByType[top.type] << top.id;
        if (hit) {
            ++m_keywordRows;
            m_searchResults += top.type == 6 ? shape.partsPerComposite : 1;
        }
        for (int part = 0; top.type == 6 && part < shape.partsPerComposite; ++part) {
            Pending leaf;
            leaf.id = top.id + QStringLiteral("_%1").arg(part + 1);
            leaf.type = partTypes[part % 4];
            leaf.parent = top.id;
            leaf.sortNo = part + 1;
            leaf.title = stem(index * 10 + part, pick, false);
            if (!write(leaf))
                return false;
            m_partsOf[top.id] << leaf.id;
        }
    }
    return true;
}

bool BenchBank::insertPaper(QSqlDatabase &db, const Shape &shape)
{
    static const char *const captions[] = {"一、单项选择题", "二、多项选择题", "三、判断题",
                                           "四、填空题", "五、简答题", "六、案例分析题"};
    const int sizes[7] = {0, shape.singles, shape.multiples, shape.trueFalse,
                          shape.fillIns, shape.essays, shape.composites};
    double total = 0;
    QSqlQuery section(db);
    section.prepare(QStringLiteral(
        "insert into exam_paper_static(id,paperId,subjectid,sequence,captionName,questionTypeid,"
        "fuleixingid,questionIds,quantity,mark,isselect) values(:id,:paper,'bs1',:sequence,:caption,"
        ":type,:category,:ids,:quantity,:mark,0)"));
    for (int type = 1; type <= 6; ++type) {
        if (m_idsByType[type].size() < sizes[type])
            return fail(QStringLiteral("paper"), QStringLiteral("too few questions of type %1").arg(type));
        QJsonArray ids;
        int answerable = 0;
        for (int i = 0; i < sizes[type]; ++i) {
            const QString qid = m_idsByType[type].at(i);
            QJsonObject entry{{QStringLiteral("qid"), qid}};
            if (type == 6) {
                QJsonArray leaves;
                for (const QString &leaf : m_partsOf.value(qid))
                    leaves.append(QJsonObject{{QStringLiteral("qid"), leaf}});
                entry.insert(QStringLiteral("leaf"), leaves);
                answerable += leaves.size();
                m_paperEntries += 1 + leaves.size();
            } else {
                ++answerable;
                ++m_paperEntries;
            }
            ids.append(entry);
        }
        const double mark = 2.0 * answerable;
        total += mark;
        section.bindValue(QStringLiteral(":id"), QStringLiteral("bp1s%1").arg(type));
        section.bindValue(QStringLiteral(":paper"), paperId());
        section.bindValue(QStringLiteral(":sequence"), type);
        section.bindValue(QStringLiteral(":caption"),
                          QString::fromUtf8(captions[type - 1]) + QStringLiteral("（共%1题）").arg(sizes[type]));
        section.bindValue(QStringLiteral(":type"), type);
        section.bindValue(QStringLiteral(":category"), QStringLiteral("bf%1").arg(type));
        section.bindValue(QStringLiteral(":ids"),
                          QString::fromUtf8(QJsonDocument(ids).toJson(QJsonDocument::Compact)));
        section.bindValue(QStringLiteral(":quantity"), sizes[type]);
        section.bindValue(QStringLiteral(":mark"), mark);
        if (!section.exec())
            return fail(QStringLiteral("section insert"), section.lastError().text());
    }
    QSqlQuery paper(db);
    paper.prepare(QStringLiteral(
        "insert into exam_paper(id,name,asname,subjectId,totalCent,passCent,examTime,xzremark,xzcount,"
        "paperTypeid,sortNo) values(:id,'综合知识模拟试卷','模拟试卷','bs1',:total,:pass,120,'',0,'sjlx01',1)"));
    paper.bindValue(QStringLiteral(":id"), paperId());
    paper.bindValue(QStringLiteral(":total"), total);
    paper.bindValue(QStringLiteral(":pass"), total * 0.6);
    if (!paper.exec())
        return fail(QStringLiteral("paper insert"), paper.lastError().text());
    return true;
}

bool BenchBank::insertBook(QSqlDatabase &db, const Shape &shape)
{
    // The newest pool questions: none of them is in the paper, whose hand-in
    // moves and removes book rows among these.
    QSqlQuery insert(db);
    if (!insert.prepare(QStringLiteral(
            "insert into error_answer(questionId,subjectId,chapterId,parentId,examid,sequence,fuleixingid) "
            "select id,'bs1',chapterId,'','bp-old',rowid,fuleixingid from exam_question "
            "where ifnull(relationship,'')='' order by rowid desc limit :rows")))
        return fail(QStringLiteral("prepare book rows"), insert.lastError().text());
    insert.bindValue(QStringLiteral(":rows"), shape.bookRows);
    if (!insert.exec())
        return fail(QStringLiteral("book rows"), insert.lastError().text());
    m_bookRows = insert.numRowsAffected();
    return true;
}
