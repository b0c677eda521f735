#include "testsupport.h"


#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QScriptEngine>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QProcess>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>

using TestSupport::FreshDatabase;

namespace {

using TestSupport::database;

// Every row of a query as column name -> value.
QList<QVariantMap> rows(const QString &sql)
{
    QList<QVariantMap> result;
    QSqlQuery q(database());
    if (!q.exec(sql)) {
        qWarning("query failed: %s", qPrintable(q.lastError().text()));
        return result;
    }
    while (q.next()) {
        QVariantMap row;
        const QSqlRecord record = q.record();
        for (int i = 0; i < record.count(); ++i)
            row.insert(record.fieldName(i), q.value(i));
        result << row;
    }
    return result;
}

QMap<QString, QVariantMap> questionsById()
{
    QMap<QString, QVariantMap> byId;
    for (const QVariantMap &row : rows(QStringLiteral("select * from exam_question")))
        byId.insert(row.value(QStringLiteral("id")).toString(), row);
    return byId;
}

bool sameMark(double a, double b)
{
    return std::fabs(a - b) < 1e-6;
}

// One entry of a section's question list: a question and, for a composite,
// the ids of its parts.
struct ListEntry {
    QString qid;
    QStringList leaves;
    bool hasLeaf = false;
};

QList<ListEntry> parseQuestionIds(const QString &text, QString *error)
{
    QList<ListEntry> entries;
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &parseError);
    if (!doc.isArray()) {
        *error = QStringLiteral("not a JSON array: ") + parseError.errorString();
        return entries;
    }
    for (const QJsonValue &value : doc.array()) {
        const QJsonObject object = value.toObject();
        ListEntry entry;
        entry.qid = object.value(QStringLiteral("qid")).toString();
        entry.hasLeaf = object.contains(QStringLiteral("leaf"));
        for (const QJsonValue &leaf : object.value(QStringLiteral("leaf")).toArray())
            entry.leaves << leaf.toObject().value(QStringLiteral("qid")).toString();
        entries << entry;
    }
    return entries;
}

// The number of entries as the paper loader reads them: through a script engine.
int scriptLength(const QString &questionIds)
{
    QScriptEngine engine;
    return int(engine.evaluate(QStringLiteral("var a=eval(") + questionIds + QStringLiteral("); a.length;"))
                   .toInteger());
}

// Runs of three or more "_" mark the blanks of a fill-in stem.
int blankCount(const QString &text)
{
    int count = 0;
    auto it = QRegularExpression(QStringLiteral("_{3,}")).globalMatch(text);
    for (; it.hasNext(); it.next())
        ++count;
    return count;
}

QString imageDir()
{
    return TestSupport::sourcePath(QStringLiteral("assets/img"));
}

} // namespace

class SchemaTest : public QObject
{
    Q_OBJECT
private slots:
    void schemaNamesEveryColumn_data();
    void schemaNamesEveryColumn();
    void schemaIndexesLookedUpColumns_data();
    void schemaIndexesLookedUpColumns();
    void sampleBankLoadsWithoutFailure();
    void sampleBankCoversEveryFeature();
    void sectionListsMatchTheQuestions();
    void papersAddUp();
    void answersFitTheirQuestions();
    void questionsBelongToTheirCategoryAndChapter();
    void imagesShipWithTheProgram();
    void shippedBankMatchesItsSource();
};

void SchemaTest::schemaNamesEveryColumn_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("columns");
    QTest::newRow("exam_subject") << "exam_subject" << "id,name";
    QTest::newRow("exam_chapter") << "exam_chapter" << "id,subjectid,name,sortNo";
    QTest::newRow("exam_paper") << "exam_paper"
        << "id,name,asname,subjectId,totalCent,passCent,examTime,xzremark,xzcount,paperTypeid,sortNo";
    QTest::newRow("exam_paper_static") << "exam_paper_static"
        << "id,paperId,subjectid,sequence,captionName,questionTypeid,fuleixingid,questionIds,quantity,mark,isselect";
    QTest::newRow("exam_dic_fuleixing") << "exam_dic_fuleixing"
        << "id,name,questionType,questionTypeId,subjectid";
    QTest::newRow("exam_question") << "exam_question"
        << "id,questionTypeid,title,titleImage,option1,option2,option3,option4,option5,optionLength,"
           "answer,analysis,cent,difficulty,source,level,questionYear,layout,grade,chapterId,parentId,"
           "relationship,fuleixingid,sortNo,video,isCollect";
    QTest::newRow("exam_answer") << "exam_answer"
        << "id,subjectid,paperId,rightCount,worngCount,allCount,scoreCuont,score,anserDate,useSecond,answers";
    QTest::newRow("error_answer") << "error_answer"
        << "questionId,subjectId,chapterId,parentId,examid,sequence,fuleixingid";
    QTest::newRow("exam_Collect") << "exam_Collect" << "questionid,fuleixingid";
    QTest::newRow("t_dic_data") << "t_dic_data" << "id,dtype,typekey,name";
}

