#include "sheetparser.h"

#include "banktext.h"
#include "imagecollector.h"
#include "papergrader.h"

#include <QHash>
#include <QRegularExpression>

namespace {

enum Column { Number, Type, Stem, OptionA, OptionH = OptionA + 7, Answer, Explanation, Marks, Chapter,
              Category, Difficulty, CaseOf, ColumnCount };

// Header texts by column, compared without blanks and case.
const QHash<QString, int> &headerNames()
{
    static const QHash<QString, int> names = [] {
        QHash<QString, int> n;
        const auto add = [&n](int column, std::initializer_list<const char *> texts) {
            for (const char *text : texts)
                n.insert(QString::fromUtf8(text).toLower(), column);
        };
        add(Number, {"题号", "序号", "编号", "试题编号", "no", "id"});
        add(Type, {"题型", "题目类型", "试题类型", "类型", "type"});
        add(Stem, {"题干", "题目", "试题", "题目内容", "试题内容", "问题", "question"});
        add(Answer, {"答案", "正确答案", "参考答案", "标准答案", "answer"});
        add(Explanation, {"解析", "答案解析", "试题解析", "解释", "explanation"});
        add(Marks, {"分值", "分数", "marks"});
        add(Chapter, {"章节", "章", "chapter"});
        add(Category, {"分类", "类别", "知识点", "category"});
        add(Difficulty, {"难度", "difficulty"});
        add(CaseOf, {"所属案例", "所属材料", "案例题号", "材料题号"});
        for (int i = 0; i < 8; ++i) {
            const QString letter(QChar('a' + i));
            for (const QString &form : {letter, QStringLiteral("选项") + letter, letter + QStringLiteral("选项"),
                                        QStringLiteral("option") + letter})
                n.insert(form, OptionA + i);
        }
        return n;
    }();
    return names;
}

int columnOfHeader(const QString &text)
{
    static const QRegularExpression decoration(QStringLiteral("[\\s　:：*（）()]"));
    QString key = text.toLower();
    key.remove(decoration);
    return headerNames().value(key, -1);
}

int typeOf(const QString &text)
{
    const QString t = text.trimmed().toLower();
    if (t.isEmpty())
        return BankQuestion::Unknown;
    if (t.contains(QStringLiteral("案例")) || t.contains(QStringLiteral("材料")) || t == QLatin1String("case"))
        return BankQuestion::CaseStudy;
    if (t.contains(QStringLiteral("多")) || t.contains(QStringLiteral("不定项")) || t == QLatin1String("multiple"))
        return BankQuestion::MultipleChoice;
    if (t.contains(QStringLiteral("单")) || t == QLatin1String("single"))
        return BankQuestion::SingleChoice;
    if (t.contains(QStringLiteral("判断")) || t == QLatin1String("truefalse"))
        return BankQuestion::TrueFalse;
    if (t.contains(QStringLiteral("填空")) || t == QLatin1String("fill"))
        return BankQuestion::FillIn;
    if (t.contains(QStringLiteral("简答")) || t.contains(QStringLiteral("问答")) || t.contains(QStringLiteral("论述"))
        || t == QLatin1String("essay"))
        return BankQuestion::Essay;
    return BankQuestion::Unknown;
}

// 1 true, 0 false, -1 neither.
int truthOf(const QString &text)
{
    static const QStringList truths = {QStringLiteral("正确"), QStringLiteral("对"), QStringLiteral("是"),
                                       QStringLiteral("√"), QStringLiteral("✓"), QStringLiteral("t"),
                                       QStringLiteral("true"), QStringLiteral("a"), QStringLiteral("y")};
    static const QStringList falsehoods = {QStringLiteral("错误"), QStringLiteral("错"), QStringLiteral("否"),
                                           QStringLiteral("×"), QStringLiteral("✗"), QStringLiteral("f"),
                                           QStringLiteral("x"), QStringLiteral("false"), QStringLiteral("b"),
                                           QStringLiteral("n")};
    const QString word = text.trimmed().toLower();
    return truths.contains(word) ? 1 : falsehoods.contains(word) ? 0 : -1;
}

class RowReader
{
public:
    RowReader(ParsedBank &bank, ImageCollector &images, const QVector<int> &columns)
        : m_bank(bank), m_images(images), m_columns(columns) {}

