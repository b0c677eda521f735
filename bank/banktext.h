#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Text helpers shared by the parsers and exporters: decoding files, turning
// plain text and markdown into safe HTML, and the stored form of fill-in answers.
namespace BankText {

// The text of a file: UTF-8 with or without byte-order mark, UTF-16 with a
// byte-order mark, else GB18030 (what older spreadsheet programs write).
// Line ends come out as "\n". encoding, when given, names the one used.
// GB18030 is taken only when the whole file is valid GB18030; a file valid in
// neither is decoded as UTF-8 with replacement characters, and badLine (when
// given) is set to the 1-based line of its first undecodable byte (else 0).
QString decode(const QByteArray &bytes, QString *encoding = nullptr, int *badLine = nullptr);
// The problem reported at decode's badLine.
QString undecodableText();
// Whether a text holds a control character other than tab and line ends
// (NUL, escape, DEL ...): no question text may.
bool hasControlCharacter(const QString &text);

// Plain text as HTML: special characters escaped, line ends as <br/>.
QString plainToHtml(const QString &text);
// Text that may hold markup already: kept, line ends as <br/>.
QString autoToHtml(const QString &text);
// A safe subset of markdown (paragraphs, emphasis, code, lists, headings,
// links, images) as HTML; everything else is escaped text.
QString markdownToHtml(const QString &text);
// Whether a cell of a spreadsheet holds HTML (a tag or an entity) rather than text.
bool looksLikeHtml(const QString &text);
// The text of an HTML fragment with tags dropped and entities resolved, for
// keys and messages.
QString htmlToPlain(const QString &html);

// The stored reference answer of a fill-in question: blanks joined as
// the marking reads them (BlankAnswer: "|", with "\" and "|" in a blank
// escaped), the accepted texts of one blank by the alternatives separator.
QString joinBlanks(const QList<QStringList> &blanks);
QList<QStringList> splitBlanks(const QString &answer);
// Adds the blanks of one more accepted answer to those read so far, each text
// once; false when the two have different numbers of blanks.
bool mergeAnswer(QList<QStringList> *blanks, const QList<QStringList> &answer);
// Whether there is a blank and every blank has an accepted text.
bool everyBlankAnswered(const QList<QStringList> &blanks);
// The accepted answers of a fill-in whole, for formats that list them one by
// one: the k-th takes the k-th text of every blank (the last one where a blank
// has fewer), the blanks joined as in the stored answer.
QStringList wholeAnswers(const QList<QStringList> &blanks);

// Where a blank goes in a stem; three or more underscores mark one in a file.
QString blankMarker();
int countBlankMarks(const QString &stem);

} // namespace BankText
