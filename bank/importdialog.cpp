#include "importdialog.h"

#include "bankfile.h"
#include "bookfile.h"
#include "dialogframe.h"
#include "importfolder.h"
#include "importpreview.h"
#include "subjectstore.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// Pasted text is the source of its paper under the paper's name, so pasting
// a changed text under the same name updates that paper.
const QString pastedSource = QStringLiteral("粘贴的文本：");

} // namespace

ImportDialog::ImportDialog(const QString &path, QSqlDatabase db, const QString &imageDir, QWidget *parent)
    : QDialog(parent)
    , m_db(db)
    , m_imageDir(imageDir)
{
    setWindowTitle(QStringLiteral("导入题库"));
    DialogFrame::apply(this);
    resize(680, 720);

    auto *layout = new QVBoxLayout(this);
    sourceTabs = new QTabWidget(this);
    auto *filePage = new QWidget(sourceTabs);
    auto *fileRow = new QHBoxLayout(filePage);
    m_fileLabel = new QLabel(QStringLiteral("还没有选择文件（可用 GIFT、Aiken、Moodle XML、CSV、XLSX、Word、WPS、PDF、文本）"),
                             filePage);
    m_fileLabel->setWordWrap(true);
    chooseButton = new QPushButton(QStringLiteral("选择文件…"), filePage);
    fileRow->addWidget(m_fileLabel, 1);
    fileRow->addWidget(chooseButton);
    sourceTabs->addTab(filePage, QStringLiteral("题库文件"));
    pasteEdit = new QPlainTextEdit(sourceTabs);
    pasteEdit->setAccessibleName(QStringLiteral("粘贴的题目"));
    pasteEdit->setPlaceholderText(QStringLiteral("把题目粘贴到这里，例如：\n一、单项选择题\n1．下列属于输出设备的是（ ）。\n"
                                                 "A．键盘  B．打印机  C．鼠标  D．扫描仪\n答案：B"));
    sourceTabs->addTab(pasteEdit, QStringLiteral("粘贴文本"));
    layout->addWidget(sourceTabs, 1);

    auto *form = new QFormLayout;
    typesLabel = new QLabel(this);
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
    paperEdit = new QLineEdit(this);
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

    auto *views = m_views = new QTabWidget(this);
    questionsView = new QPlainTextEdit(views);
    questionsView->setAccessibleName(QStringLiteral("识别出的题目"));
    questionsView->setReadOnly(true);
    questionsView->setLineWrapMode(QPlainTextEdit::NoWrap);
    views->addTab(questionsView, QStringLiteral("识别出的题目"));
    auto *problemsPage = new QWidget(views);
    auto *problemsLayout = new QVBoxLayout(problemsPage);
    m_problemsTitle = new QLabel(problemsPage);
    problemsView = new QPlainTextEdit(problemsPage);
    problemsView->setAccessibleName(QStringLiteral("有问题的题目"));
    problemsView->setReadOnly(true);
    problemsLayout->addWidget(m_problemsTitle);
    problemsLayout->addWidget(problemsView, 1);
    views->addTab(problemsPage, QStringLiteral("问题和未识别的行"));
    layout->addWidget(views, 1);
    skipBadBox = new QCheckBox(QStringLiteral("跳过有问题的题目"), this);
    layout->addWidget(skipBadBox);
    progressBar = new QProgressBar(this);
    progressBar->setVisible(false);
    layout->addWidget(progressBar);

    auto *buttons = new QDialogButtonBox(this);
    importButton = buttons->addButton(QStringLiteral("导入"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    m_pasteTimer.setSingleShot(true);
    m_pasteTimer.setInterval(400);
    connect(importButton, &QPushButton::clicked, this, &ImportDialog::runImport);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(chooseButton, &QPushButton::clicked, this, [this]() {
        const QString chosen = QFileDialog::getOpenFileName(this, QStringLiteral("导入题库"),
                                                            ImportFolder::start(m_db), ImportPreview::fileFilter());
        if (chosen.isEmpty())
            return;
        ImportFolder::remember(m_db, chosen);
        openFile(chosen);
    });
    connect(pasteEdit, &QPlainTextEdit::textChanged, &m_pasteTimer, qOverload<>(&QTimer::start));
    connect(&m_pasteTimer, &QTimer::timeout, this, &ImportDialog::recognisePaste);
    connect(sourceTabs, &QTabWidget::currentChanged, this, &ImportDialog::showBank);
    connect(subjectBox, &QComboBox::currentTextChanged, this, &ImportDialog::updatePlan);
    connect(paperEdit, &QLineEdit::textChanged, this, &ImportDialog::updatePlan);
    connect(skipBadBox, &QCheckBox::toggled, this, &ImportDialog::updateImportButton);
    if (path.isEmpty())
        showBank();
    else
        openFile(path);
}

void ImportDialog::openFile(const QString &path)
{
    m_path = path;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_fileBank = BankFile::read(path);
    QApplication::restoreOverrideCursor();
    ++m_generation;
    m_fileLabel->setText(QStringLiteral("文件：") + QFileInfo(path).fileName());
    sourceTabs->setCurrentIndex(0);
    paperEdit->setText(ImportPreview::paperNameOf(path));
    showBank();
}

void ImportDialog::recognisePaste()
{
    m_pasteTimer.stop();
    m_pasteBank = BookFile::parseText(pasteEdit->toPlainText());
    ++m_generation;
    if (paperEdit->text().trimmed().isEmpty())
        paperEdit->setText(QStringLiteral("粘贴的题目"));
    showBank();
}

const ParsedBank &ImportDialog::bank() const
{
    return sourceTabs->currentIndex() == 1 ? m_pasteBank : m_fileBank;
}

QString ImportDialog::sourceName() const
{
    if (sourceTabs->currentIndex() == 1)
        return pastedSource + paperEdit->text().trimmed();
    return QFileInfo(m_path).fileName();
}

void ImportDialog::showBank()
{
    const ParsedBank &shown = bank();
    const bool empty = sourceTabs->currentIndex() == 0 ? m_path.isEmpty() : pasteEdit->toPlainText().trimmed().isEmpty();
    typesLabel->setText(empty ? QStringLiteral("—") : ImportPreview::typeSummary(shown));
    questionsView->setPlainText(ImportPreview::questionLines(shown).join(QLatin1Char('\n')));
    const QStringList problems = empty ? QStringList() : ImportPreview::problemLines(shown);
    m_problemsTitle->setText(problems.isEmpty() ? QStringLiteral("没有发现问题。")
                                                : QStringLiteral("发现的问题（%1 处错误）：").arg(shown.errorCount()));
    problemsView->setPlainText(problems.join(QLatin1Char('\n')));
    m_views->setTabText(1, problems.isEmpty() ? QStringLiteral("问题和未识别的行")
                                              : QStringLiteral("问题和未识别的行（%1）").arg(problems.size()));
    skipBadBox->setEnabled(shown.errorCount() > 0);
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
    r.sourceName = sourceName();
    r.skipBad = skipBadBox->isChecked();
    r.imageDir = m_imageDir;
    return r;
}

void ImportDialog::updatePlan()
{
    const ImportRequest r = request();
    const BankWriter writer(m_db);
    const QString plannedFor = writer.subjectOf(r) + QLatin1Char('\n') + r.sourceName + QLatin1Char('\n')
        + r.paperName + QLatin1Char('\n') + QString::number(m_generation) + QLatin1Char('\n')
        + QString::number(sourceTabs->currentIndex());
    if (plannedFor != m_plannedFor) {
        m_plan = writer.plan(bank(), r);
        m_plannedFor = plannedFor;
    }
    QString text = bank().questions.isEmpty() ? QString() : ImportPreview::changeSummary(m_plan, r.paperName);
    if (!r.newSubjectName.isEmpty())
        text += QStringLiteral("；新建科目“%1”").arg(r.newSubjectName);
    changesLabel->setText(text);
    updateImportButton();
}

void ImportDialog::updateImportButton()
{
    const ImportRequest r = request();
    importButton->setEnabled(!bank().questions.isEmpty() && (bank().errorCount() == 0 || r.skipBad)
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
    outcome = BankWriter(m_db).write(bank(), request(), progress);
    if (outcome.ok) {
        accept();
        return;
    }
    progressBar->setVisible(false);
    problemsView->appendPlainText(QStringLiteral("未导入：") + outcome.error);
    importButton->setEnabled(true);
}