void SchemaTest::schemaNamesEveryColumn()
{
    QFETCH(QString, table);
    QFETCH(QString, columns);
    FreshDatabase db;
    QVERIFY(db.ok());
    QSqlQuery q(database());
    QVERIFY2(q.exec(QStringLiteral("select %1 from %2").arg(columns, table)),
             qPrintable(q.lastError().text()));
    QCOMPARE(q.record().count(), columns.split(QLatin1Char(',')).size());
}

void SchemaTest::schemaIndexesLookedUpColumns_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    QTest::newRow("question id") << "exam_question" << "id";
    QTest::newRow("question relationship") << "exam_question" << "relationship";
    QTest::newRow("wrong book paper") << "error_answer" << "examid";
    QTest::newRow("wrong book question") << "error_answer" << "questionId";
    QTest::newRow("favourite question") << "exam_Collect" << "questionid";
    QTest::newRow("section paper") << "exam_paper_static" << "paperId";
    QTest::newRow("result paper") << "exam_answer" << "paperId";
}

void SchemaTest::schemaIndexesLookedUpColumns()
{
    QFETCH(QString, table);
    QFETCH(QString, column);
    FreshDatabase db;
    QVERIFY(db.ok());
    // The first column of some index (the primary key's automatic one included).
    bool indexed = false;
    for (const QString &index : FreshDatabase::column(QStringLiteral("select name from pragma_index_list('%1')").arg(table))) {
        const QStringList first = FreshDatabase::column(
            QStringLiteral("select name from pragma_index_info('%1') where seqno=0").arg(index));
        indexed = indexed || first.value(0).compare(column, Qt::CaseInsensitive) == 0;
    }
    QVERIFY2(indexed, qPrintable(table + QLatin1Char('.') + column + QStringLiteral(" has no index")));
}

void SchemaTest::sampleBankLoadsWithoutFailure()
{
    const QString sql = TestSupport::sampleBankSql();
    QVERIFY(!sql.isEmpty());
    FreshDatabase db(sql);
    QVERIFY2(db.ok(), "a statement of data/sample_bank.sql failed (see the warnings above)");
    // The user's own records start empty.
    QCOMPARE(FreshDatabase::scalar(QStringLiteral("select count(*) from exam_answer")), 0);
    QCOMPARE(FreshDatabase::scalar(QStringLiteral("select count(*) from error_answer")), 0);
    QCOMPARE(FreshDatabase::scalar(QStringLiteral("select count(*) from exam_Collect")), 0);
    QCOMPARE(FreshDatabase::scalar(QStringLiteral("select count(*) from exam_question where isCollect<>0 or isCollect is null")), 0);
}

