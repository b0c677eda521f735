#pragma once

#include <QObject>
#include <QProcess>
#include <QRect>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <QtTest>
#include <functional>
#include <memory>

class PageView;
class QWidget;

// Runs a QtTest class on the offscreen platform unless the caller chose one.
#define TESSERA_TEST_MAIN(TestClass)                                   \
    int main(int argc, char *argv[])                                   \
    {                                                                  \
        TestSupport::prepareTestProcess();                             \
        QApplication app(argc, argv);                                  \
        app.setAttribute(Qt::AA_Use96Dpi, true);                       \
        TestClass tc;                                                  \
        QTEST_SET_MAIN_SOURCE_PATH                                     \
        return QTest::qExec(&tc, argc, argv);                          \
    }

namespace TestSupport {

// What a test program sets before its application object exists: the
// offscreen platform unless another is chosen, and what the web engine needs
// there (software drawing; no sandbox for root, in tests only); the title
// index's tokenizer for every connection, as the programs do.
void prepareTestProcess();

// Waits (at most timeoutMs) until done() holds, turning the event loop
// without pausing between turns: an engine whose browser side runs on this
// thread (Qt WebEngine) takes many turns for every page and every answer,
// and QTest::qWaitFor sleeps 10 ms after each. False when done() never held.
bool waitUntil(const std::function<bool()> &done, int timeoutMs = 10000);

// Waits (at most timeoutMs) until the page set last in view is ready; false
// when it is not.
bool waitForPage(PageView *view, int timeoutMs = 10000);

// The value of script run in view's page, waited for (at most timeoutMs; an
// invalid value then). Every test reads its pages through this one wait.
QVariant pageValue(PageView *view, const QString &script, int timeoutMs = 10000);

// Sets html in view and waits until it is ready.
bool loadPage(PageView *view, const QString &html, int timeoutMs = 10000);

// The box of the first element that selector matches in view's page, in the
// coordinates of view->inputWidget(); an empty box when nothing matches.
QRect elementRect(PageView *view, const QString &selector, int timeoutMs = 10000);

// Clicks the left button at the centre of that element, as a user would;
// false when nothing matches.
bool clickElement(PageView *view, const QString &selector, int timeoutMs = 10000);

// Path of a file in the source tree (data/schema.sql, ...).
QString sourcePath(const QString &relative);

// The program's one connection.
QSqlDatabase database();

// A fresh database file built from data/schema.sql and brought up to date by
// the schema migration, plus the given SQL, with the program's one connection
// pointed at it. Each call makes a new file; the
// previous one is closed.
class FreshDatabase
{
public:
    explicit FreshDatabase(const QString &extraSql = QString());
    ~FreshDatabase();
    QString path() const;
    bool ok() const { return m_ok; }
    // Runs statements (separated by ";" at line ends) on the connection.
    static bool exec(const QString &sql);
    // All values of the first column of a query, as texts.
    static QStringList column(const QString &sql);
    // The first value of a query as an integer (-1 when there is no row).
    static int scalar(const QString &sql);

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    bool m_ok = false;
};

// The bytes of a file; empty when it cannot be read.
QByteArray fileBytes(const QString &path);

// Writes bytes to a file, making its folders first; false when it cannot.
bool writeFile(const QString &path, const QByteArray &bytes);

// Loads the shipped sample bank into a fresh database.
QString sampleBankSql();

// The SQL of a bank in tests/fixtures (each file says what it holds); empty
// when the file cannot be read.
QString fixtureSql(const QString &fileName);

// A page like the program's: jQuery and the popup and player scripts from
// beside the program, then the given script inline, then body.
QString programPage(const QString &inlineScript, const QString &body);

// Stands in for a form on a page: records every bridge call that reaches it as
// "name(arg,arg)", in call order.
class RecordingBridge : public QObject
{
    Q_OBJECT
public:
    QStringList calls;