    void read(const QVector<SheetRow> &rows);

private:
    QString cell(const SheetRow &row, int column) const
    {
        const int index = m_columns.value(column, -1);
        return index >= 0 && index < row.cells.size() ? row.cells.at(index).trimmed() : QString();
    }
    QString html(const QString &text, int line) const
    {
        return m_images.resolve(BankText::looksLikeHtml(text) ? text : BankText::plainToHtml(text), line);
    }
    bool readQuestion(const SheetRow &row, BankQuestion &question);
    bool readAnswer(const SheetRow &row, BankQuestion &question);
    // Index of the open case study a row belongs to, or -1.
    int caseOf(const SheetRow &row) const;

    ParsedBank &m_bank;
    ImageCollector &m_images;
    QVector<int> m_columns;
    QHash<QString, int> m_caseByNumber;   // 题号 of each case study → index in questions
};

int RowReader::caseOf(const SheetRow &row) const
{
    const QString named = cell(row, CaseOf);
    if (!named.isEmpty())
        return m_caseByNumber.value(named, -2);
    static const QRegularExpression partNumber(QStringLiteral("^(.+?)\\s*(?:[-_.．、]|[(（])\\s*\\d+\\s*[)）]?$"));
    const QRegularExpressionMatch match = partNumber.match(cell(row, Number));
    if (match.hasMatch())
        return m_caseByNumber.value(match.captured(1), -1);
    return -1;
}

bool RowReader::readAnswer(const SheetRow &row, BankQuestion &question)
{
    const QString answer = cell(row, Answer);
    const int line = row.line;
    switch (question.type) {
    case BankQuestion::SingleChoice:
    case BankQuestion::MultipleChoice: {
        static const QRegularExpression separators(QStringLiteral("[\\s,，、/;；|]"));
        QString letters = answer.toUpper();
        letters.remove(separators);
        // Full-width letters as typed by Chinese input methods.
        for (QChar &c : letters) {
            if (c.unicode() >= 0xFF21 && c.unicode() <= 0xFF3A)
                c = QChar(c.unicode() - 0xFF21 + 'A');
        }
        if (letters.isEmpty()) {
            m_bank.addError(line, QStringLiteral("没有答案"));
            return false;
        }
        for (const QChar letter : letters) {
            if (letter.unicode() < 'A' || letter.unicode() >= 'A' + question.optionsHtml.size()) {
                m_bank.addError(line, QStringLiteral("答案“%1”不是这道题的选项").arg(answer));
                return false;
            }
            if (!question.answerLetters.contains(letter))
                question.answerLetters += letter;
        }
        std::sort(question.answerLetters.begin(), question.answerLetters.end());
        if (question.type == BankQuestion::SingleChoice && question.answerLetters.size() != 1) {
            m_bank.addError(line, QStringLiteral("单选题只能有一个答案，却是“%1”").arg(answer));
            return false;
        }
        return true;
    }
    case BankQuestion::TrueFalse: {
        const int truth = truthOf(answer);
        if (truth < 0) {
            m_bank.addError(line, QStringLiteral("判断题的答案应是“正确”或“错误”（对/错、√/×、T/F），却是“%1”").arg(answer));
            return false;
        }
        question.answerLetters = truth == 1 ? QStringLiteral("A") : QStringLiteral("B");
        return true;
    }
    case BankQuestion::FillIn: {
        QString text = answer;
        text.replace(QChar(0xFF5C), QLatin1Char('|')); // full-width bar
        question.blanks = BankText::splitBlanks(text);
        for (const QStringList &blank : qAsConst(question.blanks)) {
            if (blank.isEmpty()) {
                m_bank.addError(line, QStringLiteral("填空题的答案有空的空（各空用“|”分隔）"));
                return false;
            }
        }
        const int marks = BankText::countBlankMarks(question.stemHtml);
        if (marks > 0 && marks != question.blanks.size()) {
            m_bank.addError(line, QStringLiteral("题干有%1处“____”，答案却有%2个空").arg(marks).arg(question.blanks.size()));
            return false;
        }
        return true;
    }
    case BankQuestion::Essay:
        // The reference answer of an essay is shown with the explanation.
        if (!answer.isEmpty()) {
            const QString reference = QStringLiteral("参考答案：") + html(answer, line);
            question.explanationHtml = question.explanationHtml.isEmpty()
                ? reference : reference + QLatin1String("<br/>") + question.explanationHtml;
        }
        return true;
    default:
        return true;
    }
}

bool RowReader::readQuestion(const SheetRow &row, BankQuestion &question)
{
    const int line = row.line;
    question.line = line;
    question.key = cell(row, Number);
    question.type = typeOf(cell(row, Type));
    const QString stem = cell(row, Stem);
    if (stem.isEmpty()) {
        m_bank.addError(line, QStringLiteral("没有题干"));
        return false;
    }
    question.stemHtml = html(stem, line);
    int last = -1;
    for (int i = 0; i < 8; ++i) {
        if (!cell(row, OptionA + i).isEmpty())
            last = i;
    }
    for (int i = 0; i <= last; ++i)
        question.optionsHtml << html(cell(row, OptionA + i), line);
    if (question.type == BankQuestion::Unknown) {
        const QString given = cell(row, Type);
        if (!given.isEmpty()) {
            m_bank.addError(line, QStringLiteral("不认识的题型“%1”").arg(given));
            return false;
        }
        // No type given: told from the options and the answer.
        static const QRegularExpression separators(QStringLiteral("[\\s,，、/;；]"));
        QString letters = cell(row, Answer);
        letters.remove(separators);
        question.type = last >= 1 ? (letters.size() > 1 ? BankQuestion::MultipleChoice : BankQuestion::SingleChoice)
            : truthOf(letters) >= 0 ? BankQuestion::TrueFalse : BankQuestion::FillIn;
    }
    const bool choice = question.type == BankQuestion::SingleChoice || question.type == BankQuestion::MultipleChoice;
    if (choice) {
        if (question.optionsHtml.size() < 2) {
            m_bank.addError(line, QStringLiteral("选择题至少要有两个选项"));
            return false;
        }
        if (question.optionsHtml.contains(QString())) {
            m_bank.addError(line, QStringLiteral("选项之间有空的选项"));
            return false;
        }
        if (question.optionsHtml.size() > 5) {
            m_bank.addRefusal(line, ParsedBank::tooManyOptions(ParsedBank::openingOf(question.stemHtml),
                                                               question.optionsHtml.size()));
            return false;
        }
    } else {
        question.optionsHtml.clear();
    }
    question.explanationHtml = html(cell(row, Explanation), line);
    const QString marks = cell(row, Marks);
    if (!marks.isEmpty()) {
        bool ok = false;
        question.marks = marks.toDouble(&ok);
        if (!ok || question.marks < 0) {
            m_bank.addError(line, QStringLiteral("分值“%1”不是数").arg(marks));
            return false;
        }
    }
    const QString difficulty = cell(row, Difficulty);
    static const QStringList words = {QStringLiteral("易"), QStringLiteral("中"), QStringLiteral("难")};
    const int word = words.indexOf(difficulty.left(1));
    question.difficulty = word >= 0 ? word + 1 : difficulty.toDouble();
    question.chapter = cell(row, Chapter);
    question.category = cell(row, Category);
    return readAnswer(row, question);
}

void RowReader::read(const QVector<SheetRow> &rows)
{
    for (const SheetRow &row : rows) {
        BankQuestion question;
        const int owner = caseOf(row);
        if (owner == -2) {
            m_bank.addError(row.line, QStringLiteral("所属案例“%1”不在前面的行中").arg(cell(row, CaseOf)));
            continue;
        }
        if (!readQuestion(row, question))
            continue;
        if (question.type == BankQuestion::CaseStudy) {
            if (owner >= 0) {
                m_bank.addError(row.line, QStringLiteral("案例题中不能再套案例题"));
                continue;
            }
            if (!question.key.isEmpty())
                m_caseByNumber.insert(question.key, m_bank.questions.size());
            m_bank.questions.append(question);
        } else if (owner >= 0) {
            BankQuestion &parent = m_bank.questions[owner];
            static const QRegularExpression joiner(QStringLiteral("^[-_.．、(（\\s]+"));
            const QString prefix = parent.key;
            if (question.key.startsWith(prefix))
                question.key = question.key.mid(prefix.size()).remove(joiner);
            parent.parts.append(question);
        } else {
            m_bank.questions.append(question);
        }
    }
    for (int i = 0; i < m_bank.questions.size(); ++i) {
        const BankQuestion &question = m_bank.questions.at(i);
        if (question.type == BankQuestion::CaseStudy && question.parts.isEmpty()) {
            m_bank.addError(question.line, QStringLiteral("案例题后面没有属于它的小题（用“所属案例”列或“题号-序号”标出）"));
            m_bank.questions.remove(i--);
        }
    }
}

} // namespace

