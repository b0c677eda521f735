#include "searchmeasure.h"

#include "pageloadwaiter.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QWebView>

#if __has_include("questionsearch.h") && __has_include("searchresultpage.h")
#include "exampaper.h"
#include "soquestion.h"
#define BENCH_HAS_SEARCH 1
#endif

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

MeasureResult SearchMeasure::search()
{
    MeasureResult result(QStringLiteral("search"));
    result.targetMs = 300;
#ifdef BENCH_HAS_SEARCH
    SoQuestion window;
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
#else
    result.missing = QStringLiteral("search window");
#endif
    return result;
}
