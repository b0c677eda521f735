#include "importdialog.h"

#include "bankfile.h"
#include "importpreview.h"
#include "subjectstore.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

ImportDialog::ImportDialog(const QString &path, QSqlDatabase db, const QString &imageDir, QWidget *parent)
    : QDialog(parent)
    , m_path(path)
    , m_db(db)
    , m_imageDir(imageDir)
{
    setWindowTitle(QStringLiteral("导入题库"));
    resize(620, 520);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_bank = BankFile::read(path);
    QApplication::restoreOverrideCursor();

    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("文件："), new QLabel(QFileInfo(path).fileName(), this));
    typesLabel = new QLabel(ImportPreview::typeSummary(m_bank), this);
    form->addRow(QStringLiteral("题目："), typesLabel);

    subjectBox = new QComboBox(this);
    subjectBox->setEditable(true);
    subjectBox->setInsertPolicy(QComboBox::NoInsert);
    subjectBox->lineEdit()->setPlaceholderText(QStringLiteral("选择科目，或输入新科目的名称"));
    const QString current = SubjectStore::currentSubjectId(db);
    for (const auto &subject : SubjectStore::subjects(db)) {
        subjectBox->addItem(subject.second, subject.first);
        if (subject.first == current)
            subjectBox->setCurrentIndex(subjectBox->count() - 1);
    }
    form->addRow(QStringLiteral("科目："), subjectBox);

    paperEdit = new QLineEdit(ImportPreview::paperNameOf(path), this);
    form->addRow(QStringLiteral("试卷名称："), paperEdit);
    minutesBox = new QSpinBox(this);
    minutesBox->setRange(1, 600);
    minutesBox->setValue(60);
    minutesBox->setSuffix(QStringLiteral(" 分钟"));
    form->addRow(QStringLiteral("考试时间："), minutesBox);
    changesLabel = new QLabel(this);
    changesLabel->setWordWrap(true);
    form->addRow(QStringLiteral("导入后："), changesLabel);
    layout->addLayout(form);

    const QStringList problems = ImportPreview::problemLines(m_bank);
    layout->addWidget(new QLabel(problems.isEmpty() ? QStringLiteral("没有发现问题。")
                                                    : QStringLiteral("发现的问题（%1 处错误）：").arg(m_bank.errorCount()),
                                 this));
    problemsView = new QPlainTextEdit(problems.join(QLatin1Char('\n')), this);
    problemsView->setReadOnly(true);
    layout->addWidget(problemsView, 1);
    skipBadBox = new QCheckBox(QStringLiteral("跳过有问题的题目"), this);
    skipBadBox->setEnabled(m_bank.errorCount() > 0);
    layout->addWidget(skipBadBox);
    progressBar = new QProgressBar(this);
    progressBar->setVisible(false);
    layout->addWidget(progressBar);

    auto *buttons = new QDialogButtonBox(this);
    importButton = buttons->addButton(QStringLiteral("导入"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(importButton, &QPushButton::clicked, this, &ImportDialog::runImport);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(subjectBox, &QComboBox::currentTextChanged, this, &ImportDialog::updatePlan);
    connect(paperEdit, &QLineEdit::textChanged, this, &ImportDialog::updatePlan);
    connect(skipBadBox, &QCheckBox::toggled, this, &ImportDialog::updateImportButton);
    updatePlan();
}

ImportRequest ImportDialog::request() const
{
    ImportRequest r;
    const QString typed = subjectBox->currentText().trimmed();
    const int index = subjectBox->findText(typed);
    if (index >= 0)
        r.subjectId = subjectBox->itemData(index).toString();
    else
        r.newSubjectName = typed;
    r.paperName = paperEdit->text().trimmed();
    r.minutes = minutesBox->value();
    r.sourceName = QFileInfo(m_path).fileName();
    r.skipBad = skipBadBox->isChecked();
    r.imageDir = m_imageDir;
    return r;
}

void ImportDialog::updatePlan()
{
    const ImportRequest r = request();
    const BankWriter writer(m_db);
    const QString subjectId = writer.subjectOf(r);
    if (!m_planned || subjectId != m_plannedSubject || r.paperName != m_plannedPaper) {
        m_plan = writer.plan(m_bank, r);
        m_plannedSubject = subjectId;
        m_plannedPaper = r.paperName;
        m_planned = true;
    }
    QString text = ImportPreview::changeSummary(m_plan, r.paperName);
    if (!r.newSubjectName.isEmpty())
        text += QStringLiteral("；新建科目“%1”").arg(r.newSubjectName);
    changesLabel->setText(text);
    updateImportButton();
}

void ImportDialog::updateImportButton()
{
    const ImportRequest r = request();
    importButton->setEnabled(!m_bank.questions.isEmpty() && (m_bank.errorCount() == 0 || r.skipBad)
                             && m_plan.refusal.isEmpty() && !r.paperName.isEmpty()
                             && !(r.subjectId.isEmpty() && r.newSubjectName.isEmpty()));
}

void ImportDialog::runImport()
{
    importButton->setEnabled(false);
    progressBar->setVisible(true);
    const auto progress = [this](int done, int total) {
        progressBar->setMaximum(total);
        progressBar->setValue(done);
        // Large files: the bar moves and the window repaints while rows are written.
        if (done % 200 == 0)
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    outcome = BankWriter(m_db).write(m_bank, request(), progress);
    if (outcome.ok) {
        accept();
        return;
    }
    progressBar->setVisible(false);
    problemsView->appendPlainText(QStringLiteral("未导入：") + outcome.error);
    importButton->setEnabled(true);
}
