#include "dialogframe.h"

#include <QWidget>

namespace DialogFrame {

void apply(QWidget *dialog)
{
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
}

} // namespace DialogFrame
