#pragma once

#include <QString>

// Display name of the program: title of the main, exam and search windows.
extern const QString productTitle;

// The application directory followed by "/"; empty until the main window sets it.
extern QString appDirPath;
