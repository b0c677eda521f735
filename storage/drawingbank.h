#pragma once

#include "paperblueprint.h"
#include "paperdrawer.h"

#include <QPair>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

// What drawing a paper reads from the bank: the subject's papers as blueprint
// sources, its questions as candidates with what the candidate did with them,
// and its categories and chapters for the choices of the draw dialog.
class DrawingBank
{
public:
    struct Category
    {
        QString id;
        QString name;
        int questionType = 0;
    };

    // Every section of the subject's papers; drawn papers are not a blueprint.
    static QVector<BlueprintSource> blueprintSources(QSqlDatabase db, const QString &subjectId);
    // The top-level questions of the subject's categories, case studies with
    // their parts, each with its lapses and the last day it was answered.
    static QVector<DrawCandidate> candidates(QSqlDatabase db, const QString &subjectId);
    static QVector<Category> categories(QSqlDatabase db, const QString &subjectId);
    // (id, name) of the subject's chapters in their order.
    static QVector<QPair<QString, QString>> chapters(QSqlDatabase db, const QString &subjectId);
};
