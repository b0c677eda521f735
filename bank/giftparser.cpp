#include "giftparser.h"

#include "banktext.h"
#include "imagecollector.h"

#include <QRegularExpression>

namespace {

// Escaped special characters stand in the text as private-use characters, so
// that the plain ones can be searched for; they are put back at the end.
const QString specials = QStringLiteral("~=#{}:\\");
constexpr ushort placeholderBase = 0xE000;

QString protectEscapes(const QString &raw)
{
    QString text;
    text.reserve(raw.size());
    for (int i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c.unicode() >= placeholderBase && c.unicode() < placeholderBase + specials.size())
            continue; // cannot come from a text file that means something
        if (c == QLatin1Char('\\') && i + 1 < raw.size()) {
            const QChar next = raw.at(i + 1);
            const int special = specials.indexOf(next);
            if (special >= 0) {
                text += QChar(ushort(placeholderBase + special));
                ++i;
                continue;
            }
            if (next == QLatin1Char('n')) {
                text += QLatin1Char('\n');
                ++i;
                continue;
            }
        }
        text += c;
    }
    return text;
}

QString restoreEscapes(QString text)
{
    for (int i = 0; i < specials.size(); ++i)
        text.replace(QChar(ushort(placeholderBase + i)), specials.at(i));
    return text;
}

enum class Format { Moodle, Html, Plain, Markdown };

struct AnswerItem
{
    bool right = false;       // "=" rather than "~"
    bool weighted = false;
    double weight = 0;
    QString text;
    QString feedback;
};

class BlockParser
{
public:
    BlockParser(ParsedBank &bank, ImageCollector &images)
        : m_bank(bank), m_images(images) {}

    void parseFile(const QString &text);

private:
    void parseBlock(const QString &block, int firstLine, double marks);
    void addQuestion(BankQuestion question, const QString &title);
    void closeCase();
    bool fillAnswers(BankQuestion &question, const QString &answerText, int line, bool middle);
    QString html(const QString &text, int line) const;
    int lineAt(const QString &block, int position, int firstLine) const
    {
        return firstLine + block.leftRef(position).count(QLatin1Char('\n'));
    }

    ParsedBank &m_bank;
    ImageCollector &m_images;
    QString m_category;
    Format m_format = Format::Moodle;
    BankQuestion m_case;       // a case study waiting for its parts
    QString m_opening;         // the question being read, as messages name it
    int m_openingLine = 0;
    bool m_caseOpen = false;
};

QString BlockParser::html(const QString &text, int line) const
{
    const QString restored = restoreEscapes(text).trimmed();
    QString result;
    switch (m_format) {
    case Format::Plain: result = BankText::plainToHtml(restored); break;
    case Format::Markdown: result = BankText::markdownToHtml(restored); break;
    case Format::Html: result = restored; break;
    case Format::Moodle: result = BankText::autoToHtml(restored); break;
    }
    return m_images.resolve(result, line);
}

