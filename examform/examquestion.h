#pragma once

#include <QString>
#include <QStringList>

// One entry of a paper: a plain question, a composite stem or one of its
// leaves. The loaders fill the bank fields; the render methods turn the entry
// into the two halves of its page HTML and name the elements the page script
// and the exam window address.
class ExamQuestion
{
public:
    // Mode argument of the renderers: the practice status of the exam window.
    enum Mode { FormalPaper = 0, WrongPractice = 3, FavouritePractice = 5 };
    // Question types (column questionTypeid).
    enum Type { SingleChoice = 1, MultipleChoice = 2, TrueFalse = 3, FillIn = 4, Essay = 5, Composite = 6 };

    // The text a stored question is shown by: an essay's title, any other
    // type's titleImage. A case-study part keeps its case's text in title, so
    // an essay part is shown by its own titleImage when it has one.
    static QString stemOf(int type, bool part, const QString &title, const QString &titleImage);

    // Renders a top-level question of the exam window. appDirSlash is the
    // folder of the question media img/ and mp4/ (the data folder of
    // AppPaths) followed by "/"; highlight is a search word
    // (mode 5 only), empty from the exam window.
    void render(int mode, const QString &appDirSlash, const QString &highlight);
    // Renders a leaf of a composite question in the exam window.
    void renderLeaf(int mode, const QString &appDirSlash, const QString &highlight);
    // Renders a hit of the question search: explanation shown, favourite button,
    // the search word marked in the stem and the options.
    void renderSearch(int mode, const QString &appDirSlash, const QString &highlight);

    // The answer card's label: the number, with the leaf number after a dot ("12.3").
    QString cardLabel() const;

    // Some essay box holds more than blanks (a box is drawn holding a space).
    bool hasTypedEssay() const;

    QString html;               // stem, controls, result mark and button bar; leaves the outer div open
    QString answerHtml;         // hidden answer and explanation, then the end of the outer div
    bool isRight = false;
    QString userAnswer;
    QStringList essayTexts;     // texts typed into an essay's boxes, in box order
    double score = 0;
    QString id;
    QString title;
    QString option1;
    QString option2;
    QString option3;
    QString option4;
    QString option5;
    QString material;           // shared material of a composite's leaves
    QString chapterId;
    QString questionTypeid;
    int type = 0;
    QString answer;
    int optionLength = 0;
    QString analysis;
    double cent = 0;
    double difficulty = 0;
    QString source;
    QString questionYear;
    int level = 0;
    int layout = 0;
    int grade = 0;
    int sortNo = 0;
    QString parentId;
    QString fuleixingid;
    QString video;
    bool isCollect = false;
    int seq = 0;                // 1-based position in the paper's question list
    int number = 0;             // displayed number; a leaf shows its parent's
    int leafNo = 0;             // 0 top-level, 1.. for the leaves of a composite
    QString tname;              // hidden answer field
    QString focusId;            // question block
    QString barId;              // button bar
    QString resultId;           // right/wrong mark
    QString explainId;          // explanation block
    QString cardId;             // answer card entry
    QStringList optionIds;      // option buttons, blank or essay ids
    bool answered = false;
    bool revised = false;       // the given choice was changed to another
    int status = 2;             // 0 right, 1 answered wrong, 2 not answered
    bool marked = false;        // flagged by the user
    QString note;               // the candidate's note on the question (plain text)

private:
    enum class Variant { Paper, Leaf, Search };
    void renderVariant(Variant variant, int mode, const QString &appDirSlash, const QString &highlight);
    // The steps of a rendering, in page order. The control steps return the
    // id of their last option ("" when none was drawn).
    void appendStem(Variant variant, int mode, const QString &highlight);
    void appendAnswerField();
    QString appendChoiceButtons(Variant variant, int slots);
    QString appendBlanks(int slots);
    QString appendEssayBoxes(int slots);
    void appendButtonBar(Variant variant, const QString &lastOptionId, const QString &appDirSlash);
    void buildAnswerHtml(Variant variant, const QString &appDirSlash);
};
