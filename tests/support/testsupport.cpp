#include "testsupport.h"

#include "bigramtokenizer.h"
#include "dbconnection.h"
#include "pagetext.h"
#include "pageview.h"
#include "schemamigration.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMessageBox>
#include <QPointer>
#include <QSqlError>
#include <QSqlQuery>
#include <QStorageInfo>
#include <QTextEdit>
#include <QDeadlineTimer>
#include <QTimer>
#include <QWidget>
#include <unistd.h>

namespace TestSupport {

QString sourcePath(const QString &relative)
{
    return QStringLiteral(TESSERA_SOURCE_DIR "/") + relative;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

static QString readAll(const QString &path)
{
    return QString::fromUtf8(fileBytes(path));
}

QString sampleBankSql()
{
    return readAll(sourcePath(QStringLiteral("data/sample_bank.sql")));
}

QString fixtureSql(const QString &fileName)
{
    return readAll(sourcePath(QStringLiteral("tests/fixtures/") + fileName));
}

QString programPage(const QString &inlineScript, const QString &body)
{
    const QString base = appFileUrlBase();
    QString page = QStringLiteral("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />");
    for (const char *script : {"js/jQuery.js", "js/popup.js", "js/swfobject.js"})
        page += QStringLiteral("<script type=\"text/javascript\" src=\"") + base + QLatin1String(script)
            + QStringLiteral("\"></script>");
    return page + QStringLiteral("<script type=\"text/javascript\">") + inlineScript
        + QStringLiteral("</script></head><body>") + body + QStringLiteral("</body></html>");
}

void prepareTestProcess()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        qputenv("QT_QUICK_BACKEND", "software");
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    PageView::prepareProcess();
    BigramTokenizer::installOnEveryConnection();
}

bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    // A tick wakes the loop to look again when nothing else happens.
    QTimer tick;
    tick.start(5);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

bool waitForPage(PageView *view, int timeoutMs)
{
    if (!view->loading())
        return true;
    QEventLoop loop;
    QObject::connect(view, &PageView::pageReady, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return !view->loading();
}

QVariant pageValue(PageView *view, const QString &script, int timeoutMs)
{
    QEventLoop loop;
    bool answered = false;
    QVariant value;
    view->runScript(script, [&](const QVariant &result) {
        value = result;
        answered = true;
        loop.quit();
    });
    if (!answered) {
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return answered ? value : QVariant();
}

bool loadPage(PageView *view, const QString &html, int timeoutMs)
{
    view->setHtml(html);
    return waitForPage(view, timeoutMs);
}

QRect elementRect(PageView *view, const QString &selector, int timeoutMs)
{
    const QString quoted = QString::fromUtf8(QJsonDocument(QJsonArray{selector}).toJson(QJsonDocument::Compact));
    const QVariantList box = pageValue(view, QStringLiteral(
        "(function(){var e=document.querySelector(%1[0]);if(!e)return [];"
        "var r=e.getBoundingClientRect();return [r.left,r.top,r.width,r.height];})()").arg(quoted), timeoutMs).toList();
    if (box.size() != 4)
        return QRect();
    // Page pixels grow with the zoom factor on the way to the widget.
    const qreal zoom = view->zoomFactor();
    return QRectF(box[0].toReal() * zoom, box[1].toReal() * zoom, box[2].toReal() * zoom, box[3].toReal() * zoom)
        .toAlignedRect();
}

bool clickElement(PageView *view, const QString &selector, int timeoutMs)
{
    const QRect box = elementRect(view, selector, timeoutMs);
    if (box.isEmpty())
        return false;
    QTest::mouseClick(view->inputWidget(), Qt::LeftButton, Qt::NoModifier, box.center());
    return true;
}

void RecordingBridge::attachTo(PageView *view)
{
    view->publish(QStringLiteral("myjstest"), this);
}

void RecordingBridge::record(const char *name, const QStringList &args)
{
    calls << QLatin1String(name) + QLatin1Char('(') + args.join(QLatin1Char(',')) + QLatin1Char(')');
}

BridgeBarrier::BridgeBarrier(PageView *view)
    : QObject(view)
    , m_view(view)
{
    view->publish(QStringLiteral("testBarrier"), this);
}

bool BridgeBarrier::wait(int timeoutMs)
{
    const int mark = ++m_mark;
    m_view->runScript(QStringLiteral("testBarrier.reached(%1)").arg(mark));
    return waitUntil([this, mark] { return m_reached == mark; }, timeoutMs);
}

ScriptErrorLog::ScriptErrorLog(PageView *view)
    : QObject(view)
{
    connect(view, &PageView::scriptMessage, this, [this](const QString &message, int line) {
        scriptErrors << QStringLiteral("line %1: %2").arg(line).arg(message);
    });
}

// Splits a script into statements at ";" that end a line, which is how the
// schema and the fixtures are written (no ";" inside a text at a line end).
static QStringList splitStatements(const QString &sql)
{
    QStringList statements;
    QString current;
    const QStringList lines = sql.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1String("--")) && current.trimmed().isEmpty())
            continue;
        current += line + QLatin1Char('\n');
        if (trimmed.endsWith(QLatin1Char(';'))) {
            statements << current.trimmed();
            current.clear();
        }
    }
    if (!current.trimmed().isEmpty())
        statements << current.trimmed();
    return statements;
}

