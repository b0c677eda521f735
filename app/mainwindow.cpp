#include "mainwindow.h"

#include "constants.h"
#include "dbconnection.h"

#include <QCoreApplication>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
{
    setWindowTitle(productTitle);
    resize(1176, 797);
    appDirPath = QCoreApplication::applicationDirPath() + QStringLiteral("/");
    DbConnection::instance(appDirPath, true);
}