void SchemaTest::sampleBankCoversEveryFeature()
{
    FreshDatabase db(TestSupport::sampleBankSql());
    QVERIFY(db.ok());
    QVERIFY(FreshDatabase::scalar(QStringLiteral("select count(*) from exam_question")) >= 150);
    QCOMPARE(FreshDatabase::scalar(QStringLiteral("select count(*) from exam_subject")), 2);
    // Each subject: at least four papers, past and mock ones.
    for (const QString &subject : FreshDatabase::column(QStringLiteral("select id from exam_subject"))) {
        const QString where = QStringLiteral(" from exam_paper p join t_dic_data t on p.paperTypeid=t.id where p.subjectId='%1'").arg(subject);
        QVERIFY2(FreshDatabase::scalar(QStringLiteral("select count(*) from exam_paper where subjectId='%1'").arg(subject)) >= 4,
                 qPrintable(subject));
        QVERIFY2(FreshDatabase::scalar(QStringLiteral("select count(*)") + where + QStringLiteral(" and t.dtype=1")) >= 1,
                 qPrintable(subject + QStringLiteral(" has no mock paper")));
        QVERIFY2(FreshDatabase::scalar(QStringLiteral("select count(*)") + where + QStringLiteral(" and t.dtype<>1")) >= 1,
                 qPrintable(subject + QStringLiteral(" has no past paper")));
    }
    for (int type = 1; type <= 6; ++type)
        QVERIFY2(FreshDatabase::scalar(QStringLiteral("select count(*) from exam_paper_static where questionTypeid=%1").arg(type)) > 0,
                 qPrintable(QStringLiteral("no section of type %1").arg(type)));
    QVERIFY(FreshDatabase::scalar(QStringLiteral(
        "select count(*) from exam_paper_static s join exam_paper p on s.paperId=p.id where s.isselect>0 and p.xzcount>0")) > 0);
    QVERIFY(FreshDatabase::scalar(QStringLiteral("select count(*) from exam_question where questionTypeid=4 and optionLength=1")) > 0);
    QVERIFY(FreshDatabase::scalar(QStringLiteral("select count(*) from exam_question where questionTypeid=4 and optionLength>1")) > 0);
    QVERIFY(FreshDatabase::scalar(QStringLiteral("select count(*) from exam_question where titleImage like '%<img src=\"/%'")) > 0);
    QVERIFY(FreshDatabase::scalar(QStringLiteral("select count(*) from exam_dic_fuleixing")) > 0);
    // Explanations for most answerable questions.
    const int answerable = FreshDatabase::scalar(QStringLiteral("select count(*) from exam_question where questionTypeid<>6"));
    const int explained = FreshDatabase::scalar(QStringLiteral(
        "select count(*) from exam_question where questionTypeid<>6 and ifnull(analysis,'')<>''"));
    QVERIFY2(explained * 10 >= answerable * 8, qPrintable(QStringLiteral("%1 of %2 explained").arg(explained).arg(answerable)));
}

void SchemaTest::sectionListsMatchTheQuestions()
{
    FreshDatabase db(TestSupport::sampleBankSql());
    QVERIFY(db.ok());
    const QMap<QString, QVariantMap> questions = questionsById();
    QStringList problems;
    QSet<QString> listed;
    for (const QVariantMap &section : rows(QStringLiteral("select * from exam_paper_static"))) {
        const QString sid = section.value(QStringLiteral("id")).toString();
        const int sectionType = section.value(QStringLiteral("questionTypeid")).toInt();
        const QString ids = section.value(QStringLiteral("questionIds")).toString();
        QString error;
        const QList<ListEntry> entries = parseQuestionIds(ids, &error);
        if (!error.isEmpty())
            problems << sid + QStringLiteral(": ") + error;
        if (scriptLength(ids) != entries.size())
            problems << sid + QStringLiteral(": the script engine reads another length");
        if (entries.isEmpty())
            problems << sid + QStringLiteral(": no questions");
        // Quantity counts what is answered and marked: a composite counts as its parts.
        int answerable = 0;
        double mark = 0;
        for (const ListEntry &entry : entries) {
            const QVariantMap q = questions.value(entry.qid);
            if (q.isEmpty()) {
                problems << sid + QStringLiteral(": missing question ") + entry.qid;
                continue;
            }
            if (listed.contains(entry.qid))
                problems << entry.qid + QStringLiteral(" is listed twice");
            listed << entry.qid;
            const int type = q.value(QStringLiteral("questionTypeid")).toInt();
            if (type != sectionType)
                problems << sid + QStringLiteral(": ") + entry.qid + QStringLiteral(" has another type");
            if (q.value(QStringLiteral("relationship")).toString() != QString()
                || q.value(QStringLiteral("relationship")).isNull())
                problems << entry.qid + QStringLiteral(": a top-level question needs relationship ''");
            if (type != 6) {
                if (entry.hasLeaf)
                    problems << entry.qid + QStringLiteral(": leaves on a plain question");
                ++answerable;
                mark += q.value(QStringLiteral("cent")).toDouble();
                continue;
            }
            if (entry.leaves.size() < 2 || entry.leaves.size() > 4)
                problems << entry.qid + QStringLiteral(": a composite needs 2 to 4 parts");
            const QStringList children = FreshDatabase::column(
                QStringLiteral("select id from exam_question where relationship='%1' order by sortNo").arg(entry.qid));
            if (children != entry.leaves)
                problems << entry.qid + QStringLiteral(": its leaves differ from the rows that name it");
            for (const QString &leafId : entry.leaves) {
                const QVariantMap leaf = questions.value(leafId);
                if (leaf.isEmpty()) {
                    problems << sid + QStringLiteral(": missing leaf ") + leafId;
                    continue;
                }
                listed << leafId;
                // A part shows its title column as the shared material above its
                // own stem (titleImage); an essay part would show no stem of its own.
                const int leafType = leaf.value(QStringLiteral("questionTypeid")).toInt();
                if (leafType < 1 || leafType > 4)
                    problems << leafId + QStringLiteral(": a part must be a choice, true/false or fill-in question");
                if (leaf.value(QStringLiteral("title")).toString() != q.value(QStringLiteral("title")).toString())
                    problems << leafId + QStringLiteral(": a part's title must be its composite's material");
                if (leaf.value(QStringLiteral("parentId")).toString() != entry.qid)
                    problems << leafId + QStringLiteral(": parentId is not its composite");
                ++answerable;
                mark += leaf.value(QStringLiteral("cent")).toDouble();
            }
        }
        if (section.value(QStringLiteral("quantity")).toInt() != answerable)
            problems << sid + QStringLiteral(": quantity %1, answerable questions %2")
                                  .arg(section.value(QStringLiteral("quantity")).toInt()).arg(answerable);
        if (!sameMark(section.value(QStringLiteral("mark")).toDouble(), mark))
            problems << sid + QStringLiteral(": mark is not the sum of its questions' marks");
    }
    for (const QString &id : questions.keys())
        if (!listed.contains(id))
            problems << id + QStringLiteral(" is in no section");
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
}

