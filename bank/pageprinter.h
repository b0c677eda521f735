#pragma once

#include <QString>
#include <QUrl>

class QPrinter;

// Prints a page the program builds through a web page of its own: to the
// printer the user chose, or to a PDF file. A page set from text may finish
// loading before any wait could begin, so the load is watched from the start
// and a wait is bounded.
class PagePrinter
{
public:
    // False when the page did not load within the bound.
    static bool print(const QString &html, const QUrl &baseUrl, QPrinter *printer, int timeoutMs = 30000);
};
