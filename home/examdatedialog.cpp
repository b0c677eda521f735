#include "examdatedialog.h"

#include "dialogframe.h"
#include "readingcomfort.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ExamDateDialog::ExamDateDialog(const QDate &current, const QDate &today, QWidget *parent)
    : QDialog(parent)
    , date(current)
{
    setWindowTitle(QStringLiteral("考试日期"));
    DialogFrame::apply(this);
    setStyleSheet(QStringLiteral("QDialog{background-color: %1;}")
                      .arg(PageTheme::windowGround(ReadingComfort::currentTheme())));
    dateEdit = new QDateEdit(this);
    dateEdit->setAccessibleName(QStringLiteral("考试日期"));
    dateEdit->setCalendarPopup(true);
    dateEdit->setDisplayFormat(QStringLiteral("yyyy年M月d日"));
    dateEdit->setMinimumDate(today);
    dateEdit->setDate(current.isValid() && current >= today ? current : today.addDays(30));

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    clearButton = buttons->addButton(QStringLiteral("清除考试日期"), QDialogButtonBox::ResetRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        date = dateEdit->date();
        accept();
    });
    connect(clearButton, &QPushButton::clicked, this, [this] {
        date = QDate();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    auto *text = new QLabel(QStringLiteral("设置考试日期后，每天的复习量会把错题本在考试前分摊完；"
                                           "一道题的记忆能保持到考试之后，即算已掌握。"), this);
    text->setWordWrap(true);
    layout->addWidget(text);
    layout->addWidget(dateEdit);
    layout->addWidget(buttons);
}
