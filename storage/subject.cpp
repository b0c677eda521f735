#include "subject.h"

#include "dialogframe.h"
#include "readingcomfort.h"
#include "subjectstore.h"

#include <QCloseEvent>
#include <QMessageBox>
#include <cstdlib>

Subject::Subject(QWidget *parent)
    : QDialog(parent)
{
    setupUi(this);
    DialogFrame::apply(this);
    setWindowTitle(QStringLiteral("科目选择"));
    // The ground of the program's other dialogs.
    setStyleSheet(QStringLiteral("QDialog#Subject{background-color: %1;}")
                      .arg(PageTheme::windowGround(ReadingComfort::currentTheme())));
    pushButton->setStyleSheet(QStringLiteral(
        "QPushButton{border-image: url(:/image/sub1.png);}QPushButton:hover{border-image: url(:/image/sub1.png);}"
        "QPushButton:pressed{border-image: url(:/image/sub2.png);}"));
    loadSubjects();
}

void Subject::loadSubjects()
{
    for (const auto &subject : SubjectStore::subjects())
        cb_subject->addItem(QIcon(), subject.second, subject.first);
    const int current = cb_subject->findData(SubjectStore::currentSubjectId());
    if (current >= 0)
        cb_subject->setCurrentIndex(current);
}

void Subject::on_pushButton_clicked()
{
    const QString chosenId = cb_subject->currentData().toString();
    if (!SubjectStore::choose(chosenId)) {
        // The previous choice stands; the user may try again instead of the
        // program ending without a subject.
        QMessageBox box(QMessageBox::Warning, windowTitle(),
                        QStringLiteral("科目未能保存，请重试。"));
        box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
        box.exec();
        return;
    }
    close();
}

void Subject::closeEvent(QCloseEvent *event)
{
    if (SubjectStore::choiceNeeded())
        std::exit(0);
    emit restSubject();
    QDialog::closeEvent(event);
}
