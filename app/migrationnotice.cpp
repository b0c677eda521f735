#include "migrationnotice.h"

#include "constants.h"
#include "migrationprogressbar.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QPainter>

namespace {

const QRect barArea(106, 118, 330, 10);
const QRect stageArea(106, 134, 340, 22);
const QColor textColour(QStringLiteral("#1f5f6b"));

QPixmap noticePicture()
{
    QPixmap picture(460, 168);
    picture.fill(QColor(QStringLiteral("#addeec")));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(QStringLiteral("#2f7f8f")), 2));
    painter.drawRect(picture.rect().adjusted(1, 1, -1, -1));
    painter.drawPixmap(24, (picture.height() - 64) / 2, QIcon(QStringLiteral(":/image/appicon.png")).pixmap(64, 64));
    QFont title(QStringLiteral("Noto Sans CJK SC"));
    title.setPixelSize(20);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(textColour);
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

MigrationNotice::MigrationNotice() = default;
MigrationNotice::~MigrationNotice() = default;

QString MigrationNotice::stageText(const SchemaMigration::Progress &progress)
{
    if (progress.finished())
        return QStringLiteral("升级完成，正在打开……");
    if (progress.stage == 0)
        return QStringLiteral("正在备份数据文件……");
    return QStringLiteral("第 %1 步，共 %2 步：%3")
        .arg(progress.stage)
        .arg(progress.stages - 1)
        .arg(progress.purpose);
}

void MigrationNotice::show(const SchemaMigration::Progress &progress)
{
    if (!m_splash) {
        m_splash = std::make_unique<QSplashScreen>(noticePicture());
        m_bar = new MigrationProgressBar(m_splash.get());
        m_bar->setGeometry(barArea);
        m_stage = new QLabel(m_splash.get());
        m_stage->setGeometry(stageArea);
        QFont font(QStringLiteral("Noto Sans CJK SC"));
        font.setPixelSize(13);
        m_stage->setFont(font);
        QPalette palette = m_stage->palette();
        palette.setColor(QPalette::WindowText, textColour);
        m_stage->setPalette(palette);
        m_splash->show();
    }
    m_bar->setProgress(progress);
    m_stage->setText(stageText(progress));
}

void MigrationNotice::finish(QWidget *window)
{
    if (m_splash)
        m_splash->finish(window);
}
