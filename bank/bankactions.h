#pragma once

class ImportDialog;
class QMessageBox;
class QString;
class QWidget;

// The start page's bank actions, each a short run of dialogs around the
// logic of this folder: import a question file, export a paper or the
// subject, print a paper or the wrong-question book (or save it as PDF).
namespace BankActions {

// True when something was imported (the lists must be rebuilt). The message
// that says what was imported offers to open the paper: openPaperId then
// names it.
bool importFile(QWidget *parent, QString *openPaperId = nullptr);
// That message for an accepted import dialog: what was imported, into which
// subject, and a button (the box's accept role) that opens the paper.
QMessageBox *importDoneBox(const ImportDialog &dialog, const QString &subjectName, QWidget *parent);
void exportBank(QWidget *parent);
void print(QWidget *parent);

} // namespace BankActions
