#pragma once

#include "bankwriter.h"
#include "parsedbank.h"

#include <QDialog>
#include <QSqlDatabase>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;

// The preview of a question file before it is imported: its questions by
// type, the subject (the current one, another, or a new one typed in), the
// paper's name and time, what changes in a paper imported from it before,
// and every problem with its line. "导入" writes it, with a progress bar.
class ImportDialog : public QDialog
{
    Q_OBJECT
public:
    ImportDialog(const QString &path, QSqlDatabase db, const QString &imageDir, QWidget *parent = nullptr);

    // After a successful import: where it went.
    ImportOutcome outcome;

    // The widgets, for tests and the screenshot tour.
    QComboBox *subjectBox = nullptr;
    QLineEdit *paperEdit = nullptr;
    QSpinBox *minutesBox = nullptr;
    QCheckBox *skipBadBox = nullptr;
    QLabel *typesLabel = nullptr;
    QLabel *changesLabel = nullptr;
    QPlainTextEdit *problemsView = nullptr;
    QProgressBar *progressBar = nullptr;
    QPushButton *importButton = nullptr;

private:
    ImportRequest request() const;
    void updatePlan();
    void updateImportButton();
    void runImport();

    QString m_path;
    QSqlDatabase m_db;
    QString m_imageDir;
    ParsedBank m_bank;
    // The plan depends only on the subject and the paper's name: kept while they stay.
    ImportCounts m_plan;
    QString m_plannedSubject;
    QString m_plannedPaper;
    bool m_planned = false;
};
