#pragma once

#include "ui_prompt.h"

#include <QDialog>
#include <QString>

// An information box: a caption, an HTML text and one acknowledge button.
// Assign caption and body, then exec().
class Prompt : public QDialog, public Ui::Prompt
{
    Q_OBJECT
public:
    explicit Prompt(QWidget *parent = nullptr);

    QString caption;
    QString body;

    // Past this the text scrolls.
    static constexpr int maximumTextHeight = 420;

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void on_pbOk_clicked();
};
