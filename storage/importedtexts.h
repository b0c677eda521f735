#pragma once

#include <QSqlDatabase>

// The texts that imports stored before the import sanitiser existed, passed
// through it by one step of the schema migration: the questions that have an
// import key (stems, case texts, options, answers, explanations, source), the
// imported papers' names and section captions, and the chapters that only
// imported questions use. The shipped bank (rows without import keys) is
// trusted and left exactly as it is. Runs inside the migration's transaction;
// only rows whose text changes are written.
class ImportedTexts
{
public:
    static bool sanitise(QSqlDatabase db);
};