bool SheetParser::looksLikeHeader(const QString &line)
{
    static const QRegularExpression separator(QStringLiteral("[,\t]"));
    const QStringList cells = line.split(separator);
    for (const QString &cell : cells) {
        QString text = cell.trimmed();
        if (text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"')) && text.size() > 1)
            text = text.mid(1, text.size() - 2);
        if (columnOfHeader(text) == Stem)
            return true;
    }
    return false;
}

QStringList SheetParser::templateHeader()
{
    return {QStringLiteral("题号"), QStringLiteral("题型"), QStringLiteral("题干"), QStringLiteral("选项A"),
            QStringLiteral("选项B"), QStringLiteral("选项C"), QStringLiteral("选项D"), QStringLiteral("选项E"),
            QStringLiteral("答案"), QStringLiteral("解析"), QStringLiteral("分值"), QStringLiteral("章节"),
            QStringLiteral("分类"), QStringLiteral("难度"), QStringLiteral("所属案例")};
}

ParsedBank SheetParser::parse(const SheetTable &table, const QString &format, const QString &baseDir)
{
    ParsedBank bank;
    bank.format = format;
    bank.problems = table.problems;
    // The header is the first row (of the first ten) that names a 题干 column.
    int headerIndex = -1;
    QVector<int> columns(ColumnCount, -1);
    for (int r = 0; r < table.rows.size() && r < 10 && headerIndex < 0; ++r) {
        QVector<int> found(ColumnCount, -1);
        const QStringList &cells = table.rows.at(r).cells;
        for (int c = 0; c < cells.size(); ++c) {
            const int column = columnOfHeader(cells.at(c));
            if (column >= 0 && found.at(column) < 0)
                found[column] = c;
        }
        if (found.at(Stem) >= 0) {
            headerIndex = r;
            columns = found;
        }
    }
    if (headerIndex < 0) {
        if (bank.errorCount() == 0)
            bank.addError(table.rows.isEmpty() ? 1 : table.rows.first().line,
                          QStringLiteral("找不到表头：前十行中没有“题干”列"));
        return bank;
    }
    ImageCollector images(bank, baseDir);
    RowReader(bank, images, columns).read(table.rows.mid(headerIndex + 1));
    return bank;
}
