#pragma once

#include <QWidget>

// The question search window (shell until the full window lands).
class SoQuestion : public QWidget
{
    Q_OBJECT
public:
    explicit SoQuestion(QWidget *parent = nullptr);

signals:
    void meShow();
    void meHide();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
};
