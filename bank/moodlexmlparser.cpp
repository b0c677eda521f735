#include "moodlexmlparser.h"

#include "banktext.h"
#include "clozetext.h"
#include "imagecollector.h"
#include "xmlnode.h"

#include <QRegularExpression>

namespace {

class QuestionReader
{
public:
    QuestionReader(ParsedBank &bank, ImageCollector &images) : m_bank(bank), m_images(images) {}

    void read(const XmlNode &quiz);

private:
    // The HTML of an element holding <text> (questiontext, answer, feedback ...).
    QString html(const XmlNode *holder) const;
    bool fill(BankQuestion &question, const XmlNode &node, const QString &type);
    void closeCase();

    ParsedBank &m_bank;
    ImageCollector &m_images;
    QString m_category;
    BankQuestion m_case;
    bool m_caseOpen = false;
};

QString QuestionReader::html(const XmlNode *holder) const
{
    if (!holder)
        return QString();
    const QString text = holder->childText(QStringLiteral("text"));
    const QString format = holder->attributes.value(QStringLiteral("format"), QStringLiteral("html"));
    QString result;
    if (format == QLatin1String("plain_text"))
        result = BankText::plainToHtml(text);
    else if (format == QLatin1String("markdown"))
        result = BankText::markdownToHtml(text);
    else if (format == QLatin1String("moodle_auto_format"))
        result = BankText::autoToHtml(text);
    else
        result = text;
    QHash<QString, QByteArray> files;
    for (const XmlNode *file : holder->childrenNamed(QStringLiteral("file"))) {
        if (file->attributes.value(QStringLiteral("encoding")) == QLatin1String("base64"))
            files.insert(file->attributes.value(QStringLiteral("name")),
                         QByteArray::fromBase64(file->text.trimmed().toLatin1()));
    }
    return m_images.resolve(result, holder->line, files);
}

double fraction(const XmlNode *answer)
{
    return answer->attributes.value(QStringLiteral("fraction")).toDouble();
}

bool QuestionReader::fill(BankQuestion &question, const XmlNode &node, const QString &type)
{
    const QVector<const XmlNode *> answers = node.childrenNamed(QStringLiteral("answer"));
    QStringList explanation{html(node.child(QStringLiteral("generalfeedback")))};
    if (type == QLatin1String("multichoice")) {
        if (answers.size() < 2) {
            m_bank.addError(node.line, QStringLiteral("选择题至少要有两个选项"));
            return false;
        }
        if (answers.size() > 5) {
            const XmlNode *name = node.child(QStringLiteral("name"));
            const QString opening = name ? name->childText(QStringLiteral("text")) : QString();
            m_bank.addRefusal(node.line, ParsedBank::tooManyOptions(
                                             opening.isEmpty() ? ParsedBank::openingOf(question.stemHtml) : opening,
                                             answers.size()));
            return false;
        }
        const bool single = node.childText(QStringLiteral("single")) != QLatin1String("false");
        double positiveSum = 0;
        for (int i = 0; i < answers.size(); ++i) {
            const QChar letter('A' + i);
            // A single choice takes only the full-credit option; partial
            // credit does not exist in the bank, which the preview says.
            const double weight = fraction(answers.at(i));
            if (single ? weight >= 100 : weight > 0)
                question.answerLetters += letter;
            if (single && weight > 0 && weight < 100)
                m_bank.addNote(answers.at(i)->line, QStringLiteral("选项 %1 只得 %2%，题库没有部分得分，按错误选项导入")
                                                        .arg(letter).arg(weight));
            positiveSum += weight > 0 ? weight : 0;
            question.optionsHtml << html(answers.at(i));
            const QString feedback = html(answers.at(i)->child(QStringLiteral("feedback")));
            if (!feedback.isEmpty())
                explanation << QString(letter) + QStringLiteral("：") + feedback;
        }
        if (question.answerLetters.isEmpty()) {
            m_bank.addError(node.line, QStringLiteral("选择题没有正确选项"));
            return false;
        }
        if (!single && qAbs(positiveSum - 100) > 1)
            m_bank.addNote(node.line, QStringLiteral("多选题正确选项的分值之和是 %1%，不是 100%：按全部选对才得分导入")
                                          .arg(positiveSum));
        question.type = single && question.answerLetters.size() == 1 ? BankQuestion::SingleChoice
                                                                     : BankQuestion::MultipleChoice;
    } else if (type == QLatin1String("truefalse")) {
        question.type = BankQuestion::TrueFalse;
        for (const XmlNode *answer : answers) {
            const bool truth = answer->childText(QStringLiteral("text")).toLower() == QLatin1String("true");
            if (fraction(answer) >= 100)
                question.answerLetters = truth ? QStringLiteral("A") : QStringLiteral("B");
            const QString feedback = html(answer->child(QStringLiteral("feedback")));
            if (!feedback.isEmpty())
                explanation << (truth ? QStringLiteral("正确：") : QStringLiteral("错误：")) + feedback;
        }
        if (question.answerLetters.isEmpty()) {
            m_bank.addError(node.line, QStringLiteral("判断题没有标出正确答案"));
            return false;
        }
    } else if (type == QLatin1String("multianswer")) {
        // Several blanks, each in the text where it goes.
        question.type = BankQuestion::FillIn;
        QString reason;
        QString stem;
        if (!ClozeText::read(question.stemHtml, &stem, &question.blanks, &reason)) {
            m_bank.addError(node.line, reason);
            return false;
        }
        question.stemHtml = stem;
    } else if (type == QLatin1String("shortanswer")) {
        question.type = BankQuestion::FillIn;
        for (const XmlNode *answer : answers) {
            const QString feedback = html(answer->child(QStringLiteral("feedback")));
            if (!feedback.isEmpty())
                explanation << BankText::htmlToPlain(html(answer)).toHtmlEscaped() + QStringLiteral("：") + feedback;
            if (fraction(answer) < 100) {
                if (fraction(answer) > 0)
                    m_bank.addNote(answer->line, QStringLiteral("答案“%1”只得 %2%，题库没有部分得分，不算正确答案")
                                                     .arg(BankText::htmlToPlain(html(answer))).arg(fraction(answer)));
                continue;
            }
            if (!BankText::mergeAnswer(&question.blanks, BankText::splitBlanks(BankText::htmlToPlain(html(answer))))) {
                m_bank.addError(answer->line, QStringLiteral("各个可接受答案的空数（“|”分隔）不一致"));
                return false;
            }
        }
        if (!BankText::everyBlankAnswered(question.blanks)) {
            m_bank.addError(node.line, QStringLiteral("填空题没有得满分的答案"));
            return false;
        }
    } else {
        question.type = BankQuestion::Essay;
        explanation << html(node.child(QStringLiteral("graderinfo")));
    }
    explanation.removeAll(QString());
    question.explanationHtml = explanation.join(QLatin1String("<br/>"));
    return true;
}

void QuestionReader::closeCase()
{
    if (!m_caseOpen)
        return;
    m_caseOpen = false;
    if (m_case.parts.isEmpty())
        m_bank.addNote(m_case.line, QStringLiteral("说明（description）不是题目，已跳过"));
    else
        m_bank.questions.append(m_case);
    m_case = BankQuestion();
}

void QuestionReader::read(const XmlNode &quiz)
{
    static const QStringList supported = {QStringLiteral("multichoice"), QStringLiteral("truefalse"),
                                          QStringLiteral("shortanswer"), QStringLiteral("essay"),
                                          QStringLiteral("multianswer")};
    for (const XmlNode *node : quiz.childrenNamed(QStringLiteral("question"))) {
        const QString type = node->attributes.value(QStringLiteral("type"));
        if (type == QLatin1String("category")) {
            const XmlNode *category = node->child(QStringLiteral("category"));
            m_category = category ? category->childText(QStringLiteral("text")) : QString();
            static const QRegularExpression context(QStringLiteral("^\\$(?:course|cat[0-9]*|system|module)\\$/"));
            static const QRegularExpression top(QStringLiteral("^top(?:/|$)"));
            m_category.remove(context);
            m_category.remove(top);
            continue;
        }
        BankQuestion question;
        question.line = node->line;
        question.category = m_category;
        question.key = node->childText(QStringLiteral("idnumber"));
        if (question.key.isEmpty()) {
            const XmlNode *name = node->child(QStringLiteral("name"));
            question.key = name ? name->childText(QStringLiteral("text")) : QString();
        }
        question.stemHtml = html(node->child(QStringLiteral("questiontext")));
        bool gradeOk = true;
        const QString grade = node->childText(QStringLiteral("defaultgrade"));
        if (!grade.isEmpty())
            question.marks = grade.toDouble(&gradeOk);
        if (!gradeOk || question.marks < 0) {
            m_bank.addError(node->line, QStringLiteral("分值（defaultgrade）“%1”不是数").arg(grade));
            continue;
        }

        if (type == QLatin1String("description")) {
            closeCase();
            question.type = BankQuestion::CaseStudy;
            m_case = question;
            m_caseOpen = true;
            continue;
        }
        if (!supported.contains(type)) {
            m_bank.addError(node->line, QStringLiteral("题型“%1”题库不能保存").arg(type));
            continue;
        }
        if (question.stemHtml.isEmpty()) {
            m_bank.addError(node->line, QStringLiteral("题目没有题干（questiontext）"));
            continue;
        }
        if (!fill(question, *node, type))
            continue;
        if (m_caseOpen && !m_case.key.isEmpty() && question.key.startsWith(m_case.key + QLatin1Char('/'))) {
            question.key = question.key.mid(m_case.key.size() + 1);
            m_case.parts.append(question);
            continue;
        }
        closeCase();
        m_bank.questions.append(question);
    }
    closeCase();
}

} // namespace

ParsedBank MoodleXmlParser::parse(const QByteArray &bytes, const QString &baseDir)
{
    ParsedBank bank;
    bank.format = QStringLiteral("xml");
    int errorLine = 0;
    QString errorText;
    QVector<int> unread;
    const XmlNode document = XmlNode::parse(bytes, &errorLine, &errorText, &unread);
    for (const int line : qAsConst(unread))
        bank.addError(line, QStringLiteral("外部实体不被读取：这里引用的外部实体（文件或网址）的内容不会导入，请把它写进文件"));
    ImageCollector images(bank, baseDir);
    const XmlNode *quiz = document.child(QStringLiteral("quiz"));
    if (quiz) {
        XmlNode whole = *quiz;
        // The question the fault cut short is never half-read.
        if (!errorText.isEmpty() && !whole.children.isEmpty())
            whole.children.removeLast();
        QuestionReader(bank, images).read(whole);
    }
    if (!errorText.isEmpty())
        bank.addError(errorLine, QStringLiteral("XML 格式错误：%1").arg(errorText));
    else if (!quiz)
        bank.addError(1, QStringLiteral("不是 Moodle XML：没有 <quiz> 元素"));
    return bank;
}
