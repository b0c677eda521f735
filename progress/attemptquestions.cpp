#include "attemptquestions.h"

#include "attemptsnapshot.h"
#include "resultspage.h"

#include <QPushButton>
#include <QMessageBox>

QString AttemptQuestions::resumeText(const AttemptSnapshot &snapshot, int allowedSeconds)
{
    QString text = QStringLiteral("这套试卷有一次未完成的作答");
    if (snapshot.startedAt.isValid())
        text += QStringLiteral("（开始于") + snapshot.startedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm"))
            + QStringLiteral("）");
    text += QStringLiteral("：已答%1题").arg(snapshot.answeredCount());
    if (allowedSeconds > 0)
        text += QStringLiteral("，剩余时间")
            + ResultsPage::clockText(allowedSeconds - snapshot.elapsedSeconds);
    return text + QStringLiteral("。");
}

bool AttemptQuestions::resume(QWidget *parent, const AttemptSnapshot &snapshot, int allowedSeconds)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("继续作答"), resumeText(snapshot, allowedSeconds),
                    QMessageBox::NoButton, parent);
    QPushButton *resume = box.addButton(QStringLiteral("继续上次作答"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("重新开始"), QMessageBox::RejectRole);
    box.setDefaultButton(resume);
    box.exec();
    return box.clickedButton() == resume;
}

AttemptQuestions::OnClose AttemptQuestions::onClose(QWidget *parent, const QString &saveError)
{
    QString text = QStringLiteral("试卷还没有交卷。保留本次作答，下次打开这套试卷时可以继续吗？");
    if (!saveError.isEmpty())
        text += QStringLiteral("\n\n注意：最近一次自动保存没有成功（") + saveError + QStringLiteral("）。");
    QMessageBox box(QMessageBox::Question, QStringLiteral("关闭考试窗口"), text, QMessageBox::NoButton, parent);
    QPushButton *keep = box.addButton(QStringLiteral("保留，下次继续"), QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(QStringLiteral("放弃本次作答"), QMessageBox::DestructiveRole);
    QPushButton *stay = box.addButton(QStringLiteral("继续作答"), QMessageBox::RejectRole);
    box.setDefaultButton(keep);
    box.setEscapeButton(keep);
    box.exec();
    if (box.clickedButton() == discard)
        return OnClose::Discard;
    if (box.clickedButton() == stay)
        return OnClose::StayOpen;
    return OnClose::Keep;
}