void BlockParser::parseFile(const QString &text)
{
    static const QRegularExpression marksComment(
        QStringLiteral("^//\\s*(?:分值|marks)\\s*[:：]\\s*([0-9]+(?:\\.[0-9]+)?)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QStringList lines = text.split(QLatin1Char('\n'));
    QString block;
    int firstLine = 0;
    double marks = 1;
    for (int i = 0; i <= lines.size(); ++i) {
        const QString line = i < lines.size() ? lines.at(i) : QString();
        const QString trimmed = line.trimmed();
        if (i == lines.size() || trimmed.isEmpty()) {
            if (!block.trimmed().isEmpty())
                parseBlock(block, firstLine, marks);
            block.clear();
            marks = 1;
            continue;
        }
        if (block.isEmpty())
            firstLine = i + 1;
        if (trimmed.startsWith(QLatin1String("//"))) {
            const QRegularExpressionMatch match = marksComment.match(trimmed);
            if (match.hasMatch())
                marks = match.captured(1).toDouble();
            block += QLatin1Char('\n'); // keeps the line count of the block
            continue;
        }
        block += line + QLatin1Char('\n');
    }
    closeCase();
}

void BlockParser::parseBlock(const QString &rawBlock, int firstLine, double marks)
{
    QString block = protectEscapes(rawBlock);
    int start = 0;
    while (start < block.size() && block.at(start).isSpace())
        ++start;
    if (block.midRef(start).startsWith(QLatin1String("$CATEGORY:"))) {
        int end = block.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = block.size();
        m_category = restoreEscapes(block.mid(start + 10, end - start - 10)).trimmed();
        static const QRegularExpression context(QStringLiteral("^\\$(?:course|cat[0-9]*|system|module)\\$/"));
        static const QRegularExpression top(QStringLiteral("^top(?:/|$)"));
        m_category.remove(context);
        m_category.remove(top);
        start = end;
        while (start < block.size() && block.at(start).isSpace())
            ++start;
        if (start >= block.size())
            return;
    }
    const int questionLine = lineAt(block, start, firstLine);

    QString title;
    if (block.midRef(start).startsWith(QLatin1String("::"))) {
        const int end = block.indexOf(QLatin1String("::"), start + 2);
        if (end < 0) {
            m_bank.addError(questionLine, QStringLiteral("题目名称以“::”开始却没有以“::”结束"));
            return;
        }
        title = restoreEscapes(block.mid(start + 2, end - start - 2)).trimmed();
        start = end + 2;
    }
    static const QRegularExpression formatTag(QStringLiteral("^\\s*\\[(html|moodle|plain|markdown)\\]"),
                                              QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch format = formatTag.match(block.midRef(start));
    m_format = Format::Moodle;
    if (format.hasMatch()) {
        const QString name = format.captured(1).toLower();
        m_format = name == QLatin1String("html") ? Format::Html
            : name == QLatin1String("plain") ? Format::Plain
            : name == QLatin1String("markdown") ? Format::Markdown : Format::Moodle;
        start += format.capturedEnd();
    }

    const int open = block.indexOf(QLatin1Char('{'), start);
    const int stray = block.indexOf(QLatin1Char('}'), start);
    if (stray >= 0 && (open < 0 || stray < open)) {
        m_bank.addError(lineAt(block, stray, firstLine), QStringLiteral("“}”前没有“{”（文字中的括号要写成“\\}”）"));
        return;
    }
    if (open < 0) {
        // Text without an answer part: a description, or the stem of a case study.
        BankQuestion description;
        description.type = BankQuestion::CaseStudy;
        description.stemHtml = html(block.mid(start), questionLine);
        description.key = title;
        description.line = questionLine;
        description.category = m_category;
        closeCase();
        m_case = description;
        m_caseOpen = true;
        return;
    }
    const int close = block.indexOf(QLatin1Char('}'), open + 1);
    const int openLine = lineAt(block, open, firstLine);
    if (close < 0) {
        m_bank.addError(openLine, QStringLiteral("题目没有写完：“{”之后缺少“}”"));
        return;
    }
    if (block.indexOf(QLatin1Char('{'), open + 1) >= 0) {
        m_bank.addError(openLine, QStringLiteral("一道题只能有一组答案“{…}”"));
        return;
    }

    const QString before = block.mid(start, open - start);
    const QString after = block.mid(close + 1);
    m_opening = title.isEmpty() ? ParsedBank::openingOf(restoreEscapes(before)) : title;
    m_openingLine = questionLine;
    const bool middle = !after.trimmed().isEmpty();

    BankQuestion question;
    question.line = questionLine;
    question.marks = marks;
    question.category = m_category;
    question.key = title;
    if (!fillAnswers(question, block.mid(open + 1, close - open - 1), openLine, middle))
        return;
    if (middle) {
        const QString marker = question.type == BankQuestion::FillIn ? BankText::blankMarker()
                                                                     : QStringLiteral("（　　）");
        question.stemHtml = html(before.trimmed() + QLatin1Char(' ') + marker + QLatin1Char(' ')
                                 + after.trimmed(), questionLine);
    } else {
        question.stemHtml = html(before, questionLine);
    }
    if (question.stemHtml.isEmpty()) {
        m_bank.addError(questionLine, QStringLiteral("题目没有题干"));
        return;
    }
    addQuestion(question, title);
}

void BlockParser::addQuestion(BankQuestion question, const QString &title)
{
    if (m_caseOpen && !m_case.key.isEmpty() && title.startsWith(m_case.key + QLatin1Char('/'))) {
        question.key = title.mid(m_case.key.size() + 1);
        m_case.parts.append(question);
        return;
    }
    closeCase();
    m_bank.questions.append(question);
}

void BlockParser::closeCase()
{
    if (!m_caseOpen)
        return;
    m_caseOpen = false;
    if (m_case.parts.isEmpty())
        m_bank.addNote(m_case.line, QStringLiteral("没有答案部分“{…}”的说明文字，不是题目，已跳过"));
    else
        m_bank.questions.append(m_case);
    m_case = BankQuestion();
}

bool BlockParser::fillAnswers(BankQuestion &question, const QString &answerText, int line, bool middle)
{
    QString answers = answerText;
    const int general = answers.indexOf(QLatin1String("####"));
    QStringList explanation;
    if (general >= 0) {
        explanation << html(answers.mid(general + 4), line);
        answers.truncate(general);
    }
    const QString trimmed = answers.trimmed();
    const auto finish = [&]() {
        explanation.removeAll(QString());
        question.explanationHtml = explanation.join(QLatin1String("<br/>"));
        return true;
    };

    if (trimmed.isEmpty()) {
        question.type = BankQuestion::Essay;
        return finish();
    }
    if (trimmed.startsWith(QLatin1Char('#'))) {
        m_bank.addError(line, QStringLiteral("数值题（“{#…}”）题库不能保存"));
        return false;
    }
    static const QRegularExpression trueFalse(QStringLiteral("^(T|F|TRUE|FALSE)\\s*(#.*)?$"),
                                              QRegularExpression::CaseInsensitiveOption
                                                  | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch tf = trueFalse.match(trimmed);
    if (tf.hasMatch()) {
        question.type = BankQuestion::TrueFalse;
        question.answerLetters = tf.captured(1).startsWith(QLatin1Char('T'), Qt::CaseInsensitive)
            ? QStringLiteral("A") : QStringLiteral("B");
        const QStringList feedback = tf.captured(2).split(QLatin1Char('#'), Qt::SkipEmptyParts);
        for (const QString &text : feedback)
            explanation << html(text, line);
        return finish();
    }

    QVector<AnswerItem> items;
    for (int i = 0; i < trimmed.size(); ++i) {
        const QChar c = trimmed.at(i);
        if (c == QLatin1Char('=') || c == QLatin1Char('~')) {
            items.append(AnswerItem());
            items.last().right = c == QLatin1Char('=');
        } else if (items.isEmpty()) {
            m_bank.addError(line, QStringLiteral("答案部分应以“=”或“~”开始，却是“%1”").arg(restoreEscapes(QString(c))));
            return false;
        } else {
            items.last().text += c;
        }
    }
    static const QRegularExpression weightPattern(QStringLiteral("^\\s*%(-?[0-9]+(?:\\.[0-9]*)?)%"));
    bool anyWrong = false;
    for (AnswerItem &item : items) {
        const int hash = item.text.indexOf(QLatin1Char('#'));
        if (hash >= 0) {
            item.feedback = item.text.mid(hash + 1);
            item.text.truncate(hash);
        }
        const QRegularExpressionMatch weight = weightPattern.match(item.text);
        if (weight.hasMatch()) {
            item.weighted = true;
            item.weight = weight.captured(1).toDouble();
            item.text.remove(0, weight.capturedLength());
        }
        if (item.right && item.text.contains(QLatin1String("->"))) {
            m_bank.addError(line, QStringLiteral("配对题（“=…->…”）题库不能保存"));
            return false;
        }
        if (item.text.trimmed().isEmpty()) {
            m_bank.addError(line, QStringLiteral("答案部分有空的选项"));
            return false;
        }
        anyWrong = anyWrong || !item.right;
    }

    if (!anyWrong) {
        // Only "=" answers: a short answer; the full-credit ones are accepted.
        question.type = BankQuestion::FillIn;
        QList<QStringList> blanks;
        for (const AnswerItem &item : items) {
            if (item.weighted && item.weight < 100) {
                // The bank has no partial credit: such an answer counts as
                // wrong, and the preview says so.
                if (item.weight > 0)
                    m_bank.addNote(line, QStringLiteral("答案“%1”只得 %2%，题库没有部分得分，不算正确答案")
                                             .arg(restoreEscapes(item.text).trimmed())
                                             .arg(item.weight));
                continue;
            }
            if (!BankText::mergeAnswer(&blanks, BankText::splitBlanks(restoreEscapes(item.text)))) {
                m_bank.addError(line, QStringLiteral("各个可接受答案的空数（“|”分隔）不一致"));
                return false;
            }
        }
        if (!BankText::everyBlankAnswered(blanks)) {
            m_bank.addError(line, QStringLiteral("填空题没有得满分的答案"));
            return false;
        }
        if (middle && blanks.size() != 1) {
            m_bank.addError(line, QStringLiteral("文字中间的空只能有一个答案空（不能用“|”分隔）"));
            return false;
        }
        question.blanks = blanks;
        // Each answer's feedback under the answer it is about.
        for (const AnswerItem &item : items) {
            if (!item.feedback.trimmed().isEmpty())
                explanation << html(item.text, line) + QStringLiteral("：") + html(item.feedback, line);
        }
        return finish();
    }

    int equals = 0;
    int positive = 0;
    for (const AnswerItem &item : items) {
        equals += item.right ? 1 : 0;
        positive += !item.right && item.weighted && item.weight > 0 ? 1 : 0;
    }
    if (items.size() < 2) {
        m_bank.addError(line, QStringLiteral("选择题至少要有两个选项"));
        return false;
    }
    if (items.size() > 5) {
        m_bank.addRefusal(m_openingLine, ParsedBank::tooManyOptions(m_opening, items.size()));
        return false;
    }
    if (equals == 0 && positive == 0) {
        m_bank.addError(line, QStringLiteral("选择题没有正确选项（用“=”或正分值“~%50%”标出）"));
        return false;
    }
    // One "=" option: single choice, partial weights counting as wrong (said
    // in a note). No "=": a multiple choice whose options of positive weight
    // are right, all of them needed; weights that do not add up to 100% are
    // said in a note, since the bank marks the question all or nothing.
    const bool single = equals == 1;
    question.type = single ? BankQuestion::SingleChoice : BankQuestion::MultipleChoice;
    double positiveSum = 0;
    for (const AnswerItem &item : items) {
        if (item.weighted && item.weight > 0 && item.weight < 100 && equals > 0)
            m_bank.addNote(line, QStringLiteral("选项“%1”只得 %2%，题库没有部分得分，按错误选项导入")
                                     .arg(restoreEscapes(item.text).trimmed())
                                     .arg(item.weight));
        if (item.weighted && item.weight > 0)
            positiveSum += item.weight;
    }
    if (equals == 0 && qAbs(positiveSum - 100) > 1)
        m_bank.addNote(line, QStringLiteral("多选题正确选项的分值之和是 %1%，不是 100%：按全部选对才得分导入")
                                 .arg(positiveSum));
    for (int i = 0; i < items.size(); ++i) {
        const AnswerItem &item = items.at(i);
        const QChar letter('A' + i);
        const bool right = equals > 0 ? item.right : (item.weighted && item.weight > 0);
        if (right)
            question.answerLetters += letter;
        question.optionsHtml << html(item.text, line);
        if (!item.feedback.trimmed().isEmpty())
            explanation << QString(letter) + QStringLiteral("：") + html(item.feedback, line);
    }
    return finish();
}

} // namespace

ParsedBank GiftParser::parse(const QString &text, const QString &baseDir)
{
    ParsedBank bank;
    bank.format = QStringLiteral("gift");
    ImageCollector images(bank, baseDir);
    BlockParser parser(bank, images);
    parser.parseFile(text);
    return bank;
}
