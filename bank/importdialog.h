#pragma once

#include "bankwriter.h"
#include "parsedbank.h"

#include <QDialog>
#include <QSqlDatabase>
#include <QTimer>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTabWidget;

// The preview of questions before they are imported, from a file or from text
// pasted into the dialog: its questions by type and one by one with their
// answers, the subject (the current one, another, or a new one typed in), the
// paper's name and time, what changes in a paper imported from the same
// source before, and every problem with its line. "导入" writes it, with a
// progress bar.
class ImportDialog : public QDialog
{
    Q_OBJECT
public:
    // path: the file to preview; "" opens the dialog without one.
    ImportDialog(const QString &path, QSqlDatabase db, const QString &imageDir, QWidget *parent = nullptr);

    // After a successful import: where it went.
    ImportOutcome outcome;

    // The widgets, for tests and the screenshot tour.
    QTabWidget *sourceTabs = nullptr;      // 0: a file, 1: pasted text
    QPushButton *chooseButton = nullptr;
    QPlainTextEdit *pasteEdit = nullptr;
    QComboBox *subjectBox = nullptr;
    QLineEdit *paperEdit = nullptr;
    QSpinBox *minutesBox = nullptr;
    QCheckBox *skipBadBox = nullptr;
    QLabel *typesLabel = nullptr;
    QLabel *changesLabel = nullptr;
    QPlainTextEdit *questionsView = nullptr;
    QPlainTextEdit *problemsView = nullptr;
    QProgressBar *progressBar = nullptr;
    QPushButton *importButton = nullptr;

    // Reads the pasted text now (it is read by itself a moment after typing stops).
    void recognisePaste();
    // The questions of the source shown (the file or the pasted text).
    const ParsedBank &importedBank() const { return bank(); }

private:
    void openFile(const QString &path);
    const ParsedBank &bank() const;
    QString sourceName() const;
    void showBank();
    ImportRequest request() const;
    void updatePlan();
    void updateImportButton();
    void runImport();

    QString m_path;
    QSqlDatabase m_db;
    QString m_imageDir;
    QLabel *m_fileLabel = nullptr;
    QLabel *m_problemsTitle = nullptr;
    QTabWidget *m_views = nullptr;
    ParsedBank m_fileBank;
    ParsedBank m_pasteBank;
    QTimer m_pasteTimer;
    // The plan depends on the subject, the source, its questions and the paper's name: kept while they stay.
    ImportCounts m_plan;
    QString m_plannedFor;
    int m_generation = 0;
};
