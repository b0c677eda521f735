#include "migrationnotice.h"

#include "constants.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QPainter>

namespace {

QPixmap noticePicture()
{
    QPixmap picture(460, 130);
    picture.fill(QColor(QStringLiteral("#addeec")));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(QStringLiteral("#2f7f8f")), 2));
    painter.drawRect(picture.rect().adjusted(1, 1, -1, -1));
    painter.drawPixmap(24, 33, QIcon(QStringLiteral(":/image/appicon.png")).pixmap(64, 64));
    QFont title(QStringLiteral("Noto Sans CJK SC"));
    title.setPixelSize(20);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(QColor(QStringLiteral("#1f5f6b")));
    painter.drawText(QRect(106, 28, 340, 32), Qt::AlignLeft | Qt::AlignVCenter, productTitle);
    QFont text(title);
    text.setPixelSize(15);
    text.setBold(false);
    painter.setFont(text);
    painter.drawText(QRect(106, 66, 340, 44), Qt::AlignLeft | Qt::TextWordWrap,
                     QStringLiteral("正在更新数据文件，请稍候……\n先备份，再升级；题库越大，需要的时间越长。"));
    return picture;
}

} // namespace

void MigrationNotice::show()
{
    if (m_splash)
        return;
    m_splash = std::make_unique<QSplashScreen>(noticePicture());
    m_splash->show();
    // Painted now: nothing turns the event loop until the migration is done.
    m_splash->repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void MigrationNotice::finish(QWidget *window)
{
    if (m_splash)
        m_splash->finish(window);
}
