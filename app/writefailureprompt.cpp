#include "writefailureprompt.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QMessageBox>

namespace WriteFailurePrompt {

QString message(Write what, const QString &reason)
{
    switch (what) {
    case Write::HandIn:
        return QStringLiteral("成绩未能保存：%1。本次答题结果仍显示在屏幕上，请检查磁盘空间或文件权限后重新交卷。").arg(reason);
    case Write::Favourite:
        return QStringLiteral("收藏未能保存：%1。收藏状态没有改变，请检查磁盘空间或文件权限后重试。").arg(reason);
    case Write::BookRemoval:
        return QStringLiteral("错题未能移出错题本：%1。错题本没有改变，请检查磁盘空间或文件权限后重试。").arg(reason);
    }
    return reason;
}

WriteOutcome saveOrAsk(QWidget *parent, Write what, const std::function<WriteOutcome()> &write)
{
    WriteOutcome outcome = write();
    while (!outcome) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("保存失败"), message(what, outcome.reason()),
                        QMessageBox::NoButton, parent);
        QAbstractButton *retry = box.addButton(QStringLiteral("重试"), QMessageBox::AcceptRole);
        box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
        box.exec();
        if (box.clickedButton() != retry)
            break;
        outcome = write();
    }
    return outcome;
}

} // namespace WriteFailurePrompt
