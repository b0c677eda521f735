#include "bankwriter.h"

#include "backupstore.h"

#include "banktext.h"
#include "htmlsanitiser.h"
#include "questionidlist.h"
#include "questionkeys.h"
#include "questionremoval.h"
#include "sqltransaction.h"
#include "titleindex.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <QSqlQuery>
#include <QUuid>

struct BankWriter::Entry
{
    const BankQuestion *question = nullptr;
    QString key;
    QString hash;
    int parent = -1;              // index of the case study entry, for a part
};

struct BankWriter::Stored
{
    QString questionId;
    QString hash;
};

namespace {

QString newId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// The first value of a query with bound values; an invalid QVariant when none.
QVariant firstValue(QSqlDatabase db, const QString &sql, const QVariantMap &values)
{
    QSqlQuery query(db);
    if (!query.prepare(sql))
        return QVariant();
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        query.bindValue(it.key(), it.value());
    if (!query.exec() || !query.next())
        return QVariant();
    return query.value(0);
}

QString subjectIdNamed(QSqlDatabase db, const QString &name)
{
    return firstValue(db, QStringLiteral("select id from exam_subject where name=:name"),
                      {{QStringLiteral(":name"), name.trimmed()}}).toString();
}

const int sectionOrder[] = {BankQuestion::SingleChoice, BankQuestion::MultipleChoice, BankQuestion::TrueFalse,
                            BankQuestion::FillIn, BankQuestion::Essay, BankQuestion::CaseStudy};

// The section of a type is named as the type everywhere else.
QString categoryName(int type)
{
    return BankQuestion::typeTitle(type == BankQuestion::Unknown ? int(BankQuestion::CaseStudy) : type);
}

QString number(double value)
{
    return QString::number(value, 'g', 12);
}

// Texts are stored as '' rather than NULL, as the bank's own rows are: the
// search finds top-level questions by relationship=''.
QString stored(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

// A text of the file as it is stored and shown: through the import sanitiser.
// Keys and content digests are made from the file's own texts, so that a file
// imported before the sanitiser existed is still found unchanged.
QString shown(const QString &text)
{
    return stored(HtmlSanitiser::clean(text));
}

// The writes of one import, inside its transaction.
class PaperStore
{
public:
    PaperStore(SqlTransaction &group, const ImportRequest &request)
        : m_group(group), m_db(group.database()), m_request(request) {}

    bool resolveSubject(QString *subjectId);
    bool prepareCategories(const QVector<const BankQuestion *> &questions);
    bool chapterOf(const BankQuestion &question, QString *chapterId);
    bool writePaper(QString *paperId, bool exists);
    bool writeQuestion(const BankQuestion &question, const QString &id, bool exists, const QString &parentId,
                       const QString &parentStem, const QString &categoryId, int sortNo);
    QString categoryOf(int type) const { return m_categories.value(type); }

    QString subjectId;

private:
    // Every write goes through the import's transaction, which prepares each
    // statement once: a file of thousands of questions runs the same few.
    SqlTransaction &m_group;
    QSqlDatabase m_db;
    const ImportRequest &m_request;
    QHash<int, QString> m_categories;
    QHash<QString, QString> m_chapters;
};

bool PaperStore::resolveSubject(QString *id)
{
    if (!m_request.subjectId.isEmpty()) {
        *id = m_request.subjectId;
        return firstValue(m_db, QStringLiteral("select id from exam_subject where id=:id"),
                          {{QStringLiteral(":id"), *id}}).isValid();
    }
    *id = subjectIdNamed(m_db, m_request.newSubjectName);
    if (!id->isEmpty())
        return true;
    *id = newId();
    return m_group.exec(QStringLiteral("insert into exam_subject(id,name) values(:id,:name)"),
                     {{QStringLiteral(":id"), *id}, {QStringLiteral(":name"), m_request.newSubjectName.trimmed()}});
}

bool PaperStore::prepareCategories(const QVector<const BankQuestion *> &questions)
{
    QSet<int> types;
    for (const BankQuestion *question : questions)
        types.insert(question->type);
    for (const int type : types) {
        // The subject's own category of the type, the one listed first.
        QString id = firstValue(m_db,
                                QStringLiteral("select id from exam_dic_fuleixing where subjectid=:s and "
                                               "questionTypeId=:t order by questionType limit 1"),
                                {{QStringLiteral(":s"), subjectId}, {QStringLiteral(":t"), type}}).toString();
        if (id.isEmpty()) {
            id = newId();
            if (!m_group.exec(QStringLiteral("insert into exam_dic_fuleixing(id,name,questionType,questionTypeId,subjectid) "
                                             "values(:id,:name,:type,:type,:s)"),
                              {{QStringLiteral(":id"), id}, {QStringLiteral(":name"), categoryName(type)},
                               {QStringLiteral(":type"), type}, {QStringLiteral(":s"), subjectId}}))
                return false;
        }
        m_categories.insert(type, id);
    }
    return true;
}

bool PaperStore::chapterOf(const BankQuestion &question, QString *chapterId)
{
    const QString name = shown(question.chapterName());
    chapterId->clear();
    if (name.isEmpty())
        return true;
    if (m_chapters.contains(name)) {
        *chapterId = m_chapters.value(name);
        return true;
    }
    *chapterId = firstValue(m_db, QStringLiteral("select id from exam_chapter where subjectid=:s and name=:n"),
                            {{QStringLiteral(":s"), subjectId}, {QStringLiteral(":n"), name}}).toString();
    if (chapterId->isEmpty()) {
        *chapterId = newId();
        const int sortNo = firstValue(m_db, QStringLiteral("select ifnull(max(sortNo),0)+1 from exam_chapter "
                                                           "where subjectid=:s"),
                                      {{QStringLiteral(":s"), subjectId}}).toInt();
        if (!m_group.exec(QStringLiteral("insert into exam_chapter(id,subjectid,name,sortNo) values(:id,:s,:n,:o)"),
                       {{QStringLiteral(":id"), *chapterId}, {QStringLiteral(":s"), subjectId},
                        {QStringLiteral(":n"), name}, {QStringLiteral(":o"), sortNo}}))
            return false;
    }
    m_chapters.insert(name, *chapterId);
    return true;
}

bool PaperStore::writePaper(QString *paperId, bool exists)
{
    // Imported papers are listed with the mock papers.
    QString typeId = firstValue(m_db, QStringLiteral("select id from t_dic_data where typekey='sjlx' and dtype=1 "
                                                     "order by id limit 1"), {}).toString();
    if (typeId.isEmpty()) {
        typeId = newId();
        if (!m_group.exec(QStringLiteral("insert into t_dic_data(id,dtype,typekey,name) values(:id,1,'sjlx',:n)"),
                       {{QStringLiteral(":id"), typeId}, {QStringLiteral(":n"), QStringLiteral("模拟试题")}}))
            return false;
    }
    const QVariantMap values{{QStringLiteral(":id"), *paperId},
                             {QStringLiteral(":name"), shown(m_request.paperName.trimmed())},
                             {QStringLiteral(":s"), subjectId},
                             {QStringLiteral(":time"), m_request.minutes},
                             {QStringLiteral(":type"), typeId}};
    if (exists)
        return m_group.exec(QStringLiteral("update exam_paper set name=:name,asname=:name,subjectId=:s,"
                                              "examTime=:time,paperTypeid=:type where id=:id"), values);
    QVariantMap insert = values;
    insert.insert(QStringLiteral(":sortNo"),
                  firstValue(m_db, QStringLiteral("select ifnull(max(sortNo),0)+1 from exam_paper"), {}).toInt());
    return m_group.exec(QStringLiteral("insert into exam_paper(id,name,asname,subjectId,totalCent,passCent,examTime,"
                                          "xzremark,xzcount,paperTypeid,sortNo) values(:id,:name,:name,:s,0,0,:time,"
                                          "'',0,:type,:sortNo)"), insert);
}

bool PaperStore::writeQuestion(const BankQuestion &q, const QString &id, bool exists, const QString &parentId,
                               const QString &parentStem, const QString &categoryId, int sortNo)
{
    QString chapterId;
    if (!chapterOf(q, &chapterId))
        return false;
    QStringList options = q.optionsHtml;
    int optionLength = options.size();
    QString answer = q.answerLetters;
    switch (q.type) {
    case BankQuestion::TrueFalse:
        options = QStringList{QStringLiteral("正确"), QStringLiteral("错误")};
        optionLength = 2;
        break;
    case BankQuestion::FillIn:
        optionLength = q.blanks.size();
        answer = BankText::joinBlanks(q.blanks);
        break;
    case BankQuestion::Essay:
        optionLength = 1;
        answer = QStringLiteral("A");
        break;
    case BankQuestion::CaseStudy:
        optionLength = 0;
        answer.clear();
        break;
    default:
        break;
    }
    while (options.size() < 5)
        options << QString();
    // A part's title holds its case's text, which the exam window shows above
    // it; the part itself is shown from titleImage.
    const bool materialInTitle = !parentId.isEmpty();
    QVariantMap values{{QStringLiteral(":id"), id},
                       {QStringLiteral(":type"), q.type},
                       {QStringLiteral(":title"), shown(materialInTitle ? parentStem : q.stemHtml)},
                       {QStringLiteral(":titleImage"), shown(q.stemHtml)},
                       {QStringLiteral(":o1"), shown(options.at(0))},
                       {QStringLiteral(":o2"), shown(options.at(1))},
                       {QStringLiteral(":o3"), shown(options.at(2))},
                       {QStringLiteral(":o4"), shown(options.at(3))},
                       {QStringLiteral(":o5"), shown(options.at(4))},
                       {QStringLiteral(":length"), optionLength},
                       {QStringLiteral(":answer"), shown(answer)},
                       {QStringLiteral(":analysis"), shown(q.explanationHtml)},
                       {QStringLiteral(":cent"), q.type == BankQuestion::CaseStudy ? 0.0 : q.marks},
                       {QStringLiteral(":difficulty"), q.difficulty > 0 ? q.difficulty : 1.0},
                       {QStringLiteral(":source"), shown(m_request.sourceName)},
                       {QStringLiteral(":chapter"), stored(chapterId)},
                       {QStringLiteral(":parent"), stored(parentId)},
                       {QStringLiteral(":category"), categoryId},
                       {QStringLiteral(":sortNo"), sortNo},
                       {QStringLiteral(":subject"), subjectId}};
    if (exists)
        return m_group.exec(QStringLiteral(
            "update exam_question set questionTypeid=:type,title=:title,titleImage=:titleImage,option1=:o1,"
            "option2=:o2,option3=:o3,option4=:o4,option5=:o5,optionLength=:length,answer=:answer,"
            "analysis=:analysis,cent=:cent,difficulty=:difficulty,source=:source,chapterId=:chapter,"
            "parentId=:parent,relationship=:parent,fuleixingid=:category,sortNo=:sortNo,subjectid=:subject "
            "where id=:id"), values);
    return m_group.exec(QStringLiteral(
        "insert into exam_question(id,questionTypeid,title,titleImage,option1,option2,option3,option4,option5,"
        "optionLength,answer,analysis,cent,difficulty,source,level,questionYear,layout,grade,chapterId,parentId,"
        "relationship,fuleixingid,sortNo,video,isCollect,subjectid) values(:id,:type,:title,:titleImage,:o1,:o2,:o3,:o4,:o5,"
        ":length,:answer,:analysis,:cent,:difficulty,:source,1,'',0,0,:chapter,:parent,:parent,:category,:sortNo,"
        "'',0,:subject)"), values);
}

struct Section
{
    QVector<QuestionIdEntry> entries;
    int quantity = 0;
    double mark = 0;
    QSet<QString> marks;
};

QString caption(int type, const Section &section)
{
    QString text = categoryName(type) + QStringLiteral("（共%1题，").arg(section.quantity);
    if (section.marks.size() == 1)
        text += QStringLiteral("每题%1分，").arg(*section.marks.begin());
    return text + QStringLiteral("共%1分）").arg(number(section.mark));
}

} // namespace

BankWriter::BankWriter(QSqlDatabase db)
    : m_db(db)
{
}

QVector<BankWriter::Entry> BankWriter::flatten(const ParsedBank &bank) const
{
    QVector<Entry> entries;
    QuestionKeys keys;
    for (const BankQuestion &question : bank.questions) {
        Entry entry;
        entry.question = &question;
        entry.key = keys.next(question);
        entry.hash = QuestionKeys::contentHash(question);
        const int parent = entries.size();
        entries.append(entry);
        for (const BankQuestion &part : question.parts) {
            Entry partEntry;
            partEntry.question = &part;
            partEntry.key = keys.next(part, entry.key);
            partEntry.hash = QuestionKeys::contentHash(part) + entry.hash;
            partEntry.parent = parent;
            entries.append(partEntry);
        }
    }
    return entries;
}

QString BankWriter::imageDirOf(const QString &databasePath)
{
    return QFileInfo(databasePath).absolutePath() + QStringLiteral("/img");
}

QString BankWriter::subjectNamed(const QString &name) const
{
    return subjectIdNamed(m_db, name);
}

QString BankWriter::subjectOf(const ImportRequest &request) const
{
    return request.subjectId.isEmpty() ? subjectNamed(request.newSubjectName) : request.subjectId;
}

QString BankWriter::existingPaper(const QString &subjectId, const QString &paperName, QString *refusal) const
{
    refusal->clear();
    if (subjectId.isEmpty())
        return QString();
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("select id from exam_paper where subjectId=:s and name=:n"));
    query.bindValue(QStringLiteral(":s"), subjectId);
    query.bindValue(QStringLiteral(":n"), shown(paperName.trimmed()));
    QStringList ids;
    if (query.exec()) {
        while (query.next())
            ids << query.value(0).toString();
    }
    if (ids.isEmpty())
        return QString();
    if (ids.size() > 1) {
        *refusal = QStringLiteral("科目中已有 %1 套名为“%2”的试卷，不知更新哪一套：请换一个试卷名称")
                       .arg(ids.size()).arg(paperName.trimmed());
        return QString();
    }
    // On a file the migration has not brought up to date no paper is imported.
    const bool imported = m_db.tables().contains(QStringLiteral("import_paper"))
        && firstValue(m_db, QStringLiteral("select 1 from import_paper where paperId=:p"),
                      {{QStringLiteral(":p"), ids.first()}}).isValid();
    if (!imported) {
        *refusal = QStringLiteral("科目中已有试卷“%1”，它不是从文件导入的：请换一个试卷名称").arg(paperName.trimmed());
        return QString();
    }
    return ids.first();
}

