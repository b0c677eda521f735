#include "searchmeasure.h"

#include "exampaper.h"
#include "pageloadwaiter.h"
#include "questionsearch.h"
#include "searchresultpage.h"
#include "soquestion.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QWebSettings>
#include <QWebView>

namespace {

// Runs of the two splitting figures: each costs a full page display.
const int splitRuns = 5;

} // namespace

SearchMeasure::SearchMeasure(const BenchContext &context) : m_context(context) {}

double SearchMeasure::likeQuery() const
{
    QElapsedTimer timer;
    timer.start();
    QSqlQuery query(m_context.db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("select * from exam_question where title LIKE :pattern and "
                                 "relationship='' ORDER BY questionTypeid"));
    query.bindValue(QStringLiteral(":pattern"), QStringLiteral("%") + m_context.keyword + QStringLiteral("%"));
    if (!query.exec())
        return -1;
    int characters = 0;
    while (query.next()) {
        const QSqlRecord row = query.record();
        for (int column = 0; column < row.count(); ++column)
            characters += row.value(column).toString().size();
    }
    const double ms = elapsedMs(timer);
    return characters > 0 ? ms : -1;
}

double SearchMeasure::codeOnly() const
{
    QElapsedTimer timer;
    timer.start();
    const std::unique_ptr<ExamPaper> results =
        QuestionSearch::run(m_context.db, m_context.keyword, 5, m_context.appDirSlash);
    const QString page = SearchResultPage::build(*results, m_context.appDirSlash);
    const double ms = elapsedMs(timer);
    return page.isEmpty() || results->questions.empty() ? -1 : ms;
}

double SearchMeasure::showInBareView(const QString &page)
{
    QWebView view;
    view.settings()->setAttribute(QWebSettings::JavascriptEnabled, true);
    view.resize(1100, 700);
    view.show();
    PageLoadWaiter loaded(&view);
    QElapsedTimer timer;
    timer.start();
    view.setHtml(page, QUrl());
    if (!loaded.wait())
        return -1;
    return elapsedMs(timer);
}

MeasureResult SearchMeasure::search()
{
    MeasureResult result(QStringLiteral("search"));
    result.targetMs = 300;
    SoQuestion window;
    window.resize(1100, 760);
    window.show();
    result.collect(
        m_context.runs,
        [&] {
            PageLoadWaiter loaded(window.soWebView);
            QElapsedTimer timer;
            timer.start();
            window.runSearch(m_context.keyword);
            window.buildResultPage();
            if (!loaded.wait() || !window.results() || window.results()->questions.empty())
                return -1.0;
            return elapsedMs(timer);
        },
        [this] { return likeQuery(); });

    MeasureResult split(QStringLiteral("search_split"));
    const QString page = SearchResultPage::build(*window.results(), m_context.appDirSlash);
    split.collect(
        m_context.smoke ? 1 : splitRuns, [this] { return codeOnly(); },
        [&page] { return showInBareView(page); });
    result.failed = result.failed || split.failed;
    result.extras << QStringLiteral("code_ms=") + QString::number(MeasureResult::median(split.ours), 'f', 2)
                  << QStringLiteral("show_floor_ms=")
            + QString::number(MeasureResult::median(split.floor), 'f', 2);
    return result;
}
