#include "paperdrawdialog.h"

#include "dialogframe.h"
#include "dbconnection.h"
#include "constants.h"
#include "generatedpaperstore.h"
#include "readingcomfort.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QSqlDatabase database()
{
    return DbConnection::instance(appDirPath, true)->database();
}

enum Column { NameColumn, AvailableColumn, CountColumn };

} // namespace

PaperDrawDialog::PaperDrawDialog(const QString &subjectId, const QDate &today, QWidget *parent)
    : QDialog(parent)
    , seed(QRandomGenerator::global()->generate())
    , m_subjectId(subjectId)
    , m_today(today)
    , m_blueprint(PaperBlueprint::fromPapers(DrawingBank::blueprintSources(database(), subjectId)))
    , m_categories(DrawingBank::categories(database(), subjectId))
    , m_drawer(DrawingBank::candidates(database(), subjectId))
{
    setWindowTitle(QStringLiteral("随机组卷"));
    DialogFrame::apply(this);
    setStyleSheet(QStringLiteral("QDialog{background-color: %1;}")
                      .arg(PageTheme::windowGround(ReadingComfort::currentTheme())));
    resize(560, 600);

    countTable = new QTableWidget(m_categories.size(), 3, this);
    countTable->setHorizontalHeaderLabels({QStringLiteral("题型"), QStringLiteral("题库中"), QStringLiteral("题数")});
    countTable->setAccessibleName(QStringLiteral("每种题型的题数"));
    countTable->verticalHeader()->hide();
    countTable->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    countTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int row = 0; row < m_categories.size(); ++row) {
        const DrawingBank::Category &category = m_categories.at(row);
        int count = 0;
        for (const BlueprintSection &section : m_blueprint.sections)
            count += section.categoryId == category.id ? section.count : 0;
        countTable->setItem(row, NameColumn, new QTableWidgetItem(category.name));
        countTable->setItem(row, AvailableColumn, new QTableWidgetItem);
        auto *spin = new QSpinBox(countTable);
        spin->setAccessibleName(category.name + QStringLiteral("题数"));
        spin->setRange(0, 999);
        spin->setValue(count);
        connect(spin, QOverload<int>::of(&QSpinBox::valueChanged), this, &PaperDrawDialog::updateShortage);
        countTable->setCellWidget(row, CountColumn, spin);
    }

    chapterList = new QListWidget(this);
    chapterList->setAccessibleName(QStringLiteral("章节"));
    for (const auto &chapter : DrawingBank::chapters(database(), subjectId)) {
        auto *item = new QListWidgetItem(chapter.second, chapterList);
        item->setData(Qt::UserRole, chapter.first);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    connect(chapterList, &QListWidget::itemChanged, this, &PaperDrawDialog::updateShortage);

    preferWeakAndNew = new QCheckBox(QStringLiteral("优先错题和新题"), this);
    minutes = new QSpinBox(this);
    minutes->setRange(1, 600);
    minutes->setValue(m_blueprint.examMinutes > 0 ? m_blueprint.examMinutes : 60);
    minutes->setSuffix(QStringLiteral(" 分钟"));

    shortageLabel = new QLabel(this);
    shortageLabel->setWordWrap(true);
    shortageLabel->setStyleSheet(QStringLiteral("color: #c00000;"));

    auto *buttons = new QDialogButtonBox(this);
    drawButton = buttons->addButton(QStringLiteral("组卷"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &PaperDrawDialog::draw);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("考试时间："), minutes);
    form->addRow(QString(), preferWeakAndNew);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("每种题型的题数（默认与模拟试卷相同）："), this));
    layout->addWidget(countTable, 3);
    layout->addWidget(new QLabel(QStringLiteral("章节（不选即全部章节）："), this));
    layout->addWidget(chapterList, 2);
    layout->addLayout(form);
    layout->addWidget(shortageLabel);
    layout->addWidget(buttons);
    // Tab goes down the dialog as it reads.
    setTabOrder(chapterList, minutes);
    setTabOrder(minutes, preferWeakAndNew);
    updateShortage();
}

DrawRequest PaperDrawDialog::request() const
{
    DrawRequest request;
    for (int row = 0; row < m_categories.size(); ++row) {
        const DrawingBank::Category &category = m_categories.at(row);
        const int count = static_cast<QSpinBox *>(countTable->cellWidget(row, CountColumn))->value();
        request.sections << BlueprintSection{category.id, category.name, category.questionType, count};
    }
    // Sections in the blueprint's order; categories it lacks after them.
    std::stable_sort(request.sections.begin(), request.sections.end(),
                     [this](const BlueprintSection &a, const BlueprintSection &b) {
                         auto place = [this](const QString &id) {
                             for (int i = 0; i < m_blueprint.sections.size(); ++i) {
                                 if (m_blueprint.sections.at(i).categoryId == id)
                                     return i;
                             }
                             return int(m_blueprint.sections.size());
                         };
                         return place(a.categoryId) < place(b.categoryId);
                     });
    for (int i = 0; i < chapterList->count(); ++i) {
        if (chapterList->item(i)->checkState() == Qt::Checked)
            request.chapterIds << chapterList->item(i)->data(Qt::UserRole).toString();
    }
    request.preferWeakAndNew = preferWeakAndNew->isChecked();
    request.seed = seed;
    request.today = m_today;
    return request;
}

void PaperDrawDialog::updateShortage()
{
    const DrawRequest current = request();
    for (int row = 0; row < m_categories.size(); ++row)
        countTable->item(row, AvailableColumn)->setText(
            QString::number(m_drawer.available(m_categories.at(row).id, current.chapterIds)));
    QStringList lines;
    for (const DrawShortage &shortage : m_drawer.shortages(current))
        lines << QStringLiteral("%1：要 %2 题，题库中只有 %3 题").arg(shortage.categoryName).arg(shortage.wanted).arg(shortage.available);
    int wanted = 0;
    for (const BlueprintSection &section : current.sections)
        wanted += section.count;
    if (wanted == 0)
        lines << QStringLiteral("请至少选择一道题。");
    else if (!lines.isEmpty())
        lines << QStringLiteral("组卷时这些题型只取题库中现有的题目。");
    shortageLabel->setText(lines.join(QLatin1Char('\n')));
    shortageLabel->setVisible(!lines.isEmpty());
    drawButton->setEnabled(wanted > 0);
}

void PaperDrawDialog::draw()
{
    GeneratedPaperStore::Paper paper;
    paper.subjectId = m_subjectId;
    paper.sections = m_drawer.draw(request());
    paper.examMinutes = minutes->value();
    paper.passRatio = m_blueprint.passRatio;
    paper.seed = seed;
    paper.createdOn = m_today;
    paperId = GeneratedPaperStore::create(database(), paper);
    if (paperId.isEmpty()) {
        const QString text = paper.sections.isEmpty() ? QStringLiteral("所选章节中没有这些题型的题目。")
                                                      : QStringLiteral("试卷未能生成，题库没有改动，请重试。");
        QMessageBox box(QMessageBox::Warning, windowTitle(), text);
        box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
        box.exec();
        return;
    }
    accept();
}