static QStringList columnOf(QSqlDatabase db, const QString &sql)
{
    QSqlQuery q(db);
    QStringList values;
    if (!q.exec(sql))
        return values;
    while (q.next())
        values << q.value(0).toString();
    return values;
}

static int scalarOf(QSqlDatabase db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql) || !q.next())
        return -1;
    return q.value(0).toInt();
}

FileConnection::FileConnection(const QString &path)
{
    static int made = 0;
    m_name = QStringLiteral("tessera_test_file_%1").arg(++made);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(path);
    db.open();
}

FileConnection::~FileConnection()
{
    database().close();
    QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase FileConnection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

QStringList FileConnection::column(const QString &sql) const
{
    return columnOf(database(), sql);
}

int FileConnection::scalar(const QString &sql) const
{
    return scalarOf(database(), sql);
}

bool writeDatabaseFile(const QString &path, const QString &extraSql)
{
    FileConnection file(path);
    bool ok = file.isOpen();
    const QStringList statements = splitStatements(
        readAll(sourcePath(QStringLiteral("data/schema.sql"))) + QLatin1Char('\n') + extraSql);
    for (const QString &statement : statements) {
        QSqlQuery q(file.database());
        if (ok && !q.exec(statement)) {
            qWarning("SQL failed: %s\n  %s", qPrintable(q.lastError().text()),
                     qPrintable(statement.left(300)));
            ok = false;
        }
    }
    return ok;
}

bool misdirectResultIndex(const QString &path)
{
    FileConnection file(path);
    QSqlQuery query(file.database());
    return file.isOpen() && query.exec(QStringLiteral("DROP INDEX idx_answer_paper"))
        && query.exec(QStringLiteral("CREATE INDEX idx_answer_paper ON exam_answer(id)"))
        && query.exec(QStringLiteral("PRAGMA writable_schema=ON"))
        && query.exec(QStringLiteral("UPDATE sqlite_master SET sql='CREATE INDEX idx_answer_paper ON exam_answer(paperId)'"
                                     " WHERE name='idx_answer_paper'"));
}

QSqlDatabase database()
{
    return DbConnection::instance(QString(), true)->database();
}

bool FreshDatabase::exec(const QString &sql)
{
    QSqlDatabase db = database();
    bool ok = true;
    for (const QString &statement : splitStatements(sql)) {
        QSqlQuery q(db);
        if (!q.exec(statement)) {
            qWarning("SQL failed: %s\n  %s", qPrintable(q.lastError().text()),
                     qPrintable(statement.left(300)));
            ok = false;
        }
    }
    return ok;
}

QStringList FreshDatabase::column(const QString &sql)
{
    return columnOf(database(), sql);
}

int FreshDatabase::scalar(const QString &sql)
{
    return scalarOf(database(), sql);
}

FreshDatabase::FreshDatabase(const QString &extraSql)
    : m_dir(new QTemporaryDir)
{
    const QString dir = m_dir->path() + QLatin1Char('/');
    DbConnection *connection = DbConnection::instance(dir, true);
    QSqlDatabase db = connection->database();
    // The program keeps one connection for the whole run; a test moves it to
    // its own new file.
    db.close();
    db.setDatabaseName(dir + QStringLiteral("data.db"));
    connection->dbPath = db.databaseName();
    connection->opened = db.open();
    m_ok = connection->opened
        && exec(readAll(sourcePath(QStringLiteral("data/schema.sql"))))
        && SchemaMigration::migrate(db).outcome == SchemaMigration::Outcome::Migrated
        && (extraSql.isEmpty() || exec(extraSql));
}

FreshDatabase::~FreshDatabase()
{
    database().close();
}

QString FreshDatabase::path() const
{
    return m_dir->path() + QStringLiteral("/data.db");
}

// The first page of table in the file at path, and the page size; 0 when
// the file or the table cannot be read. The journal is folded in first.
static int rootPage(const QString &path, const QString &table, int *pageSize)
{
    FileConnection file(path);
    QSqlQuery query(file.database());
    int root = 0;
    if (file.isOpen() && query.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"))
        && query.prepare(QStringLiteral("select rootpage from sqlite_master where name=?"))) {
        query.addBindValue(table);
        if (query.exec() && query.next())
            root = query.value(0).toInt();
    }
    *pageSize = file.scalar(QStringLiteral("PRAGMA page_size"));
    return *pageSize > 0 ? root : 0;
}

bool miscountCells(const QString &path, const QString &table)
{
    int pageSize = 0;
    const int root = rootPage(path, table, &pageSize);
    QFile bytes(path);
    // The page header's cell count: two bytes, big-endian, at offset 3.
    const qint64 at = qint64(root - 1) * pageSize + (root == 1 ? 100 : 0) + 3;
    if (root <= 0 || !bytes.open(QIODevice::ReadWrite) || !bytes.seek(at))
        return false;
    const QByteArray count = bytes.read(2);
    if (count.size() != 2)
        return false;
    const int cells = ((uchar(count.at(0)) << 8) | uchar(count.at(1))) + 5;
    const char raised[2] = {char(cells >> 8), char(cells & 0xff)};
    return bytes.seek(at) && bytes.write(raised, 2) == 2;
}

bool damageTable(const QString &path, const QString &table)
{
    int pageSize = 0;
    const int root = rootPage(path, table, &pageSize);
    QFile bytes(path);
    return root > 0 && bytes.open(QIODevice::ReadWrite) && bytes.seek(qint64(root - 1) * pageSize)
        && bytes.write(QByteArray(pageSize, '\x5a')) == pageSize;
}

void answerNextModal(std::function<void(QWidget *)> handler, int timeoutMs)
{
    auto *timer = new QTimer;
    auto elapsed = std::make_shared<int>(0);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, handler, elapsed, timeoutMs]() {
        *elapsed += 10;
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            handler(modal);
        } else if (*elapsed > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

void clickNextMessageBoxButton(const QString &buttonText, int timeoutMs)
{
    answerNextModal([buttonText](QWidget *modal) {
        if (clickMessageBoxButton(modal, buttonText))
            return;
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
    }, timeoutMs);
}

bool clickMessageBoxButton(QWidget *modal, const QString &buttonText)
{
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        for (QAbstractButton *button : box->buttons()) {
            if (button->text() == buttonText) {
                button->click();
                return true;
            }
        }
    }
    return false;
}

struct ModalCloser::Impl {
    std::function<bool(QWidget *)> answer;
    QTimer timer;
    int closed = 0;
    QStringList texts;
};

static QString modalText(QWidget *modal)
{
    if (auto *box = qobject_cast<QMessageBox *>(modal))
        return box->text();
    QStringList parts;
    for (QTextEdit *edit : modal->findChildren<QTextEdit *>())
        parts << edit->toPlainText();
    return parts.join(QLatin1Char('\n'));
}

ModalCloser::ModalCloser(std::function<bool(QWidget *)> answer)
    : d(new Impl)
{
    d->answer = std::move(answer);
    d->timer.setInterval(10);
    QObject::connect(&d->timer, &QTimer::timeout, [this]() {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal)
            d->texts << modalText(modal);
        if (modal && d->answer && d->answer(modal))
            return;
        if (auto *dialog = qobject_cast<QDialog *>(modal)) {
            ++d->closed;
            dialog->reject();
        } else if (modal) {
            ++d->closed;
            modal->close();
        }
    });
    d->timer.start();
}

