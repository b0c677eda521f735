#include "practicetour.h"

#include "drawingbank.h"
#include "generatedpaperstore.h"
#include "mainwindow.h"
#include "modalanswerer.h"
#include "reviewstore.h"
#include "screenshotsession.h"

#include <QSqlQuery>
#include <QWidget>

namespace PracticeTour {

void seed(QSqlDatabase db)
{
    const QDate today = QDate::currentDate();
    ReviewStore::setExamDate(today.addDays(21));
    const QString day = QStringLiteral("date('now','localtime',%1)");
    QSqlQuery query(db);
    // A single choice answered wrongly nine times; another now mastered.
    query.exec(QStringLiteral("insert or replace into review_card values('km1q024',0.4,9.6,%1,%2,14,9)")
                   .arg(day.arg(QStringLiteral("'-1 day'")), day.arg(QStringLiteral("'+0 day'"))));
    query.exec(QStringLiteral("insert or replace into review_card values('km1q021',48.3,4.1,%1,%2,6,1)")
                   .arg(day.arg(QStringLiteral("'-2 day'")), day.arg(QStringLiteral("'+46 day'"))));
    query.exec(QStringLiteral("insert or replace into mastered_question select questionId,subjectId,chapterId,parentId,"
                              "examid,sequence,fuleixingid,%1 from error_answer where questionId='km1q021'")
                   .arg(day.arg(QStringLiteral("'-2 day'"))));
    query.exec(QStringLiteral("delete from error_answer where questionId='km1q021'"));

    const PaperBlueprint blueprint = PaperBlueprint::fromPapers(DrawingBank::blueprintSources(db, QStringLiteral("km1")));
    DrawRequest request;
    request.sections = blueprint.sections;
    request.seed = 1;
    request.today = today;
    GeneratedPaperStore::Paper paper;
    paper.subjectId = QStringLiteral("km1");
    paper.sections = PaperDrawer(DrawingBank::candidates(db, QStringLiteral("km1"))).draw(request);
    paper.examMinutes = blueprint.examMinutes;
    paper.createdOn = today;
    GeneratedPaperStore::create(db, paper);
}

void run(ScreenshotSession &session, ModalAnswerer &modals, MainWindow &main)
{
    QObject *home = ScreenshotSession::descendant(&main, "Fwelcome");
    session.capture(&main, QStringLiteral("30_home_review_actions"));

    modals.expect({});
    QMetaObject::invokeMethod(home, "homeAction", Q_ARG(QString, QStringLiteral("review")));
    ScreenshotSession::settle(3000);
    QWidget *exam = ScreenshotSession::topLevel("ExamRenLi");
    session.capture(exam, QStringLiteral("31_daily_review"));
    if (exam)
        exam->close();
    ScreenshotSession::settle(800);

    home = ScreenshotSession::descendant(&main, "Fwelcome");
    QMetaObject::invokeMethod(home, "homeAction", Q_ARG(QString, QStringLiteral("stubborn")));
    ScreenshotSession::settle(800);
    session.capture(&main, QStringLiteral("32_home_stubborn_questions"));

    modals.expect({QStringLiteral("33_dialog_draw_paper")});
    QMetaObject::invokeMethod(home, "homeAction", Q_ARG(QString, QStringLiteral("draw")));
    ScreenshotSession::settle(300);
    QMetaObject::invokeMethod(home, "homeAction", Q_ARG(QString, QStringLiteral("drawn")));
    ScreenshotSession::settle(800);
    session.capture(&main, QStringLiteral("34_home_drawn_papers"));
    ScreenshotSession::invoke(&main, "on_pb_home_clicked");
    ScreenshotSession::settle(800);
}

} // namespace PracticeTour
