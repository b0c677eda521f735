#include "guidedialog.h"

#include "dialogframe.h"
#include "constants.h"
#include "guidepage.h"
#include "pagetext.h"
#include "pageview.h"
#include "readingcomfort.h"

#include <QPushButton>
#include <QVBoxLayout>

GuideDialog::GuideDialog(QWidget *parent)
    : QDialog(parent)
    , m_view(new PageView(this))
{
    setWindowTitle(QStringLiteral("操作演示 - ") + productTitle);
    DialogFrame::apply(this);
    setStyleSheet(QStringLiteral("QDialog{background-color:#addeec;}"));
    resize(1080, 760);
    // Part of the simulated test: a test centre's colours in either theme.
    setPalette(ReadingComfort::dayPalette());
    m_view->setReadingLook(PageView::ReadingLook::SizeOnly);

    m_view->setHtml(GuidePage::html(appFileUrlBase()));

    auto *close = new QPushButton(QStringLiteral("我知道了"), this);
    close->setMinimumSize(120, 34);
    close->setStyleSheet(QStringLiteral(
        "QPushButton{background:#f39c12;color:white;border-radius:6px;font-size:15px;font-weight:bold;}"
        "QPushButton:hover{background:#e67e22;}"));
    close->setAccessibleName(QStringLiteral("我知道了，关闭操作演示"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 10);
    layout->addWidget(m_view, 1);
    layout->addWidget(close, 0, Qt::AlignCenter);
}
