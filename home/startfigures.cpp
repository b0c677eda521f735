#include "startfigures.h"

#include "reviewstore.h"
#include "subjectstore.h"

StartFigures StartFigures::read(QSqlDatabase db, const QDate &today)
{
    StartFigures figures;
    figures.scope = SubjectScope::current();
    figures.subjectId = SubjectStore::currentSubjectId();
    figures.today = today;
    figures.examDate = ReviewStore::examDate();
    figures.book = ReviewStore::bookCards(db, figures.scope);
    return figures;
}