QHash<QString, BankWriter::Stored> BankWriter::storedKeys(const QString &paperId) const
{
    QHash<QString, Stored> stored;
    QSqlQuery query(m_db);
    if (paperId.isEmpty()
        || !query.prepare(QStringLiteral("select questionKey,questionId,contentHash from import_question "
                                         "where paperId=:p")))
        return stored;
    query.bindValue(QStringLiteral(":p"), paperId);
    if (query.exec()) {
        while (query.next())
            stored.insert(query.value(0).toString(), {query.value(1).toString(), query.value(2).toString()});
    }
    return stored;
}

// stored: the paper's keys as storedKeys reads them.
ImportCounts BankWriter::count(const QVector<Entry> &entries, const QString &paperId,
                               QHash<QString, Stored> stored) const
{
    ImportCounts counts;
    counts.paperId = paperId;
    for (const Entry &entry : entries) {
        const auto found = stored.find(entry.key);
        if (found == stored.end())
            ++counts.added;
        else if (found->hash == entry.hash)
            ++counts.unchanged;
        else
            ++counts.changed;
        if (found != stored.end())
            stored.erase(found);
    }
    counts.gone = stored.size();
    return counts;
}

ImportCounts BankWriter::plan(const ParsedBank &bank, const ImportRequest &request) const
{
    // Writes nothing: on a file the migration has not brought up to date the
    // tables of keys are missing, and then every question is new.
    QString refusal;
    const QString paperId = existingPaper(subjectOf(request), request.paperName, &refusal);
    ImportCounts counts = count(flatten(bank), paperId, storedKeys(paperId));
    counts.refusal = refusal;
    return counts;
}

