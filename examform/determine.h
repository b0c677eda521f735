#pragma once

#include "ui_determine.h"

#include <QDialog>
#include <QString>

// A yes/no question with an HTML text. Assign body, exec(), then read isYes().
class Determine : public QDialog, public Ui::Determine
{
    Q_OBJECT
public:
    explicit Determine(QWidget *parent = nullptr);

    bool isYes() const { return result; }

    // HTML shown in the text area; assign before exec().
    QString body;

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void on_pbYes_clicked();
    void on_pbNo_clicked();

private:
    // "Yes" pressed; stays false after "no", Escape or any other way out.
    bool result = false;
};