    // Publishes the bridge as "myjstest" to view's pages.
    void attachTo(PageView *view);

public slots:
    void setAsQuestionJs(const QString &id, const QString &value) { record("setAsQuestionJs", {id, value}); }
    void shoucang(const QString &tid, const QString &on) { record("shoucang", {tid, on}); }
    void setLocationJs(const QString &id, const QString &sequence) { record("setLocationJs", {id, sequence}); }
    void againQuestion() { record("againQuestion", {}); }
    void showAnswerForm() { record("showAnswerForm", {}); }
    void openkaojuang(const QString &id) { record("openkaojuang", {id}); }
    void showErrorPaper(const QString &id) { record("showErrorPaper", {id}); }
    void showshoucang(const QString &id) { record("showshoucang", {id}); }
    void jsXZBF(const QString &id) { record("jsXZBF", {id}); }
    void del_question(const QString &id) { record("del_question", {id}); }
    void zhentiJS() { record("zhentiJS", {}); }
    void moniJS() { record("moniJS", {}); }
    void cuotiJS() { record("cuotiJS", {}); }
    void qingchuJS() { record("qingchuJS", {}); }
    void sotiJS() { record("sotiJS", {}); }
    void soQuestionJS() { record("soQuestionJS", {}); }
    void shoucangJS() { record("shoucangJS", {}); }
    void switchSubject() { record("switchSubject", {}); }
    void homeAction(const QString &key) { record("homeAction", {key}); }
    void dailyPractice() { record("dailyPractice", {}); }
    void noteChangedJs(const QString &id, const QString &text) { record("noteChangedJs", {id, text}); }
    void searchNotes(const QString &words) { record("searchNotes", {words}); }
    void practiseNote(const QString &id) { record("practiseNote", {id}); }

private:
    void record(const char *name, const QStringList &args);
};

// Lets a test wait until the bridge calls a page made so far have arrived:
// published to the view (as "testBarrier", before its page is set) beside
// the page's bridge, it answers a call of its own that comes back after
// them.
class BridgeBarrier : public QObject
{
    Q_OBJECT
public:
    explicit BridgeBarrier(PageView *view);
    // False when the calls did not arrive within timeoutMs.
    bool wait(int timeoutMs = 10000);

public slots:
    void reached(int mark) { m_reached = mark; }

private:
    PageView *m_view;
    int m_mark = 0;
    int m_reached = 0;
};

// Keeps the script messages of a page view ("line N: message"), so that a
// test can fail on any script error.
class ScriptErrorLog : public QObject
{
public:
    explicit ScriptErrorLog(PageView *view);
    QStringList scriptErrors;
};

// A connection of its own to a database file, opened at once and closed and
// removed with the object; it leaves the program's one connection alone.
// Queries made on database() must be gone before the object goes.
class FileConnection
{
public:
    explicit FileConnection(const QString &path);
    ~FileConnection();
    FileConnection(const FileConnection &) = delete;
    FileConnection &operator=(const FileConnection &) = delete;
    QSqlDatabase database() const;
    bool isOpen() const { return database().isOpen(); }
    // All values of the first column of a query, as texts.
    QStringList column(const QString &sql) const;
    // The first value of a query as an integer (-1 when there is no row).
    int scalar(const QString &sql) const;

private:
    QString m_name;
};

// Writes a database file at path from data/schema.sql plus the given SQL on a
// connection of its own, leaving the program's one connection alone (for a
// data.db that another process opens). False when a statement fails.
bool writeDatabaseFile(const QString &path, const QString &extraSql = QString());

// Leaves the file's index idx_answer_paper holding the results' ids while the
// schema says it holds their paper ids: a damaged index whose pages are sound.
bool misdirectResultIndex(const QString &path);

// Overwrites the first page of a table in the file with noise.
bool damageTable(const QString &path, const QString &table);

// Raises the cell count of a table's first page: the page still reads, and
// the integrity check finds cells out of range ("On tree page 2 cell 6: ...").
bool miscountCells(const QString &path, const QString &table);

// Calls handler with the next modal widget (dialog, message box) that opens
// within timeoutMs. Use before the call that runs the dialog with exec().
void answerNextModal(std::function<void(QWidget *)> handler, int timeoutMs = 5000);

// Clicks the button with the given text on the next message box.
void clickNextMessageBoxButton(const QString &buttonText, int timeoutMs = 5000);

// Clicks the button with the given text on a message box; false when modal
// is no message box or has no such button.
bool clickMessageBoxButton(QWidget *modal, const QString &buttonText);

// Closes (rejects) every modal that opens until stopped: for flows whose
// information dialogs are of no interest to a test. An answer, when given, sees
// each modal first; the modals it answers (returns true for) stay to it.
class ModalCloser
{
public:
    explicit ModalCloser(std::function<bool(QWidget *)> answer = nullptr);
    ~ModalCloser();
    int closedCount() const;
    // The text of every modal closed so far, in order: a message box's text,
    // or the plain text of a dialog's text areas.
    QStringList texts() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// A program run as a child process with the given environment (offscreen),
// stopped when the object goes: terminated, killed if it does not end.
class ChildProgram
{
public:
    ChildProgram(const QString &program, const QProcessEnvironment &environment,
                 const QString &workingDirectory = QString());
    ~ChildProgram();
    QProcess &process() { return m_process; }
    bool running() const { return m_process.state() == QProcess::Running; }
    // Waits until the program holds path open; false when it ended first or
    // did not open it within 30 s.
    bool waitUntilHolding(const QString &path);
    void stop();

private:
    QProcess m_process;
};

// A small disk of its own: a tmpfs of sizeBytes mounted on a temporary
// folder, unmounted with the object. Needs the right to mount (tests skip
// when mounted() is false).
class SmallDisk
{
public:
    explicit SmallDisk(qint64 sizeBytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;
    bool mounted() const { return m_mounted; }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    // Takes all the free room with a file of its own; false when room is left.
    bool fill();
    // Gives back the room fill() took.
    void release();

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

// Gives path (a file or a folder) the immutable attribute while the object
// lives: nothing, not even root, writes it or creates files in it. set() is
// false when the file system offers no such attribute.
class Immutable
{
public:
    explicit Immutable(const QString &path);
    ~Immutable();
    Immutable(const Immutable &) = delete;
    Immutable &operator=(const Immutable &) = delete;
    bool set() const { return m_set; }

private:
    QString m_path;
    bool m_set = false;
};

} // namespace TestSupport