ImportOutcome BankWriter::write(const ParsedBank &bank, const ImportRequest &request,
                                const std::function<void(int, int)> &progress)
{
    ImportOutcome outcome;
    const auto fail = [&outcome](const QString &error) {
        outcome.ok = false;
        outcome.error = error;
        return outcome;
    };
    if (bank.errorCount() > 0 && !request.skipBad)
        return fail(QStringLiteral("文件有 %1 处问题，未导入任何题目").arg(bank.errorCount()));
    if (bank.questions.isEmpty())
        return fail(QStringLiteral("文件中没有可导入的题目"));
    if (request.paperName.trimmed().isEmpty())
        return fail(QStringLiteral("试卷名称不能为空"));
    if (request.subjectId.isEmpty() && request.newSubjectName.trimmed().isEmpty())
        return fail(QStringLiteral("没有选择科目"));
    QString refusal;
    existingPaper(subjectOf(request), request.paperName, &refusal);
    if (!refusal.isEmpty())
        return fail(refusal);
    // A copy of the file as it was, which "恢复备份" can bring back.
    const WriteOutcome backup = BackupStore::quickBackup(m_db, m_db.databaseName(), QStringLiteral("import"));
    if (!backup)
        return fail(QStringLiteral("导入前的备份没有完成（%1），未导入").arg(backup.reason()));
    // Pictures first, named by their content: a failed import leaves at most
    // unused files, never a question without its picture.
    if (!bank.images.isEmpty()) {
        QDir dir(request.imageDir);
        if (!dir.mkpath(QStringLiteral(".")))
            return fail(QStringLiteral("无法建立图片文件夹 %1").arg(request.imageDir));
        for (const BankImage &image : bank.images) {
            QFile file(dir.filePath(image.name));
            if (file.exists())
                continue;
            if (!file.open(QIODevice::WriteOnly) || file.write(image.bytes) != image.bytes.size())
                return fail(QStringLiteral("无法写入图片 %1").arg(file.fileName()));
        }
    }

    SqlTransaction transaction(m_db);
    if (!transaction.started())
        return fail(QStringLiteral("无法开始写入数据库"));
    PaperStore store(transaction, request);
    if (!store.resolveSubject(&store.subjectId))
        return fail(QStringLiteral("科目不存在"));
    const QVector<Entry> entries = flatten(bank);
    QVector<const BankQuestion *> questions;
    for (const Entry &entry : entries)
        questions << entry.question;
    if (!store.prepareCategories(questions))
        return fail(QStringLiteral("无法写入题目分类"));

    QString paperId = existingPaper(store.subjectId, request.paperName, &refusal);
    if (!refusal.isEmpty())
        return fail(refusal);
    const bool paperExists = !paperId.isEmpty();
    QHash<QString, Stored> stored = storedKeys(paperId);
    outcome.counts = count(entries, paperId, stored);
    if (!paperExists)
        paperId = newId();
    if (!store.writePaper(&paperId, paperExists))
        return fail(QStringLiteral("无法写入试卷"));

    QVector<QString> ids(entries.size());
    QHash<int, Section> sections;
    const QString paperParam = QStringLiteral(":p");
    for (int i = 0; i < entries.size(); ++i) {
        const Entry &entry = entries.at(i);
        const BankQuestion &q = *entry.question;
        const auto found = stored.find(entry.key);
        const bool exists = found != stored.end();
        ids[i] = exists ? found->questionId : newId();
        if (exists)
            stored.erase(found);
        const Entry *parent = entry.parent >= 0 ? &entries.at(entry.parent) : nullptr;
        const int sectionType = parent ? BankQuestion::CaseStudy : q.type;
        const QString category = store.categoryOf(sectionType);
        if (!store.writeQuestion(q, ids.at(i), exists, parent ? ids.at(entry.parent) : QString(),
                                 parent ? parent->question->stemHtml : QString(), category, i + 1)
            || !transaction.exec(QStringLiteral("insert or replace into import_question(paperId,questionKey,questionId,"
                                               "contentHash) values(:p,:k,:q,:h)"),
                          {{paperParam, paperId}, {QStringLiteral(":k"), entry.key},
                           {QStringLiteral(":q"), ids.at(i)}, {QStringLiteral(":h"), entry.hash}}))
            return fail(QStringLiteral("无法写入第 %1 行的题目").arg(q.line));

        Section &section = sections[sectionType];
        if (parent)
            section.entries.last().leafIds << ids.at(i);
        else
            section.entries.append({ids.at(i), {}});
        if (q.type != BankQuestion::CaseStudy) {
            section.quantity += 1;
            section.mark += q.marks;
            section.marks.insert(number(q.marks));
        }
        if (progress)
            progress(i + 1, entries.size());
    }
    // Questions the file no longer has go, with their records; one that a
    // drawn paper holds stays there.
    QStringList gone, unlisted;
    for (const Stored &entry : qAsConst(stored))
        gone << entry.questionId;
    if (!QuestionRemoval::unlisted(transaction, gone, paperId, &unlisted)
        || !QuestionRemoval::remove(transaction, unlisted))
        return fail(QStringLiteral("无法删除文件中已没有的题目"));
    const QString goneIds
        = QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(gone)).toJson(QJsonDocument::Compact));
    if (!gone.isEmpty()
        && !transaction.exec(QStringLiteral("delete from import_question where paperId=:p and questionId in "
                                            "(select value from json_each(:ids))"),
                             {{paperParam, paperId}, {QStringLiteral(":ids"), goneIds}}))
        return fail(QStringLiteral("无法删除文件中已没有的题目"));

    if (!transaction.exec(QStringLiteral("delete from exam_paper_static where paperId=:p"), {{paperParam, paperId}}))
        return fail(QStringLiteral("无法更新试卷的题型分组"));
    double total = 0;
    int sequence = 0;
    for (const int type : sectionOrder) {
        if (!sections.contains(type))
            continue;
        const Section &section = sections.value(type);
        total += section.mark;
        if (!transaction.exec(QStringLiteral(
                "insert into exam_paper_static(id,paperId,subjectid,sequence,captionName,questionTypeid,fuleixingid,"
                "questionIds,quantity,mark,isselect) values(:id,:p,:s,:seq,:caption,:type,:category,:ids,:quantity,"
                ":mark,0)"),
                {{QStringLiteral(":id"), newId()}, {paperParam, paperId}, {QStringLiteral(":s"), store.subjectId},
                 {QStringLiteral(":seq"), ++sequence}, {QStringLiteral(":caption"), caption(type, section)},
                 {QStringLiteral(":type"), type}, {QStringLiteral(":category"), store.categoryOf(type)},
                 {QStringLiteral(":ids"), QuestionIdList::write(section.entries)},
                 {QStringLiteral(":quantity"), section.quantity}, {QStringLiteral(":mark"), section.mark}}))
            return fail(QStringLiteral("无法写入试卷的题型分组"));
    }
    if (!transaction.exec(QStringLiteral("update exam_paper set totalCent=:t,passCent=:pass where id=:p"),
                   {{QStringLiteral(":t"), total}, {QStringLiteral(":pass"), total * 0.6}, {paperParam, paperId}})
        || !transaction.exec(QStringLiteral("insert or replace into import_paper(paperId,subjectId,sourceName,format,"
                                           "importedAt) values(:p,:s,:n,:f,:at)"),
                      {{paperParam, paperId}, {QStringLiteral(":s"), store.subjectId},
                       {QStringLiteral(":n"), request.sourceName}, {QStringLiteral(":f"), bank.format},
                       {QStringLiteral(":at"), QDateTime::currentDateTimeUtc().toString(Qt::ISODate)}}))
        return fail(QStringLiteral("无法写入试卷"));
    if (!transaction.commit())
        return fail(QStringLiteral("无法提交写入（数据库未改变）"));
    // The title index takes the import's rows in one go; should that fail,
    // they stay queued and the search finds them all the same.
    TitleIndex::catchUp(m_db);
    outcome.ok = true;
    outcome.subjectId = store.subjectId;
    outcome.paperId = paperId;
    return outcome;
}
