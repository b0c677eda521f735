#include "importcommand.h"

#include "bankexport.h"
#include "bankfile.h"
#include "bankreader.h"
#include "bankwriter.h"
#include "datafilecheck.h"
#include "importpreview.h"
#include "schemamigration.h"
#include "subjectstore.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace {

const QString connectionName = QStringLiteral("tessera-import");

// The subject when none is named: the current one of the program.
QString currentSubject(QSqlDatabase db, QString *error)
{
    const QString id = SubjectStore::currentSubjectId(db);
    if (id.isEmpty())
        *error = SubjectStore::subjects(db).isEmpty()
            ? QStringLiteral("题库中没有科目，请用 --subject 指定新科目的名称")
            : QStringLiteral("题库中有几个科目而没有选定当前科目，请用 --subject 指定一个");
    return id;
}

void reportProblems(const QString &file, const ParsedBank &bank, QTextStream &err)
{
    for (const BankProblem &problem : bank.problems) {
        err << file << QLatin1Char(':') << problem.line << QLatin1String(": ")
            << (problem.severity == BankProblem::Error   ? QStringLiteral("错误")
                : problem.severity == BankProblem::Refused ? QStringLiteral("不能保存")
                                                             : QStringLiteral("提示"))
            << QLatin1String(": ") << problem.reason << Qt::endl;
    }
}

// --export PATH: the paper named by --paper, else every paper of the subject.
int exportBank(QSqlDatabase db, const QCommandLineParser &parser, QTextStream &out, QTextStream &err)
{
    const QString path = parser.value(QStringLiteral("export"));
    if (BankExport::formatOfPath(path).isEmpty()) {
        err << QStringLiteral("导出文件的后缀应是 .gift、.txt、.xml、.csv 或 .xlsx") << Qt::endl;
        return 2;
    }
    QString error;
    const QString subjectId = parser.isSet(QStringLiteral("subject"))
        ? BankWriter(db).subjectNamed(parser.value(QStringLiteral("subject")))
        : currentSubject(db, &error);
    if (subjectId.isEmpty()) {
        err << (error.isEmpty() ? QStringLiteral("没有这个科目") : error) << Qt::endl;
        return 1;
    }
    BankReader reader(db);
    QVector<BankQuestion> questions;
    if (parser.isSet(QStringLiteral("paper"))) {
        QSqlQuery query(db);
        query.prepare(QStringLiteral("select id from exam_paper where subjectId=:s and name=:n"));
        query.bindValue(QStringLiteral(":s"), subjectId);
        query.bindValue(QStringLiteral(":n"), parser.value(QStringLiteral("paper")));
        if (!query.exec() || !query.next()) {
            err << QStringLiteral("科目中没有试卷“%1”").arg(parser.value(QStringLiteral("paper"))) << Qt::endl;
            return 1;
        }
        questions = reader.paper(query.value(0).toString());
    } else {
        questions = reader.subject(subjectId);
    }
    if (questions.isEmpty()) {
        err << QStringLiteral("没有找到可导出的题目，未写入 %1").arg(path) << Qt::endl;
        return 1;
    }
    QStringList ownForm;
    if (!BankExport::write(path, questions, BankWriter::imageDirOf(db.databaseName()), &ownForm)) {
        err << QStringLiteral("无法写入 %1").arg(path) << Qt::endl;
        return 1;
    }
    out << QStringLiteral("已导出 %1 道题到 %2").arg(questions.size()).arg(path) << Qt::endl;
    if (!ownForm.isEmpty())
        out << BankExport::ownFormText(ownForm) << Qt::endl;
    return 0;
}

