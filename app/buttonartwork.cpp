#include "buttonartwork.h"

#include <QWidget>

namespace ButtonArtwork {

QString pressable(const QString &normal, const QString &pressed)
{
    return QStringLiteral("QPushButton{border-image: url(%1);}"
                          "QPushButton:hover{border-image: url(%1);}"
                          "QPushButton:pressed{border-image: url(%2);}")
        .arg(normal, pressed);
}

QString titleButton(const QString &normal, const QString &active)
{
    return QStringLiteral("QPushButton{border-image: url(%1);}"
                          "QPushButton:hover{border-image: url(%2);}"
                          "QPushButton:pressed{border-image: url(%2);}")
        .arg(normal, active);
}

void applyToTitleStrip(QWidget *close, QWidget *max, QWidget *restore, QWidget *min)
{
    close->setStyleSheet(titleButton(QStringLiteral(":/image/menu/close.png"),
                                     QStringLiteral(":/image/menu/close2.png")));
    max->setStyleSheet(titleButton(QStringLiteral(":/image/menu/max.png"),
                                   QStringLiteral(":/image/menu/max2.png")));
    restore->setStyleSheet(titleButton(QStringLiteral(":/image/menu/rest.png"),
                                       QStringLiteral(":/image/menu/rest2.png")));
    min->setStyleSheet(titleButton(QStringLiteral(":/image/menu/min.png"),
                                   QStringLiteral(":/image/menu/min2.png")));
}

} // namespace ButtonArtwork