ModalCloser::~ModalCloser() = default;

int ModalCloser::closedCount() const
{
    return d->closed;
}

QStringList ModalCloser::texts() const
{
    return d->texts;
}

ChildProgram::ChildProgram(const QString &program, const QProcessEnvironment &environment,
                           const QString &workingDirectory)
{
    QProcessEnvironment env = environment;
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    m_process.setProcessEnvironment(env);
    m_process.setWorkingDirectory(workingDirectory);
    m_process.start(program, QStringList());
    m_process.waitForStarted(30000);
}

ChildProgram::~ChildProgram()
{
    stop();
}

bool ChildProgram::waitUntilHolding(const QString &path)
{
    // Linux: the program's open files are its descriptors in /proc.
    const auto holds = [this, path] {
        const QString canonical = QFileInfo(path).canonicalFilePath();
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(m_process.processId()));
        for (const QFileInfo &fd : fds.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
            if (!canonical.isEmpty() && fd.symLinkTarget() == canonical)
                return true;
        }
        return false;
    };
    return QTest::qWaitFor([&] { return !running() || holds(); }, 30000) && running() && holds();
}

void ChildProgram::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(15000)) {
        m_process.kill();
        m_process.waitForFinished(15000);
    }
}

SmallDisk::SmallDisk(qint64 sizeBytes)
{
    m_mounted = m_dir.isValid()
        && QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                                       QStringLiteral("size=%1").arg(sizeBytes), QStringLiteral("tmpfs"),
                                                       m_dir.path()}) == 0;
}

SmallDisk::~SmallDisk()
{
    // Lazily: a file still open on it never leaves the mount behind.
    if (m_mounted)
        QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), m_dir.path()});
}

bool SmallDisk::fill()
{
    QFile filler(filePath(QStringLiteral(".filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return false;
    // Large blocks first, then single pages for the last bits of room.
    for (const int block : {1 << 16, 1 << 12}) {
        const QByteArray zeros(block, '\0');
        while (filler.write(zeros) == block) {
        }
    }
    filler.close();
    return QStorageInfo(filePath(QString())).bytesAvailable() < 4096;
}

void SmallDisk::release()
{
    QFile::remove(filePath(QStringLiteral(".filler")));
}

Immutable::Immutable(const QString &path)
    : m_path(path)
    , m_set(QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path}) == 0)
{
}

Immutable::~Immutable()
{
    if (m_set)
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_path});
}

} // namespace TestSupport