int importFiles(QSqlDatabase db, const QCommandLineParser &parser, QTextStream &out, QTextStream &err)
{
    ImportRequest base;
    base.skipBad = parser.isSet(QStringLiteral("skip-bad"));
    base.imageDir = BankWriter::imageDirOf(db.databaseName());
    bool minutesOk = true;
    base.minutes = parser.isSet(QStringLiteral("minutes")) ? parser.value(QStringLiteral("minutes")).toInt(&minutesOk)
                                                          : 60;
    if (!minutesOk || base.minutes <= 0) {
        err << QStringLiteral("--minutes 应是正整数") << Qt::endl;
        return 2;
    }
    const QString format = parser.value(QStringLiteral("format")).toLower();
    if (!format.isEmpty() && !BankFile::formats().contains(format)) {
        err << QStringLiteral("不认识的格式“%1”（可用 %2）").arg(format, BankFile::formats().join(QLatin1Char('|')))
            << Qt::endl;
        return 2;
    }
    BankWriter writer(db);
    if (parser.isSet(QStringLiteral("subject"))) {
        const QString name = parser.value(QStringLiteral("subject")).trimmed();
        base.subjectId = writer.subjectNamed(name);
        if (base.subjectId.isEmpty())
            base.newSubjectName = name;
    } else {
        QString error;
        base.subjectId = currentSubject(db, &error);
        if (base.subjectId.isEmpty()) {
            err << error << Qt::endl;
            return 2;
        }
    }

    int status = 0;
    bool migrated = false;
    for (const QString &path : parser.positionalArguments()) {
        const QString file = QFileInfo(path).fileName();
        const ParsedBank bank = BankFile::read(path, format);
        reportProblems(path, bank, err);
        ImportRequest request = base;
        request.sourceName = file;
        request.paperName = parser.isSet(QStringLiteral("paper")) ? parser.value(QStringLiteral("paper"))
                                                                  : ImportPreview::paperNameOf(path);
        if (parser.isSet(QStringLiteral("dry-run"))) {
            const ImportCounts counts = writer.plan(bank, request);
            const int total = counts.added + counts.changed + counts.unchanged;
            const bool sound = (bank.errorCount() == 0 || request.skipBad) && counts.refusal.isEmpty();
            out << path << QStringLiteral(": %1 道题，%2；%3%4")
                               .arg(total)
                               .arg(bank.refusedCount() > 0
                                        ? QStringLiteral("%1 处问题，%2 道题不能保存")
                                              .arg(bank.errorCount()).arg(bank.refusedCount())
                                        : bank.errorCount() > 0 ? QStringLiteral("%1 处问题").arg(bank.errorCount())
                                                                : QStringLiteral("没有问题"))
                               .arg(ImportPreview::changeSummary(counts, request.paperName))
                               .arg(sound ? QStringLiteral("，可以导入") : QStringLiteral("，不能导入"))
                << Qt::endl;
            status = sound && total > 0 ? status : 1;
            continue;
        }
        if (bank.errorCount() > 0 && !request.skipBad) {
            err << path << QStringLiteral(": 文件有 %1 处问题，未导入任何题目（可用 --skip-bad 跳过有问题的题目）")
                               .arg(bank.errorCount())
                << Qt::endl;
            status = 1;
            continue;
        }
        // The file is brought up to date only when something is to be written.
        if (!migrated) {
            const SchemaMigration::Result migration = SchemaMigration::migrate(db);
            if (migration.outcome == SchemaMigration::Outcome::NotABank) {
                err << QStringLiteral("数据库中没有题库，未导入") << Qt::endl;
                return 1;
            }
            if (migration.outcome == SchemaMigration::Outcome::Failed) {
                // An upgrade only when the file could be read and was behind.
                const bool upgrading = migration.fromVersion >= 0;
                err << (upgrading ? QStringLiteral("数据库无法升级，未导入：%1") : QStringLiteral("无法读取数据库，未导入：%1"))
                           .arg(migration.error)
                    << Qt::endl;
                return 1;
            }
            migrated = true;
        }
        int nextReport = 1000;
        const auto progress = [&](int done, int all) {
            if (all >= 1000 && (done >= nextReport || done == all)) {
                err << path << QStringLiteral(": 已写入 %1/%2").arg(done).arg(all) << Qt::endl;
                nextReport = done + 1000;
            }
        };
        const ImportOutcome outcome = writer.write(bank, request, progress);
        if (!outcome.ok) {
            err << path << QLatin1String(": ") << outcome.error << Qt::endl;
            status = 1;
            continue;
        }
        out << path
            << (outcome.counts.paperId.isEmpty() ? QStringLiteral(": 已导入试卷“%1”（%2）")
                                                 : QStringLiteral(": 已更新试卷“%1”（%2）"))
                   .arg(request.paperName, ImportPreview::countsText(outcome.counts))
            << Qt::endl;
        if (bank.errorCount() > 0)
            out << path << QStringLiteral(": 跳过了 %1 道有问题的题目（见上）").arg(bank.errorCount()) << Qt::endl;
        if (bank.refusedCount() > 0)
            out << path << QStringLiteral(": %1 道题题库不能保存，未导入（见上）").arg(bank.refusedCount()) << Qt::endl;
    }
    return status;
}

} // namespace

