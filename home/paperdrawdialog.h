#pragma once

#include "drawingbank.h"
#include "paperblueprint.h"
#include "paperdrawer.h"

#include <QDate>
#include <QDialog>
#include <QVector>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTableWidget;

// "随机组卷": the number of questions per category (the subject's blueprint by
// default), optional chapters, the time and the preference for wrong and new
// questions. A shortage is shown before drawing; "组卷" draws and stores the
// paper, whose id is then in paperId.
class PaperDrawDialog : public QDialog
{
    Q_OBJECT
public:
    PaperDrawDialog(const QString &subjectId, const QDate &today, QWidget *parent = nullptr);

    // Random by default; set for a paper that can be drawn again.
    quint32 seed;
    // The drawn paper; empty until one was stored.
    QString paperId;

    QTableWidget *countTable = nullptr;
    QListWidget *chapterList = nullptr;
    QCheckBox *preferWeakAndNew = nullptr;
    QSpinBox *minutes = nullptr;
    QLabel *shortageLabel = nullptr;
    QPushButton *drawButton = nullptr;

    DrawRequest request() const;

private slots:
    void updateShortage();
    void draw();

private:
    QString m_subjectId;
    QDate m_today;
    PaperBlueprint m_blueprint;
    QVector<DrawingBank::Category> m_categories;
    PaperDrawer m_drawer;
};
