#pragma once

#include <QString>
#include <QUrl>

class QPrinter;
class QWidget;

// Prints a page the program builds through a page view of its own: to the
// printer the user chose, or, when the printer writes a PDF file, through the
// web engine's own PDF output. The engine may work on after the call is made,
// so the call waits in an event loop of its own (the windows stay drawn),
// showing its progress over parent when one is given, and a wait is bounded.
class PagePrinter
{
public:
    // False when the page did not load within the bound or printing failed.
    static bool print(const QString &html, const QUrl &baseUrl, QPrinter *printer, int timeoutMs = 30000,
                      QWidget *parent = nullptr);
};