int ImportCommand::run(const QStringList &arguments, const QString &defaultDb, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("把题库文件导入 tessera 的 data.db：每个文件成为一套试卷。"));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("db"), QStringLiteral("数据库文件（默认：程序使用的 data.db）"), QStringLiteral("PATH")},
        {QStringLiteral("subject"), QStringLiteral("科目名称；没有这个科目时新建"), QStringLiteral("NAME")},
        {QStringLiteral("paper"), QStringLiteral("试卷名称（默认：文件名）"), QStringLiteral("NAME")},
        {QStringLiteral("minutes"), QStringLiteral("考试时间，分钟（默认 60）"), QStringLiteral("N")},
        {QStringLiteral("format"), QStringLiteral("文件格式 gift|aiken|xml|csv|xlsx|book|docx|doc|wps|pdf（默认：从内容识别）"),
         QStringLiteral("FORMAT")},
        {QStringLiteral("dry-run"), QStringLiteral("只检查并报告，不写入")},
        {QStringLiteral("skip-bad"), QStringLiteral("跳过有问题的题目，导入其余的")},
        {QStringLiteral("export"), QStringLiteral("不导入，而把科目（或 --paper 指定的试卷）导出到文件"),
         QStringLiteral("PATH")},
        {QStringLiteral("template"), QStringLiteral("写出空白的题库模板（.xlsx 或 .csv）"), QStringLiteral("PATH")},
    });
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("题库文件"), QStringLiteral("FILE..."));
    if (!parser.parse(arguments)) {
        err << parser.errorText() << Qt::endl;
        return 2;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        out << parser.helpText();
        return 0;
    }
    if (parser.isSet(QStringLiteral("template"))) {
        const QString path = parser.value(QStringLiteral("template"));
        if (!BankExport::writeTemplate(path)) {
            err << QStringLiteral("无法写入 %1").arg(path) << Qt::endl;
            return 1;
        }
        return 0;
    }
    const bool exporting = parser.isSet(QStringLiteral("export"));
    if (parser.positionalArguments().isEmpty() && !exporting) {
        err << QStringLiteral("没有给出要导入的文件") << Qt::endl << parser.helpText();
        return 2;
    }
    const QString dbPath = parser.isSet(QStringLiteral("db")) ? parser.value(QStringLiteral("db")) : defaultDb;
    if (!QFileInfo(dbPath).isFile()) {
        err << QStringLiteral("数据库文件不存在：%1").arg(dbPath) << Qt::endl;
        return 1;
    }
    // An import writes a backup and the journal beside the file: a folder that
    // takes no files or a full disk is named before anything is read.
    if (!parser.isSet(QStringLiteral("dry-run")) && !exporting) {
        const DataFileCheck::Result room =
            DataFileCheck::writeRoom(dbPath, DataFileCheck::roomWanted(QFileInfo(dbPath).size()));
        if (room.state != DataFileCheck::State::Usable) {
            err << QStringLiteral("数据文件 %1 %2，未导入").arg(dbPath, room.problem) << Qt::endl;
            return 1;
        }
    }
    int status = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
        db.setDatabaseName(dbPath);
        if (parser.isSet(QStringLiteral("dry-run")) || exporting)
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open()) {
            err << QStringLiteral("无法打开数据库 %1").arg(dbPath) << Qt::endl;
            status = 1;
        } else {
            status = exporting ? exportBank(db, parser, out, err) : importFiles(db, parser, out, err);
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connectionName);
    return status;
}
