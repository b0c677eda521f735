// Walks through the program's screens on a copy of the sample bank and saves a
// picture of each into docs/screenshots/. Run it through tools/screenshots,
// which builds it, prepares the bank and provides the virtual display.
//
// Screens are reached the way a user reaches them (the main window's slots,
// the home form's list slots, the buttons of the login and candidate screens,
// the exam window's buttons) and found by class and object name, so the tour
// keeps working as screens are added. To picture a new screen, add a step.

#include "backupstore.h"
#include "bankactions.h"
#include "datafilegate.h"
#include "dbconnection.h"
#include "examrenli.h"
#include "importdialog.h"
#include "mainwindow.h"
#include "migrationnotice.h"
#include "modalanswerer.h"
#include "notestore.h"
#include "pagepreview.h"
#include "pagetext.h"
#include "pageview.h"
#include "practicetour.h"
#include "readingcomfort.h"
#include "progresspages.h"
#include "statisticsfigures.h"
#include "subjectscope.h"
#include "subjectstore.h"
#include "screenshotsession.h"
#include "soquestion.h"

#include "constants.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QLineEdit>
#include <QMessageBox>
#include <QTextStream>
#include <QTimer>
#include <functional>
#include <memory>
#include <tuple>

namespace {

const int pageLoadMs = 1500;
const QString samplePaperId = QStringLiteral("km1p1");
const QString searchWord = QStringLiteral("计算机");
const QString emptySearchWord = QStringLiteral("量子纠缠");
const QString longSearchWord = QStringLiteral("下列");

// Shows a page in a bare page view of the given size and pictures it, after
// running each script in turn (one picture per script when names are given).
void previewPage(ScreenshotSession &session, const QString &html, QSize size,
                 const QList<QPair<QString, QString>> &scriptsAndNames)
{
    PageView view;
    view.resize(size);
    view.setHtml(html);
    view.show();
    ScreenshotSession::settle(pageLoadMs);
    for (const auto &step : scriptsAndNames) {
        view.runScript(step.first);
        ScreenshotSession::settle(400);
        session.capture(&view, step.second);
    }
}

QWidget *openExamThroughLogin(ScreenshotSession &session, ModalAnswerer &modals, MainWindow &main)
{
    QMetaObject::invokeMethod(&main, "openExam", Q_ARG(QString, samplePaperId), Q_ARG(int, 0));
    ScreenshotSession::settle(800);
    QWidget *login = ScreenshotSession::topLevel("LoginForm");
    session.capture(login, QStringLiteral("05_login_screen"));
    if (!login)
        return nullptr;
    // The candidate screen and the exam window show the number typed here.
    if (auto *number = login->findChild<QLineEdit *>(QStringLiteral("lineEdit")))
        number->setText(QStringLiteral("1001"));
    ScreenshotSession::click(login, QStringLiteral("pushButton"));
    ScreenshotSession::settle(800);
    QWidget *info = ScreenshotSession::topLevel("InfoForm");
    session.capture(info, QStringLiteral("06_candidate_screen"));
    modals.expect({QStringLiteral("25_dialog_guide")});
    ScreenshotSession::click(info, QStringLiteral("pushButton"));
    ScreenshotSession::settle(1500);
    modals.expect({QStringLiteral("07_dialog_paper_introduction"), QStringLiteral("08_dialog_section_introduction")});
    ScreenshotSession::click(info, QStringLiteral("pushButton_3"));
    ScreenshotSession::settle(3000);
    return ScreenshotSession::topLevel("ExamRenLi");
}

// Without the simulated-test screens the exam window is opened directly.
QWidget *openExamDirectly(ModalAnswerer &modals, const QRect &geometry, const QString &paperId = samplePaperId,
                          const QStringList &dialogs = {QStringLiteral("07_dialog_paper_introduction"),
                                                        QStringLiteral("08_dialog_section_introduction")})
{
    auto *exam = new ExamRenLi(geometry.left(), geometry.top(), geometry.width(), geometry.height(), 1);
    exam->paperId = paperId;
    exam->examStatus = 0;
    modals.expect(dialogs);
    exam->show();
    ScreenshotSession::settle(3000);
    return exam;
}

void tourExam(ScreenshotSession &session, ModalAnswerer &modals, QWidget *exam)
{
    session.capture(exam, QStringLiteral("09_exam_window"));
    if (!exam)
        return;
    // Answer the first few questions by clicking their first option, and
    // flag the third for a second look.
    for (int i = 0; i < 4; ++i) {
        ScreenshotSession::runScript(exam, QStringLiteral("webExam"),
                                     QStringLiteral("$('.option input[type=button]').first().click();"));
        ScreenshotSession::settle(200);
        if (i == 2)
            ScreenshotSession::click(exam, QStringLiteral("checkBox"));
        ScreenshotSession::invoke(exam, "on_pbUp_clicked");
        ScreenshotSession::settle(400);
    }
    session.capture(exam, QStringLiteral("10_exam_window_answering"));
    modals.expect({QStringLiteral("11_dialog_help")});
    ScreenshotSession::invoke(exam, "on_pbHelp_clicked");
    ScreenshotSession::settle(300);
    modals.expect({QStringLiteral("12_dialog_unanswered"), QStringLiteral("13_dialog_hand_in")});
    ScreenshotSession::invoke(exam, "on_assignment_clicked");
    ScreenshotSession::settle(2500);
    session.capture(exam, QStringLiteral("14_exam_results"));
    ScreenshotSession::invoke(exam, "showAnswerForm");
    ScreenshotSession::settle(pageLoadMs);
    session.capture(exam, QStringLiteral("15_exam_review"));
    exam->close();
    ScreenshotSession::settle(800);
}

void tourSearch(ScreenshotSession &session, MainWindow &main)
{
    ScreenshotSession::invoke(&main, "openSo");
    ScreenshotSession::settle(800);
    QWidget *search = ScreenshotSession::topLevel("SoQuestion");
    if (!search) {
        search = new SoQuestion;
        search->show();
        ScreenshotSession::settle(800);
    }
    auto *keyword = search->findChild<QLineEdit *>(QStringLiteral("lineEdit"));
    const auto searchFor = [&](const QString &word) {
        if (keyword)
            keyword->setText(word);
        ScreenshotSession::click(search, QStringLiteral("soButton"));
        ScreenshotSession::settle(pageLoadMs);
    };
    searchFor(searchWord);
    ScreenshotSession::runScript(search, QStringLiteral("soWebView"),
                                 QStringLiteral("$('.but_showcang').first().click();"));
    ScreenshotSession::settle(300);
    session.capture(search, QStringLiteral("16_search_window"));
    searchFor(emptySearchWord);
    session.capture(search, QStringLiteral("19_search_nothing_found"));
    // A search with more hits than the first block: the next block comes as
    // the page nears its end; the picture shows where it begins.
    searchFor(longSearchWord);
    ScreenshotSession::runScript(search, QStringLiteral("soWebView"),
                                 QStringLiteral("window.scrollTo(0, document.body.scrollHeight);"));
    ScreenshotSession::settle(800);
    ScreenshotSession::runScript(search, QStringLiteral("soWebView"),
                                 QStringLiteral("document.querySelectorAll('#so_hits > div')[1].scrollIntoView();"
                                                "window.scrollBy(0, -160);"));
    ScreenshotSession::settle(400);
    session.capture(search, QStringLiteral("35_search_later_block"));
    search->close();
    ScreenshotSession::settle(800);
}

// Wrong-question and favourites practice, started from the home form as its
// list entries do.
void tourPractices(ScreenshotSession &session, ModalAnswerer &modals, MainWindow &main)
{
    QObject *home = ScreenshotSession::descendant(&main, "Fwelcome");
    const QList<std::tuple<const char *, QString, QString>> practices = {
        {"showErrorPaper", QStringLiteral("km1p2"), QStringLiteral("23_wrong_question_practice")},
        {"showshoucang", QStringLiteral("km1f1"), QStringLiteral("24_favourites_practice")},
    };
    for (const auto &practice : practices) {
        modals.expect({});
        if (!home || !QMetaObject::invokeMethod(home, std::get<0>(practice), Q_ARG(QString, std::get<1>(practice)))) {
            session.capture(nullptr, std::get<2>(practice));
            continue;
        }
        ScreenshotSession::settle(3000);
        QWidget *exam = ScreenshotSession::topLevel("ExamRenLi");
        session.capture(exam, std::get<2>(practice));
        if (exam)
            exam->close();
        ScreenshotSession::settle(800);
        home = ScreenshotSession::descendant(&main, "Fwelcome");
    }
}

// An unfinished paper put away and taken up again, then the 成绩记录 and
// 学习统计 pages and the review of the latest hand-in.
void tourProgress(ScreenshotSession &session, ModalAnswerer &modals, MainWindow &main)
{
    const QString paperId = QStringLiteral("km1p4");
    QWidget *exam = openExamDirectly(modals, main.geometry(), paperId, {});
    for (int i = 0; i < 3; ++i) {
        ScreenshotSession::runScript(exam, QStringLiteral("webExam"),
                                     QStringLiteral("$('.option input[type=button]').first().click();"));
        ScreenshotSession::settle(200);
        ScreenshotSession::invoke(exam, "on_pbUp_clicked");
        ScreenshotSession::settle(400);
    }
    modals.expect({QStringLiteral("41_dialog_keep_attempt")});
    exam->close();
    ScreenshotSession::settle(1500);
    exam->deleteLater();
    exam = openExamDirectly(modals, main.geometry(), paperId, {QStringLiteral("40_dialog_resume")});
    ScreenshotSession::settle(1000);
    modals.expect({});
    exam->close();
    ScreenshotSession::settle(1000);
    exam->deleteLater();
    if (!main.isVisible())
        main.show();

    QObject *home = ScreenshotSession::descendant(&main, "Fwelcome");
    for (const auto &page : QList<QPair<QString, QString>>{{QStringLiteral("history"), QStringLiteral("42_home_history")},
                                                           {QStringLiteral("statistics"), QStringLiteral("43_home_statistics")}}) {
        if (!home || !QMetaObject::invokeMethod(home, "homeAction", Q_ARG(QString, page.first))) {
            session.capture(nullptr, page.second);
            continue;
        }
        ScreenshotSession::settle(pageLoadMs);
        session.capture(&main, page.second);
    }
    // The whole statistics page, every chart in view.
    previewPage(session,
                ProgressPages::statisticsPage(StatisticsFigures::compute(
                    DbConnection::instance(QString(), true)->database(), SubjectScope::current(), QDate::currentDate())),
                {860, 1560}, {{QString(), QStringLiteral("45_page_statistics")}});
    QSqlQuery latest(DbConnection::instance(QString(), true)->database());
    if (latest.exec(QStringLiteral("SELECT max(id) FROM exam_history")) && latest.next()) {
        modals.expect({});
        QMetaObject::invokeMethod(&main, "openReview", Q_ARG(qint64, latest.value(0).toLongLong()));
        ScreenshotSession::settle(3000);
        QWidget *review = ScreenshotSession::topLevel("ExamRenLi");
        session.capture(review, QStringLiteral("44_history_review"));
        if (review)
            review->close();
        ScreenshotSession::settle(800);
    }
}

// Records that live in the program's own tables, added once it has brought
// data.db up to date.
void seedAfterOpen(const QString &dataDir)
{
    QFile file(dataDir + QStringLiteral("/seed_history.sql"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QStringList statements = QString::fromUtf8(file.readAll()).split(QStringLiteral(";\n"));
    for (const QString &statement : statements) {
        QSqlQuery query(DbConnection::instance(QString(), true)->database());
        if (!statement.trimmed().isEmpty() && !query.exec(statement))
            QTextStream(stderr) << "seed failed: " << query.lastError().text() << "\n";
    }
}

// Notes on two questions of the wrong-question practice: the note open
// beside its question, the 我的笔记 list and a search hit found by a note.
void tourNotes(ScreenshotSession &session, ModalAnswerer &modals, MainWindow &main)
{
    QSqlDatabase db = DbConnection::instance(appDirPath, true)->database();
    QSqlQuery book(db);
    book.exec(QStringLiteral("select questionId from error_answer where examid='km1p2' order by sequence limit 2"));
    const QStringList notes{QStringLiteral("页表口诀：先查快表，查不到再查页表。\n错因：把逻辑地址当成了物理地址。"),
                            QStringLiteral("记住：中断向量表在内存低端。")};
    for (int i = 0; book.next() && i < notes.size(); ++i)
        NoteStore::save(db, SubjectScope::current(), book.value(0).toString(), notes.at(i),
                        QDateTime(QDate(2026, 12, 8), QTime(9, 10 * i)));
    QObject *home = ScreenshotSession::descendant(&main, "Fwelcome");
    modals.expect({});
    if (home && QMetaObject::invokeMethod(home, "showErrorPaper", Q_ARG(QString, QStringLiteral("km1p2")))) {
        ScreenshotSession::settle(3000);
        QWidget *exam = ScreenshotSession::topLevel("ExamRenLi");
        ScreenshotSession::runScript(exam, QStringLiteral("webExam"),
                                     QStringLiteral("toggleNote(document.querySelector('.note_button'));"));
        ScreenshotSession::settle(400);
        session.capture(exam, QStringLiteral("54_note_in_practice"));
        if (exam)
            exam->close();
        ScreenshotSession::settle(800);
    } else {
        session.capture(nullptr, QStringLiteral("54_note_in_practice"));
    }
    home = ScreenshotSession::descendant(&main, "Fwelcome");
    if (home && QMetaObject::invokeMethod(home, "searchNotes", Q_ARG(QString, QString()))) {
        ScreenshotSession::settle(800);
        session.capture(&main, QStringLiteral("55_home_my_notes"));
    } else {
        session.capture(nullptr, QStringLiteral("55_home_my_notes"));
    }
    auto *search = new SoQuestion;
    search->show();
    ScreenshotSession::settle(800);
    if (auto *keyword = search->findChild<QLineEdit *>(QStringLiteral("lineEdit")))
        keyword->setText(QStringLiteral("页表口诀"));
    ScreenshotSession::click(search, QStringLiteral("soButton"));
    ScreenshotSession::settle(pageLoadMs);
    session.capture(search, QStringLiteral("56_search_note_hit"));
    search->close();
    ScreenshotSession::settle(800);
    ScreenshotSession::invoke(&main, "on_pb_home_clicked");
    ScreenshotSession::settle(800);
}

void tourHomeLists(ScreenshotSession &session, MainWindow &main)
{
    QObject *home = ScreenshotSession::descendant(&main, "Fwelcome");
    const QList<QPair<const char *, QString>> lists = {
        {"zhentiJS", QStringLiteral("02_home_papers")},
        {"moniJS", QStringLiteral("03_home_mock_papers")},
        {"cuotiJS", QStringLiteral("17_home_wrong_answers")},
        {"shoucangJS", QStringLiteral("18_home_favourites")},
    };
    for (const auto &list : lists) {
        if (!ScreenshotSession::invoke(home, list.first)) {
            session.capture(nullptr, list.second);
            continue;
        }
        ScreenshotSession::settle(800);
        session.capture(&main, list.second);
    }
    ScreenshotSession::invoke(&main, "on_pb_home_clicked");
    ScreenshotSession::settle(800);
}

// The import preview of a file with a few faulty questions, then the import
// of its sound ones and the paper in the mock paper list.
void tourImport(ScreenshotSession &session, MainWindow &main, const QString &dataDir)
{
    const QString path = dataDir + QStringLiteral("/消防安全练习.gift");
    QFile file(path);
    QFile example(QStringLiteral(TESSERA_SOURCE_DIR "/data/examples/安全与计算机.gift"));
    if (!file.open(QIODevice::WriteOnly) || !example.open(QIODevice::ReadOnly))
        return;
    file.write(example.readAll());
    file.write("\n::bad-1::配对：灭火器类型与适用火灾 {\n=干粉 -> 电气\n=泡沫 -> 油类\n}\n\n"
               "::bad-2::Which number? {#42}\n\n::bad-3::选项太多 {=1 ~2 ~3 ~4 ~5 ~6}\n");
    file.close();
    {
        ImportDialog dialog(path, DbConnection::instance(QString(), true)->database(), dataDir + "/img", &main);
        dialog.show();
        ScreenshotSession::settle(600);
        session.capture(&dialog, QStringLiteral("26_dialog_import"));
        dialog.skipBadBox->setChecked(true);
        dialog.importButton->click();
        ScreenshotSession::settle(600);
        // What the import then says, as the start page's 导入题库 shows it.
        std::unique_ptr<QMessageBox> done(
            BankActions::importDoneBox(dialog, SubjectStore::currentSubjectName(), &main));
        done->show();
        ScreenshotSession::settle(400);
        session.capture(done.get(), QStringLiteral("39_dialog_import_done"));
    }
    {
        // The preview of a Word question book: every question with its type
        // and answer, before anything is written.
        ImportDialog book(QStringLiteral(TESSERA_SOURCE_DIR "/data/examples/题库示例.docx"),
                          DbConnection::instance(QString(), true)->database(), dataDir + "/img", &main);
        book.show();
        ScreenshotSession::settle(800);
        session.capture(&book, QStringLiteral("38_dialog_import_book"));
    }
    QObject *home = ScreenshotSession::descendant(&main, "Fwelcome");
    if (ScreenshotSession::invoke(home, "moniJS")) {
        ScreenshotSession::settle(800);
        session.capture(&main, QStringLiteral("27_home_imported_paper"));
    }
    QMetaObject::invokeMethod(home, "homeAction", Q_ARG(QString, QStringLiteral("imported")));
    ScreenshotSession::settle(800);
    session.capture(&main, QStringLiteral("37_home_imported_papers"));
    ScreenshotSession::invoke(&main, "on_pb_home_clicked");
    ScreenshotSession::settle(800);
}

// The day's backup, then "恢复备份" listing it; and the start's question
// when data.db is missing, asked on a folder of its own.
void tourRecords(ModalAnswerer &modals, MainWindow &main, const QString &dataDir)
{
    BackupStore::backupNow(QStringLiteral("daily"));
    modals.expect({QStringLiteral("28_dialog_restore_backup")});
    QMetaObject::invokeMethod(ScreenshotSession::descendant(&main, "Fwelcome"), "homeAction",
                              Q_ARG(QString, QStringLiteral("restoreBackup")));
    ScreenshotSession::settle(800);
    modals.expect({QStringLiteral("29_dialog_missing_data_file")});
    QDir(dataDir).mkdir(QStringLiteral("fresh"));
    DataFileGate::admit(dataDir + QStringLiteral("/fresh/data.db"), dataDir + QStringLiteral("/data.db"));
}

// What the first start of a new version shows while data.db is upgraded:
// the title index being built, a step that does not say how far it is.
void tourMigrationNotice(ScreenshotSession &session, MainWindow &main)
{
    const QVector<SchemaMigration::Step> &steps = SchemaMigration::steps();
    SchemaMigration::Progress progress;
    progress.stages = steps.size() + 1;
    progress.stage = 4;
    progress.purpose = steps.at(progress.stage - 1).purpose;
    MigrationNotice notice;
    notice.show(progress);
    ScreenshotSession::settle(500);
    session.capture(notice.splash(), QStringLiteral("36_migration_notice"));
    notice.finish(&main);
}

// The start page, the exam window, the results, search and statistics at the
// largest text size (特大), then again in the night theme.
void tourReadingComfort(ScreenshotSession &session, ModalAnswerer &modals, MainWindow &main, ReadingComfort &comfort)
{
    const QList<std::tuple<TextSize::Step, PageTheme::Theme, QString>> looks = {
        {TextSize::Step::ExtraLarge, PageTheme::Theme::Day, QStringLiteral("extra_large")},
        {TextSize::Step::Medium, PageTheme::Theme::Night, QStringLiteral("night")},
    };
    int number = 60;
    for (const auto &look : looks) {
        comfort.setTextSize(std::get<0>(look));
        comfort.setTheme(std::get<1>(look));
        const QString suffix = QLatin1Char('_') + std::get<2>(look);
        const auto name = [&number, &suffix](const char *what) {
            return QString::number(number++) + QLatin1Char('_') + QLatin1String(what) + suffix;
        };
        if (!main.isVisible())
            main.show();
        ScreenshotSession::invoke(&main, "on_pb_home_clicked");
        ScreenshotSession::settle(1000);
        session.capture(&main, name("start_page"));

        QWidget *exam = openExamDirectly(modals, main.geometry(), samplePaperId, {});
        ScreenshotSession::runScript(exam, QStringLiteral("webExam"),
                                     QStringLiteral("$('.option input[type=button]').first().click();"));
        ScreenshotSession::settle(400);
        session.capture(exam, name("exam_window"));
        modals.expect({});
        ScreenshotSession::invoke(exam, "on_assignment_clicked");
        ScreenshotSession::settle(2500);
        session.capture(exam, name("exam_results"));
        exam->close();
        ScreenshotSession::settle(800);
        exam->deleteLater();

        auto *search = new SoQuestion;
        search->setAttribute(Qt::WA_DeleteOnClose);
        search->show();
        ScreenshotSession::settle(800);
        if (auto *keyword = search->findChild<QLineEdit *>(QStringLiteral("lineEdit")))
            keyword->setText(searchWord);
        ScreenshotSession::click(search, QStringLiteral("soButton"));
        ScreenshotSession::settle(pageLoadMs);
        session.capture(search, name("search_window"));
        search->close();
        ScreenshotSession::settle(800);

        if (!main.isVisible())
            main.show();
        QMetaObject::invokeMethod(ScreenshotSession::descendant(&main, "Fwelcome"), "homeAction",
                                  Q_ARG(QString, QStringLiteral("statistics")));
        ScreenshotSession::settle(pageLoadMs);
        session.capture(&main, name("statistics"));
    }
    comfort.setTextSize(TextSize::standard);
    comfort.setTheme(PageTheme::Theme::Day);
}

} // namespace

int main(int argc, char *argv[])
{
    PageView::prepareProcess();
    QApplication application(argc, argv);
    QTextStream err(stderr);
    if (argc != 3) {
        err << "usage: tessera_screenshots OUTPUT_DIR DATA_DIR (DATA_DIR holds a copy of data.db)\n";
        return 2;
    }
    // Never more than four minutes, whatever a screen does.
    QTimer::singleShot(240000, [] {
        QTextStream(stderr) << "screenshot run timed out\n";
        ::exit(3);
    });

    // Pictures of Qt WebEngine sit beside those of QtWebKit, to be compared.
    const bool webEngine = PageView::engineName() == QLatin1String("Qt WebEngine");
    ScreenshotSession session(QString::fromLocal8Bit(argv[1]), webEngine ? QStringLiteral("-webengine") : QString());
    PracticeTour::seed(DbConnection::instance(QString::fromLocal8Bit(argv[2]) + "/", true)->database());
    seedAfterOpen(QString::fromLocal8Bit(argv[2]));
    appDirPath = QCoreApplication::applicationDirPath() + "/";
    // The tour pictures the standard look; its last step the reader's others.
    ReadingComfort comfort;
    comfort.setTextSize(TextSize::standard);
    comfort.setTheme(PageTheme::Theme::Day);
    ModalAnswerer modals(session);

    previewPage(session, PagePreview::questionPage(), {900, 1400},
                {{PagePreview::questionStatesScript(), QStringLiteral("20_page_question_types")}});
    previewPage(session, PagePreview::questionPage(), {900, 640},
                {{PagePreview::resultsPopupScript(), QStringLiteral("21_page_results_popup")}});
    previewPage(session, PagePreview::cardPage(), {260, 420}, {{QString(), QStringLiteral("22_page_answer_card")}});

    // A first start on the two-subject sample bank asks for the subject.
    modals.expect({QStringLiteral("04_dialog_subject")});
    MainWindow main;
    main.show();
    ScreenshotSession::settle(3000);
    session.capture(&main, QStringLiteral("01_main_window"));

    QWidget *exam = openExamThroughLogin(session, modals, main);
    if (!exam)
        exam = openExamDirectly(modals, main.geometry());
    tourExam(session, modals, exam);
    tourSearch(session, main);

    if (!main.isVisible())
        main.show();
    tourProgress(session, modals, main);
    tourHomeLists(session, main);
    tourPractices(session, modals, main);
    PracticeTour::run(session, modals, main);
    tourNotes(session, modals, main);
    tourImport(session, main, QString::fromLocal8Bit(argv[2]));
    tourRecords(modals, main, QString::fromLocal8Bit(argv[2]));
    tourMigrationNotice(session, main);
    tourReadingComfort(session, modals, main, comfort);

    QTextStream(stdout) << session.saved().size() << " screenshots, " << modals.answeredCount()
                        << " dialogs answered\n";
    return 0;
}