void SchemaTest::papersAddUp()
{
    FreshDatabase db(TestSupport::sampleBankSql());
    QVERIFY(db.ok());
    QStringList problems;
    for (const QVariantMap &paper : rows(QStringLiteral("select * from exam_paper"))) {
        const QString pid = paper.value(QStringLiteral("id")).toString();
        if (FreshDatabase::scalar(QStringLiteral(
                "select count(*) from t_dic_data where typekey='sjlx' and id='%1'").arg(paper.value(QStringLiteral("paperTypeid")).toString())) != 1)
            problems << pid + QStringLiteral(": paper type not in t_dic_data");
        if (paper.value(QStringLiteral("examTime")).toInt() <= 0)
            problems << pid + QStringLiteral(": no exam time");
        // The paper's sections as the loader joins them (a section without a
        // category would vanish from the paper).
        const QList<QVariantMap> sections = rows(QStringLiteral(
            "select a.*,b.name as bname, b.questionTypeId as ctype, b.subjectid as csubject from exam_paper_static a, "
            "exam_dic_fuleixing b where a.fuleixingid=b.id AND a.paperId='%1' order by a.sequence").arg(pid));
        if (sections.isEmpty())
            problems << pid + QStringLiteral(": no sections");
        if (sections.size() != FreshDatabase::scalar(QStringLiteral("select count(*) from exam_paper_static where paperId='%1'").arg(pid)))
            problems << pid + QStringLiteral(": a section's category is missing");
        double compulsory = 0;
        QList<double> optional;
        QSet<QString> categories;
        for (const QVariantMap &s : sections) {
            const QString sid = s.value(QStringLiteral("id")).toString();
            if (s.value(QStringLiteral("isselect")).toInt() > 0)
                optional << s.value(QStringLiteral("mark")).toDouble();
            else
                compulsory += s.value(QStringLiteral("mark")).toDouble();
            // The wrong-question practice gathers a section's questions by category.
            if (categories.contains(s.value(QStringLiteral("fuleixingid")).toString()))
                problems << sid + QStringLiteral(": two sections of a paper share a category");
            categories << s.value(QStringLiteral("fuleixingid")).toString();
            if (s.value(QStringLiteral("ctype")).toInt() != s.value(QStringLiteral("questionTypeid")).toInt())
                problems << sid + QStringLiteral(": category of another question type");
            if (s.value(QStringLiteral("subjectid")).toString() != paper.value(QStringLiteral("subjectId")).toString()
                || s.value(QStringLiteral("csubject")).toString() != paper.value(QStringLiteral("subjectId")).toString())
                problems << sid + QStringLiteral(": subject differs from the paper's");
        }
        const int xzcount = paper.value(QStringLiteral("xzcount")).toInt();
        if (optional.isEmpty() != (xzcount == 0))
            problems << pid + QStringLiteral(": xzcount and optional sections disagree");
        if (!optional.isEmpty() && (xzcount > optional.size()
                                    || std::count(optional.begin(), optional.end(), optional.first()) != optional.size()))
            problems << pid + QStringLiteral(": optional sections must carry equal marks");
        const double total = compulsory + (optional.isEmpty() ? 0 : optional.first() * xzcount);
        if (!sameMark(paper.value(QStringLiteral("totalCent")).toDouble(), total))
            problems << pid + QStringLiteral(": totalCent %1, sections give %2").arg(paper.value(QStringLiteral("totalCent")).toDouble()).arg(total);
        const double pass = paper.value(QStringLiteral("passCent")).toDouble();
        if (pass <= 0 || pass > total)
            problems << pid + QStringLiteral(": pass mark out of range");
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
}

void SchemaTest::answersFitTheirQuestions()
{
    FreshDatabase db(TestSupport::sampleBankSql());
    QVERIFY(db.ok());
    QStringList problems;
    const QString letters = QStringLiteral("ABCDE");
    for (const QVariantMap &q : questionsById()) {
        const QString id = q.value(QStringLiteral("id")).toString();
        const int type = q.value(QStringLiteral("questionTypeid")).toInt();
        const int length = q.value(QStringLiteral("optionLength")).toInt();
        const QString answer = q.value(QStringLiteral("answer")).toString();
        if (q.value(QStringLiteral("title")).toString().trimmed().isEmpty()
            || q.value(QStringLiteral("titleImage")).toString().trimmed().isEmpty())
            problems << id + QStringLiteral(": title or titleImage empty");
        if (!q.value(QStringLiteral("video")).toString().isEmpty())
            problems << id + QStringLiteral(": names a video that is not shipped");
        if (type != 6 && q.value(QStringLiteral("cent")).toDouble() <= 0)
            problems << id + QStringLiteral(": no marks");
        switch (type) {
        case 1:
        case 2:
        case 3: {
            if (length < 2 || length > (type == 3 ? 2 : 5))
                problems << id + QStringLiteral(": optionLength %1").arg(length);
            for (int i = 1; i <= length && i <= 5; ++i)
                if (q.value(QStringLiteral("option%1").arg(i)).toString().isEmpty())
                    problems << id + QStringLiteral(": option %1 empty").arg(i);
            const QString allowed = letters.left(length);
            bool inRange = !answer.isEmpty();
            for (const QChar c : answer)
                inRange = inRange && allowed.contains(c);
            if (!inRange)
                problems << id + QStringLiteral(": answer '%1' outside %2").arg(answer, allowed);
            if (type != 2 && answer.size() != 1)
                problems << id + QStringLiteral(": needs exactly one letter");
            if (type == 2 && (answer.size() < 2 || QSet<QChar>(answer.begin(), answer.end()).size() != answer.size()))
                problems << id + QStringLiteral(": multiple choice needs distinct letters");
            break;
        }
        case 4: {
            const QStringList parts = answer.split(QLatin1Char('|'));
            if (length < 1 || blankCount(q.value(QStringLiteral("titleImage")).toString()) != length)
                problems << id + QStringLiteral(": optionLength is not the number of blanks");
            if (parts.size() != length)
                problems << id + QStringLiteral(": %1 answer parts for %2 blanks").arg(parts.size()).arg(length);
            for (const QString &part : parts)
                if (part.trimmed().isEmpty())
                    problems << id + QStringLiteral(": empty answer part");
            break;
        }
        case 5:
            // An essay shows its plain title, so a picture in titleImage would never appear.
            if (q.value(QStringLiteral("titleImage")).toString().contains(QLatin1String("<img")))
                problems << id + QStringLiteral(": an essay's picture is never shown");
            if (answer != QLatin1String("A") || length < 1)
                problems << id + QStringLiteral(": an essay's reference answer is \"A\" with a box");
            break;
        case 6:
            // Practices show a composite's plain title above each part: pictures
            // belong in the parts.
            if (q.value(QStringLiteral("titleImage")).toString().contains(QLatin1String("<img")))
                problems << id + QStringLiteral(": a composite's picture is lost in practice");
            if (!answer.isEmpty())
                problems << id + QStringLiteral(": a composite has no answer of its own");
            break;
        default:
            problems << id + QStringLiteral(": unknown type %1").arg(type);
        }
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
}

void SchemaTest::questionsBelongToTheirCategoryAndChapter()
{
    FreshDatabase db(TestSupport::sampleBankSql());
    QVERIFY(db.ok());
    // A question's category is its section's (parts take their composite's), so
    // the wrong-question practice and the favourites find it under that heading.
    const QStringList strays = FreshDatabase::column(QStringLiteral(
        "select q.id from exam_question q, exam_paper_static s "
        "where (s.questionIds like '%\"' || q.id || '\"%') and q.fuleixingid<>s.fuleixingid"));
    QVERIFY2(strays.isEmpty(), qPrintable(strays.join(QLatin1Char(' '))));
    const QStringList noChapter = FreshDatabase::column(QStringLiteral(
        "select q.id from exam_question q left join exam_chapter c on q.chapterId=c.id "
        "left join exam_dic_fuleixing f on q.fuleixingid=f.id "
        "where c.id is null or f.id is null or c.subjectid<>f.subjectid"));
    QVERIFY2(noChapter.isEmpty(), qPrintable(noChapter.join(QLatin1Char(' '))));
}

void SchemaTest::imagesShipWithTheProgram()
{
    FreshDatabase db(TestSupport::sampleBankSql());
    QVERIFY(db.ok());
    // Shown images are written "<img src=\"/name\"": the renderer rewrites
    // exactly that form to the img folder beside the program.
    const QRegularExpression anyImage(QStringLiteral("<img\\b"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpression shippedImage(QStringLiteral("<img src=\"/([^\"]+)\""));
    QStringList problems;
    QSet<QString> used;
    for (const QVariantMap &q : questionsById()) {
        for (const char *column : {"titleImage", "option1", "option2", "option3", "option4", "option5", "analysis"}) {
            const QString text = q.value(QLatin1String(column)).toString();
            int found = 0;
            auto it = shippedImage.globalMatch(text);
            while (it.hasNext()) {
                used << it.next().captured(1);
                ++found;
            }
            if (found != text.count(anyImage))
                problems << q.value(QStringLiteral("id")).toString() + QStringLiteral(": an image not written <img src=\"/...\"");
        }
    }
    QVERIFY(!used.isEmpty());
    for (const QString &name : used) {
        QFile file(imageDir() + QLatin1Char('/') + name);
        if (!file.open(QIODevice::ReadOnly)) {
            problems << name + QStringLiteral(" is not in assets/img");
            continue;
        }
        QXmlStreamReader xml(&file);
        while (!xml.atEnd())
            xml.readNext();
        if (name.endsWith(QLatin1String(".svg")) && xml.hasError())
            problems << name + QStringLiteral(": ") + xml.errorString();
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
}

void SchemaTest::shippedBankMatchesItsSource()
{
    // The bank is edited in data/bank_source.txt; the SQL beside it must be
    // what the generator makes of it, or an edit never reaches data.db.
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        QSKIP("python3 is not installed");
    QTemporaryDir dir;
    const QString generated = dir.path() + QStringLiteral("/bank.sql");
    QProcess generator;
    generator.start(python, {TestSupport::sourcePath(QStringLiteral("tools/make_bank.py")),
                             TestSupport::sourcePath(QStringLiteral("data/bank_source.txt")), generated});
    QVERIFY(generator.waitForFinished(60000));
    QVERIFY2(generator.exitCode() == 0, generator.readAllStandardError().constData());
    QFile file(generated);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY2(QString::fromUtf8(file.readAll()) == TestSupport::sampleBankSql(),
             "data/sample_bank.sql is out of date: run tools/make_bank.py");
}

TESSERA_TEST_MAIN(SchemaTest)
#include "tst_schema.moc"
