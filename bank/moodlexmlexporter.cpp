#include "moodlexmlexporter.h"

#include "banktext.h"
#include "clozetext.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamWriter>

namespace {

// A note as the text of an XML comment, which may hold no "--" and may not
// end in "-".
QString noteComment(const QString &note)
{
    QString text = QStringLiteral(" 笔记: ") + note;
    while (text.contains(QLatin1String("--")))
        text.replace(QLatin1String("--"), QLatin1String("- -"));
    return text + QLatin1Char(' ');
}

class Writer
{
public:
    Writer(QByteArray *out, const QString &imgDir) : m_xml(out), m_imgDir(imgDir)
    {
        m_xml.setAutoFormatting(true);
    }

    void document(const QVector<BankQuestion> &questions);

private:
    void question(const BankQuestion &q, const QString &idnumber);
    // <name format="html"><text>..</text><file>..</file></name>, pictures embedded.
    void htmlElement(const QString &name, const QString &html, const QXmlStreamAttributes &attributes = {});
    void answer(double fraction, const QString &html);

    QXmlStreamWriter m_xml;
    QString m_imgDir;
};

QString number(double value)
{
    return QString::number(value, 'g', 12);
}

void Writer::htmlElement(const QString &name, const QString &html, const QXmlStreamAttributes &attributes)
{
    static const QRegularExpression image(QStringLiteral("<img src=\"/([^\"/]+)\""));
    QString text = html;
    QStringList files;
    QRegularExpressionMatchIterator it = image.globalMatch(html);
    while (it.hasNext()) {
        const QString fileName = it.next().captured(1);
        if (QFile::exists(QDir(m_imgDir).filePath(fileName)) && !files.contains(fileName))
            files << fileName;
    }
    for (const QString &fileName : files)
        text.replace(QLatin1String("<img src=\"/") + fileName + QLatin1Char('"'),
                     QLatin1String("<img src=\"@@PLUGINFILE@@/") + fileName + QLatin1Char('"'));
    m_xml.writeStartElement(name);
    m_xml.writeAttributes(attributes);
    m_xml.writeAttribute(QStringLiteral("format"), QStringLiteral("html"));
    m_xml.writeTextElement(QStringLiteral("text"), text);
    for (const QString &fileName : files) {
        QFile file(QDir(m_imgDir).filePath(fileName));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        m_xml.writeStartElement(QStringLiteral("file"));
        m_xml.writeAttribute(QStringLiteral("name"), fileName);
        m_xml.writeAttribute(QStringLiteral("path"), QStringLiteral("/"));
        m_xml.writeAttribute(QStringLiteral("encoding"), QStringLiteral("base64"));
        m_xml.writeCharacters(QString::fromLatin1(file.readAll().toBase64()));
        m_xml.writeEndElement();
    }
    m_xml.writeEndElement();
}

void Writer::answer(double fraction, const QString &html)
{
    QXmlStreamAttributes attributes;
    attributes.append(QStringLiteral("fraction"), number(fraction));
    htmlElement(QStringLiteral("answer"), html, attributes);
}

void Writer::question(const BankQuestion &q, const QString &idnumber)
{
    static const char *const types[] = {"", "multichoice", "multichoice", "truefalse", "shortanswer", "essay",
                                        "description"};
    // Several blanks: the cloze type, each blank in the text where it goes.
    const bool cloze = ClozeText::fits(q);
    if (!q.note.trimmed().isEmpty())
        m_xml.writeComment(noteComment(q.note));
    m_xml.writeStartElement(QStringLiteral("question"));
    m_xml.writeAttribute(QStringLiteral("type"), cloze ? QStringLiteral("multianswer")
                                                       : QLatin1String(types[qBound(0, q.type, 6)]));
    m_xml.writeStartElement(QStringLiteral("name"));
    const QString name = idnumber.isEmpty() ? BankText::htmlToPlain(q.stemHtml).left(40) : idnumber;
    m_xml.writeTextElement(QStringLiteral("text"), name);
    m_xml.writeEndElement();
    if (!idnumber.isEmpty())
        m_xml.writeTextElement(QStringLiteral("idnumber"), idnumber);
    htmlElement(QStringLiteral("questiontext"), cloze ? ClozeText::write(q.stemHtml, q.blanks) : q.stemHtml);
    if (!q.explanationHtml.isEmpty())
        htmlElement(QStringLiteral("generalfeedback"), q.explanationHtml);
    m_xml.writeTextElement(QStringLiteral("defaultgrade"), number(q.type == BankQuestion::CaseStudy ? 0 : q.marks));
    switch (q.type) {
    case BankQuestion::SingleChoice:
    case BankQuestion::MultipleChoice: {
        const bool single = q.type == BankQuestion::SingleChoice;
        m_xml.writeTextElement(QStringLiteral("single"), single ? QStringLiteral("true") : QStringLiteral("false"));
        m_xml.writeTextElement(QStringLiteral("shuffleanswers"), QStringLiteral("false"));
        m_xml.writeTextElement(QStringLiteral("answernumbering"), QStringLiteral("ABCD"));
        const double right = single ? 100 : 100.0 / qMax(1, q.answerLetters.size());
        for (int i = 0; i < q.optionsHtml.size(); ++i)
            answer(q.answerLetters.contains(QChar('A' + i)) ? right : (single ? 0 : -100), q.optionsHtml.at(i));
        break;
    }
    case BankQuestion::TrueFalse:
        answer(q.answerLetters == QLatin1String("A") ? 100 : 0, QStringLiteral("true"));
        answer(q.answerLetters == QLatin1String("A") ? 0 : 100, QStringLiteral("false"));
        break;
    case BankQuestion::FillIn:
        if (cloze)
            break;
        m_xml.writeTextElement(QStringLiteral("usecase"), QStringLiteral("0"));
        for (const QString &text : BankText::wholeAnswers(q.blanks))
            answer(100, text.toHtmlEscaped());
        break;
    case BankQuestion::Essay:
        m_xml.writeTextElement(QStringLiteral("responseformat"), QStringLiteral("editor"));
        break;
    default:
        break;
    }
    m_xml.writeEndElement();
}

void Writer::document(const QVector<BankQuestion> &questions)
{
    m_xml.writeStartDocument();
    m_xml.writeStartElement(QStringLiteral("quiz"));
    QString chapter;
    bool first = true;
    int caseNumber = 0;
    for (const BankQuestion &q : questions) {
        if (first || q.chapterName() != chapter) {
            first = false;
            chapter = q.chapterName();
            m_xml.writeStartElement(QStringLiteral("question"));
            m_xml.writeAttribute(QStringLiteral("type"), QStringLiteral("category"));
            m_xml.writeStartElement(QStringLiteral("category"));
            m_xml.writeTextElement(QStringLiteral("text"), QStringLiteral("$course$/top/") + BankQuestion::categoryOfChapter(chapter));
            m_xml.writeEndElement();
            m_xml.writeEndElement();
        }
        QString key = q.key;
        if (q.type == BankQuestion::CaseStudy && key.isEmpty())
            key = QStringLiteral("case%1").arg(++caseNumber);
        question(q, key);
        for (int i = 0; i < q.parts.size(); ++i)
            question(q.parts.at(i), key + QLatin1Char('/')
                                        + (q.parts.at(i).key.isEmpty() ? QString::number(i + 1) : q.parts.at(i).key));
    }
    m_xml.writeEndElement();
    m_xml.writeEndDocument();
}

} // namespace

QByteArray MoodleXmlExporter::write(const QVector<BankQuestion> &questions, const QString &imgDir)
{
    QByteArray out;
    Writer(&out, imgDir).document(questions);
    return out;
}
