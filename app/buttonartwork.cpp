#include "buttonartwork.h"

#include <QWidget>

namespace {

QString forStates(const QString &normal, const QString &hover, const QString &pressed)
{
    return QStringLiteral("QPushButton{border-image: url(%1);}"
                          "QPushButton:hover{border-image: url(%2);}"
                          "QPushButton:pressed{border-image: url(%3);}")
        .arg(normal, hover, pressed);
}

} // namespace

namespace ButtonArtwork {

QString pressable(const QString &normal, const QString &pressed)
{
    return forStates(normal, normal, pressed);
}

QString hoverLit(const QString &normal, const QString &hover)
{
    return forStates(normal, hover, normal);
}

QString titleButton(const QString &normal, const QString &active)
{
    return forStates(normal, active, active);
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
