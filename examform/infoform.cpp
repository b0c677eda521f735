#include "infoform.h"

#include "buttonartwork.h"
#include "enterkey.h"
#include "guidedialog.h"
#include "readingcomfort.h"

#include <QKeyEvent>

InfoForm::InfoForm(QWidget *parent)
    : QWidget(parent)
{
    setupUi(this);
    setWindowTitle(QStringLiteral("考生信息确认"));
    setWindowFlags(Qt::FramelessWindowHint);
    // A screen of the simulated test: a test centre's colours in either theme.
    setPalette(ReadingComfort::dayPalette());
    pushButton->setStyleSheet(ButtonArtwork::hoverLit(QStringLiteral(":/image/other/ys1.png"),
                                                      QStringLiteral(":/image/other/ys2.png")));
    pushButton_2->setStyleSheet(ButtonArtwork::hoverLit(QStringLiteral(":/image/other/cxdl1.png"),
                                                        QStringLiteral(":/image/other/cxdl2.png")));
    pushButton_3->setStyleSheet(ButtonArtwork::hoverLit(QStringLiteral(":/image/other/ks1.png"),
                                                        QStringLiteral(":/image/other/ks2.png")));
    pushButton->setToolTip(QStringLiteral("操作演示"));
    pushButton_2->setToolTip(QStringLiteral("重新登录（Esc）"));
    pushButton_3->setToolTip(QStringLiteral("开始考试（回车）"));
    connect(bBack, &QPushButton::clicked, this, &InfoForm::back);
    // Tab goes as the buttons read, left to right; 开始考试 still has the focus.
    setTabOrder(pushButton, pushButton_2);
    setTabOrder(pushButton_2, pushButton_3);
    setTabOrder(pushButton_3, bBack);
    pushButton_3->setFocus();
}

void InfoForm::setCandidateNumber(const QString &number)
{
    lNumber->setText(number);
}

void InfoForm::setPaperName(const QString &name)
{
    if (!name.trimmed().isEmpty())
        lPaper->setText(name.trimmed());
}

void InfoForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        emit showLogin();
    else if (EnterKey::isEnter(event))
        EnterKey::press(this, [this] { emit showExam(); });
    else
        QWidget::keyPressEvent(event);
}

// "操作演示": how the exam window is used.
void InfoForm::on_pushButton_clicked()
{
    GuideDialog guide(this);
    guide.exec();
}

void InfoForm::on_pushButton_2_clicked()
{
    emit showLogin();
}

void InfoForm::on_pushButton_3_clicked()
{
    emit showExam();
}
