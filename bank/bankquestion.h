#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

// One question of a bank read from a file, in no file's format: the parsers
// fill it, the database writer stores it and the exporters write it out again.
struct BankQuestion
{
    // Codes of exam_question.questionTypeid.
    enum Type { Unknown = 0, SingleChoice = 1, MultipleChoice = 2, TrueFalse = 3, FillIn = 4,
                Essay = 5, CaseStudy = 6 };

    int type = Unknown;
    QString stemHtml;
    QStringList optionsHtml;       // choice questions: A, B, ... in order
    QString answerLetters;         // choice: "B", "ACD"; true/false: "A" true, "B" false
    QList<QStringList> blanks;     // fill-in: the accepted texts of each blank, in blank order
    QString explanationHtml;
    double marks = 1;
    QString category;              // the file's category path, "/"-separated
    QString chapter;               // the chapter named by the file, if any
    double difficulty = 0;         // 0: not given
    QString key;                   // stable key named by the file ("" when it names none)
    int line = 0;                  // 1-based line (or row) where the question starts
    QVector<BankQuestion> parts;   // case study: its questions
    QString note;                  // the candidate's own note (plain text): only the wrong-question book's export carries it

    // The chapter the question is filed under: the named chapter, else its
    // category path with " / " between the names ("Iota / Kappa / Lambda").
    QString chapterName() const;
    // A category path ("Iota/Kappa/Lambda", "//" a "/" inside a name) as a
    // chapter name, and back.
    static QString chapterOfCategory(const QString &path);
    static QString categoryOfChapter(const QString &chapterName);
    // The one naming of question types: "单选" ... "简答", "案例" (empty for
    // an unknown type), and as a title "单项选择题", "多项选择题", "判断题",
    // "填空题", "简答题", "案例分析题" (sections, charts and results alike).
    static QString typeName(int type);
    static QString typeTitle(int type);
    // Some question or part of questions carries a note.
    static bool anyNote(const QVector<BankQuestion> &questions);
};
