#pragma once

#include "reviewcard.h"
#include "subjectscope.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

// What the start page's action badges are made from, read once for each
// build of the page: the wrong-question book's cards serve both the day's
// reviews and the stubborn questions.
struct StartFigures
{
    SubjectScope scope;
    QString subjectId;
    QDate today;
    QDate examDate;
    QVector<ReviewCard> book;

    static StartFigures read(QSqlDatabase db, const QDate &today);
};
