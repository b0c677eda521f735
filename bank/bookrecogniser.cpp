#include "bookrecogniser.h"

#include "banktext.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

// What a line of a book is, by the first rule of the table that matches it.
enum class Kind {
    KeyHeading,    // "参考答案" alone: the answers of the book follow
    KeyLine,       // "1-5 ACBDA", "1．A 2．C 3．B"
    TypeHeading,   // "一、单项选择题（每题2分，共20分）"
    Material,      // "材料：…", "阅读下面的材料…"
    Answer,        // "答案：B", "【答案】B"
    Explanation,   // "解析：…", "【解析】…"
    Chapter,       // "一、法律法规" without a question type
    TopNumber,     // "1．", "1、", "1)", "第1题"
    PartNumber,    // "（1）"
    Option,        // "A．…", "(A)…"
    Text,
};

struct Rule
{
    Kind kind;
    QRegularExpression pattern;
    int rest;              // the capture where the line's own text starts; 0 for the whole line
};

const QString typeWords = QStringLiteral(
    "(单项选择|单选|多项选择|多选|不定项选择|不定项|判断|是非|填空|简答|问答|论述|名词解释|计算|案例分析|材料分析|"
    "综合分析|案例|选择)");
const QString numeral = QStringLiteral("[一二三四五六七八九十]{1,3}\\s*[、.]\\s*");

// The text the rules read is folded (RichLine::fold): "（" is "(", "．" is ".", "：" is ":".
const QVector<Rule> &rules()
{
    static const QVector<Rule> table{
        {Kind::KeyHeading,
         QRegularExpression(QStringLiteral("^\\s*(?:%1)?【?(参考答案及解析|参考答案与解析|答案及解析|答案与解析|参考答案|"
                                           "标准答案|答案解析|答案)】?\\s*:?\\s*$").arg(numeral)), 0},
        {Kind::KeyLine,
         QRegularExpression(QStringLiteral("^\\s*(?:【?(?:参考答案|标准答案|答案)】?\\s*:?\\s*)?((?:\\d{1,4}\\s*[-~—–]\\s*\\d{1,4}"
                                           "\\s*[:.、]?\\s*(?:[A-E√×]+[\\s,、;]*)+)+)$")), 1},
        {Kind::KeyLine,
         QRegularExpression(QStringLiteral("^\\s*(?:【?(?:参考答案|标准答案|答案)】?\\s*:?\\s*)?((?:\\d{1,4}\\s*[.、:)]?\\s*"
                                           "(?:[A-E]{1,5}|√|×|对|错)\\s*[,;、]?\\s*){2,})$")), 1},
        {Kind::TypeHeading,
         QRegularExpression(QStringLiteral("^\\s*(?:第[一二三四五六七八九十\\d]+部分\\s*|%1)%2(?:题.{0,60}|\\s*(?:\\(.{0,40}\\))?\\s*:?)$")
                                .arg(numeral, typeWords)), 0},
        {Kind::TypeHeading, QRegularExpression(QStringLiteral("^\\s*%1题\\s*(\\(.{0,40}\\))?\\s*:?\\s*$").arg(typeWords)), 0},
        {Kind::Material,
         QRegularExpression(QStringLiteral("^\\s*【?(?:背景材料|案例材料|材料|案例|资料)[一二三四五六七八九十\\d]*】?\\s*:\\s*(.*)$")), 1},
        {Kind::Material, QRegularExpression(QStringLiteral("^\\s*(?:阅读|根据)(?:下面|以下|下列)的?.{0,8}(?:材料|案例|资料)")), 0},
        {Kind::Answer,
         QRegularExpression(QStringLiteral("^\\s*(?:【(?:正确答案|参考答案|标准答案|答案)】|(?:正确答案|参考答案|标准答案|答案)"
                                           "\\s*:)\\s*(.*)$")), 1},
        {Kind::Explanation,
         QRegularExpression(QStringLiteral("^\\s*(?:【(?:答案解析|试题解析|解析|详解|分析|点评)】|(?:答案解析|试题解析|解析|详解)"
                                           "\\s*:)\\s*(.*)$")), 1},
        {Kind::Chapter,
         QRegularExpression(QStringLiteral("^\\s*(?:第[一二三四五六七八九十\\d]+[章节部分]\\s*|%1)(\\S.{0,30})$").arg(numeral)), 1},
        {Kind::TopNumber, QRegularExpression(QStringLiteral("^\\s*第\\s*(\\d{1,4})\\s*题\\s*[.、:)]?\\s*(.*)$")), 2},
        {Kind::PartNumber, QRegularExpression(QStringLiteral("^\\s*\\((\\d{1,3})\\)\\s*(.*)$")), 2},
        {Kind::TopNumber, QRegularExpression(QStringLiteral("^\\s*(\\d{1,4})\\s*(?:[.、:]|\\))(?!\\d)\\s*(.*)$")), 2},
        {Kind::Option, QRegularExpression(QStringLiteral("^\\s*(?:\\(([A-E])\\)|([A-E])\\s*[.、:)])\\s*(.*)$")), 3},
    };
    return table;
}

int typeOfWord(const QString &word)
{
    if (word.startsWith(QStringLiteral("单")))
        return BankQuestion::SingleChoice;
    if (word.startsWith(QStringLiteral("多")) || word.startsWith(QStringLiteral("不定项")))
        return BankQuestion::MultipleChoice;
    if (word == QStringLiteral("判断") || word == QStringLiteral("是非"))
        return BankQuestion::TrueFalse;
    if (word == QStringLiteral("填空"))
        return BankQuestion::FillIn;
    if (word == QStringLiteral("选择"))
        return BankQuestion::Unknown;
    if (word.startsWith(QStringLiteral("案例")) || word.startsWith(QStringLiteral("材料"))
        || word.startsWith(QStringLiteral("综合")))
        return BankQuestion::CaseStudy;
    return BankQuestion::Essay;
}

// 1 for a word that says true, 0 for one that says false, -1 otherwise.
int truthOf(QString answer)
{
    static const QStringList truths{QStringLiteral("√"), QStringLiteral("✓"), QStringLiteral("✔"), QStringLiteral("对"),
                                    QStringLiteral("正确"), QStringLiteral("是"), QStringLiteral("t"),
                                    QStringLiteral("true"), QStringLiteral("y")};
    static const QStringList falsehoods{QStringLiteral("×"), QStringLiteral("✗"), QStringLiteral("✘"), QStringLiteral("x"),
                                        QStringLiteral("错"), QStringLiteral("错误"), QStringLiteral("否"),
                                        QStringLiteral("f"), QStringLiteral("false"), QStringLiteral("n")};
    answer = answer.simplified().remove(QLatin1Char(' ')).toLower();
    while (answer.endsWith(QLatin1Char('.')) || answer.endsWith(QChar(0x3002)))
        answer.chop(1);
    return truths.contains(answer) ? 1 : falsehoods.contains(answer) ? 0 : -1;
}

// The option letters an answer names ("B", "A、B、D", "ABD", "B．打印机"), sorted; "" when it names none.
QString lettersOf(const QString &answer)
{
    static const QRegularExpression letters(QStringLiteral("^\\s*([A-Ea-e](?:[\\s,、;/]*[A-Ea-e])*)(?![A-Za-z])"));
    const QRegularExpressionMatch match = letters.match(answer);
    if (!match.hasMatch())
        return QString();
    QString found;
    for (const QChar c : match.captured(1).toUpper()) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('E') && !found.contains(c))
            found += c;
    }
    std::sort(found.begin(), found.end());
    return found;
}

// The texts of n blanks, split the way the book separates them; empty when it cannot be told.
QList<QStringList> blanksOf(const QString &answer, int n)
{
    const QString text = answer.trimmed();
    QStringList pieces;
    static const QRegularExpression numbered(QStringLiteral("\\s*\\(\\d{1,2}\\)\\s*"));
    if (n == 1) {
        pieces << text;
    } else if (text.startsWith(QLatin1String("(1)"))) {
        pieces = text.split(numbered, Qt::SkipEmptyParts);
    } else {
        static const QVector<QRegularExpression> separators{
            QRegularExpression(QStringLiteral("\\s*\\|\\s*")), QRegularExpression(QStringLiteral("\\s*;\\s*")),
            QRegularExpression(QStringLiteral("\\s*、\\s*")), QRegularExpression(QStringLiteral("\\s*,\\s*")),
            QRegularExpression(QStringLiteral("\\s+"))};
        for (const QRegularExpression &separator : separators) {
            pieces = text.split(separator, Qt::SkipEmptyParts);
            if (pieces.size() == n)
                break;
        }
    }
    QList<QStringList> blanks;
    if (pieces.size() != n)
        return blanks;
    for (const QString &piece : qAsConst(pieces)) {
        QStringList accepted;
        for (const QString &alternative : piece.split(QChar(0x00A6), Qt::SkipEmptyParts))
            accepted << alternative.trimmed();
        accepted.removeAll(QString());
        if (accepted.isEmpty())
            return {};
        blanks << accepted;
    }
    return blanks;
}

// Where options start in a line: "A." "B、" "(C)" in letter order from first,
// each after a blank or the start; an option with no text breaks the chain.
struct OptionCut
{
    int start;             // where its letter is
    int text;              // where its text starts
};

QVector<OptionCut> optionCuts(const QString &text, int from, QChar first)
{
    static const QRegularExpression start(
        QStringLiteral("(?:^|(?<=[\\s)。?:;,]))(?:\\(([A-E])\\)|([A-E])\\s*[.、:)])"));
    QVector<OptionCut> cuts;
    QChar expected = first;
    QRegularExpressionMatchIterator it = start.globalMatch(text, from);
    while (it.hasNext() && expected <= QLatin1Char('E')) {
        const QRegularExpressionMatch match = it.next();
        const QChar letter = (match.captured(1) + match.captured(2)).at(0);
        if (letter != expected)
            continue;
        if (!cuts.isEmpty() && text.midRef(cuts.last().text, match.capturedStart() - cuts.last().text).trimmed().isEmpty())
            break;
        cuts.append({match.capturedStart(), match.capturedEnd()});
        expected = QChar(expected.unicode() + 1);
    }
    if (!cuts.isEmpty() && text.midRef(cuts.last().text).trimmed().isEmpty())
        cuts.removeLast();
    return cuts;
}

QString joinLines(const QStringList &lines)
{
    QStringList kept = lines;
    kept.removeAll(QString());
    return kept.join(QLatin1String("<br/>"));
}

struct Draft
{
    int line = 0;
    int number = 0;
    int section = -1;
    QString chapter;
    QStringList stem;
    QStringList options;
    QString answer;            // folded plain text
    QStringList answerHtml;    // the answer and the lines after it
    int answerLine = 0;
    QStringList explanation;
    bool isCase = false;
    bool numberedCase = false; // a case of a case section, opened by its own number
    Kind ownStyle = Kind::TopNumber;
    Kind partStyle = Kind::Text;   // Text: not known yet
    QVector<Draft> parts;
};

struct Section
{
    int type = BankQuestion::Unknown;
    double marks = 1;
};

// An answer from the key at the end of a book.
struct KeyEntry
{
    int keyHeading = -1;       // the type heading of the key it stands under
    int bookSection = -1;      // or the section of the book it follows directly
    int number = 0;
    QString answer;
    QStringList answerHtml;
    QStringList explanation;
    int line = 0;
};

enum class Mode { None, Stem, Options, Answer, Explanation, Material, Key };

class Recogniser
{
public:
    explicit Recogniser(ParsedBank &bank) : m_bank(bank) {}
    void read(const RichLine &line);
    void finish();

private:
    Draft *target();
    void close();
    void startQuestion(const RichLine &line, int number, Kind style, int rest);
    void addOptions(Draft &draft, const RichLine &line, const QVector<OptionCut> &cuts);
    void setStem(Draft &draft, const RichLine &line, int from);
    void addText(const RichLine &line, int from);
    bool expectedNumber(Kind style, int number) const;
    void keyEntries(const RichLine &line, int from);
    void applyKeys();
    bool build(const Draft &draft, int type, double marks, BankQuestion &question);

    ParsedBank &m_bank;
    QVector<Draft> m_drafts;
    QVector<Section> m_sections;
    QVector<int> m_keyTypes;
    QVector<KeyEntry> m_keys;
    QString m_chapter;
    Mode m_mode = Mode::None;
    bool m_open = false;       // m_drafts.last() takes more lines
    bool m_stickyKey = false;
    int m_lastTop = 0;
};

Draft *Recogniser::target()
{
    if (!m_open)
        return nullptr;
    Draft &draft = m_drafts.last();
    return draft.parts.isEmpty() ? &draft : &draft.parts.last();
}

void Recogniser::close()
{
    m_open = false;
    m_mode = m_stickyKey ? Mode::Key : Mode::None;
}

bool Recogniser::expectedNumber(Kind style, int number) const
{
    if (m_open && !m_drafts.last().parts.isEmpty() && style == m_drafts.last().partStyle)
        return number == m_drafts.last().parts.last().number + 1;
    // Books mix "1．" and "（5）" at the top level: the next number counts, whatever its style.
    return number == m_lastTop + 1;
}

void Recogniser::setStem(Draft &draft, const RichLine &line, int from)
{
    const QVector<OptionCut> cuts = optionCuts(line.text(), from, QLatin1Char('A'));
    if (cuts.size() >= 2) {
        draft.stem << line.html(from, cuts.first().start);
        addOptions(draft, line, cuts);
        return;
    }
    draft.stem << line.html(from);
    m_mode = Mode::Stem;
}

void Recogniser::addOptions(Draft &draft, const RichLine &line, const QVector<OptionCut> &cuts)
{
    for (int i = 0; i < cuts.size(); ++i)
        draft.options << line.html(cuts.at(i).text, i + 1 < cuts.size() ? cuts.at(i + 1).start : line.text().size());
    m_mode = Mode::Options;
}

void Recogniser::startQuestion(const RichLine &line, int number, Kind style, int rest)
{
    Draft draft;
    draft.line = line.number();
    draft.number = number;
    draft.section = m_sections.size() - 1;
    draft.chapter = m_chapter;
    const bool caseSection = !m_sections.isEmpty() && m_sections.last().type == BankQuestion::CaseStudy;
    m_lastTop = number;
    m_open = true;
    if (caseSection) {
        draft.isCase = true;
        draft.numberedCase = true;
        draft.ownStyle = style;
        draft.stem << line.html(rest);
        m_drafts.append(draft);
        m_mode = Mode::Material;
        return;
    }
    m_drafts.append(draft);
    setStem(m_drafts.last(), line, rest);
}

void Recogniser::addText(const RichLine &line, int from)
{
    const QString html = line.html(from);
    if (html.isEmpty())
        return;
    Draft *draft = target();
    switch (m_mode) {
    case Mode::Stem: {
        const QVector<OptionCut> cuts = draft->options.isEmpty() ? optionCuts(line.text(), from, QLatin1Char('A'))
                                                                 : QVector<OptionCut>();
        if (cuts.size() >= 2) {
            draft->stem << line.html(from, cuts.first().start);
            addOptions(*draft, line, cuts);
        } else {
            draft->stem << html;
        }
        return;
    }
    case Mode::Options:
        draft->options.last() += QLatin1String("<br/>") + html;
        return;
    case Mode::Answer:
        draft->answerHtml << html;
        return;
    case Mode::Explanation:
        draft->explanation << html;
        return;
    case Mode::Material:
        m_drafts.last().stem << html;
        return;
    case Mode::Key:
        if (!m_keys.isEmpty()) {
            m_keys.last().answerHtml << html;
            return;
        }
        break;
    case Mode::None:
        break;
    }
    m_bank.addNote(line.number(), QStringLiteral("不是题目的一部分，已跳过：“%1”")
                                      .arg(BankText::htmlToPlain(html).left(40)));
}

void Recogniser::keyEntries(const RichLine &line, int from)
{
    static const QRegularExpression range(
        QStringLiteral("(\\d{1,4})\\s*[-~—–]\\s*(\\d{1,4})\\s*[:.、]?\\s*((?:[A-E√×]+[\\s,、;]*)+)"));
    static const QRegularExpression single(QStringLiteral("(\\d{1,4})\\s*[.、:)]?\\s*([A-E]{1,5}|√|×|对|错)"));
    static const QRegularExpression separator(QStringLiteral("[\\s,、;]+"));
    const QString text = line.text().mid(from);
    KeyEntry base;
    base.line = line.number();
    if (m_stickyKey)
        base.keyHeading = m_keyTypes.size() - 1;
    else
        base.bookSection = m_sections.size() - 1;
    if (text.contains(QRegularExpression(QStringLiteral("\\d\\s*[-~—–]\\s*\\d")))) {
        QRegularExpressionMatchIterator it = range.globalMatch(text);
        while (it.hasNext()) {
            const QRegularExpressionMatch match = it.next();
            const int first = match.captured(1).toInt();
            const int last = match.captured(2).toInt();
            QStringList answers = match.captured(3).trimmed().split(separator, Qt::SkipEmptyParts);
            if (answers.size() == 1) {
                const QString joined = answers.first();
                answers.clear();
                for (const QChar c : joined)
                    answers << QString(c);
            }
            if (last < first || answers.size() != last - first + 1) {
                m_bank.addError(line.number(), QStringLiteral("答案“%1”的个数与题号%2–%3不符")
                                                   .arg(match.captured(3).trimmed()).arg(first).arg(last));
                continue;
            }
            for (int i = 0; i < answers.size(); ++i) {
                KeyEntry entry = base;
                entry.number = first + i;
                entry.answer = answers.at(i);
                m_keys.append(entry);
            }
        }
        return;
    }
    QRegularExpressionMatchIterator it = single.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        KeyEntry entry = base;
        entry.number = match.captured(1).toInt();
        entry.answer = match.captured(2);
        m_keys.append(entry);
    }
}

void Recogniser::read(const RichLine &line)
{
    const QString &text = line.text();
    if (text.trimmed().isEmpty())
        return;
    Kind kind = Kind::Text;
    QRegularExpressionMatch match;
    int rest = 0;
    for (const Rule &rule : rules()) {
        match = rule.pattern.match(text);
        if (match.hasMatch()) {
            kind = rule.kind;
            rest = rule.rest > 0 ? match.capturedStart(rule.rest) : 0;
            break;
        }
    }
    const bool inFreeText = m_mode == Mode::Answer || m_mode == Mode::Explanation || m_mode == Mode::Material;
    Draft *draft = target();

    switch (kind) {
    case Kind::KeyHeading: {
        // "参考答案：" under an essay, or "解析" under any question, opens its own text.
        const bool explaining = match.captured(1).contains(QStringLiteral("解析"));
        const int type = m_sections.isEmpty() ? BankQuestion::Unknown : m_sections.last().type;
        if (draft && !m_stickyKey && explaining && m_mode != Mode::Explanation
            && (m_mode == Mode::Stem || m_mode == Mode::Options || m_mode == Mode::Answer)) {
            m_mode = Mode::Explanation;
            return;
        }
        // Only "参考答案：" with its colon: a key heading stands alone.
        if (draft && !m_stickyKey && !explaining && text.trimmed().endsWith(QLatin1Char(':'))
            && draft->answer.isEmpty() && draft->options.isEmpty()
            && (m_mode == Mode::Stem || m_mode == Mode::Material)
            && (type == BankQuestion::Essay || type == BankQuestion::CaseStudy || type == BankQuestion::Unknown
                || draft != &m_drafts.last())) {
            draft->answerLine = line.number();
            m_mode = Mode::Answer;
            return;
        }
        close();
        m_stickyKey = true;
        m_mode = Mode::Key;
        return;
    }
    case Kind::KeyLine:
        if (!m_stickyKey)
            close();
        keyEntries(line, rest);
        return;
    case Kind::TypeHeading: {
        close();
        const int type = typeOfWord(match.captured(1));
        if (m_stickyKey) {
            m_keyTypes.append(type);
            return;
        }
        Section section;
        section.type = type;
        static const QRegularExpression marks(QStringLiteral("每(?:小)?题\\s*(\\d+(?:\\.\\d+)?)\\s*分"));
        const QRegularExpressionMatch given = marks.match(text);
        if (given.hasMatch())
            section.marks = given.captured(1).toDouble();
        m_sections.append(section);
        return;
    }
    case Kind::Material:
        if (m_stickyKey)
            break;
        if (m_open && m_drafts.last().isCase && m_drafts.last().parts.isEmpty()) {
            m_drafts.last().stem << line.html(rest);
            return;
        }
        close();
        {
            Draft material;
            material.line = line.number();
            material.section = m_sections.size() - 1;
            material.chapter = m_chapter;
            material.isCase = true;
            material.stem << line.html(rest);
            m_drafts.append(material);
        }
        m_open = true;
        m_mode = Mode::Material;
        return;
    case Kind::Answer: {
        if (m_stickyKey)
            break;
        if (!draft) {
            m_bank.addError(line.number(), QStringLiteral("“答案”之前没有题目"));
            return;
        }
        static const QRegularExpression explanationMark(QStringLiteral("【(?:答案解析|解析|详解)】|(?:答案解析|解析|详解)\\s*:"));
        const QRegularExpressionMatch inside = explanationMark.match(text, rest);
        const int end = inside.hasMatch() ? inside.capturedStart() : text.size();
        if (!draft->answer.isEmpty() || !draft->answerHtml.isEmpty()) {
            m_bank.addError(line.number(), QStringLiteral("这道题已经有答案，又写了一个"));
            return;
        }
        draft->answer = text.mid(rest, end - rest).trimmed();
        draft->answerHtml << line.html(rest, end);
        draft->answerLine = line.number();
        m_mode = Mode::Answer;
        if (inside.hasMatch()) {
            draft->explanation << line.html(inside.capturedEnd());
            m_mode = Mode::Explanation;
        }
        return;
    }
    case Kind::Explanation:
        if (m_mode == Mode::Key && !m_keys.isEmpty()) {
            m_keys.last().explanation << line.html(rest);
            return;
        }
        if (!draft || m_mode == Mode::Key)
            break;
        draft->explanation << line.html(rest);
        m_mode = Mode::Explanation;
        return;
    case Kind::Chapter:
        // "一、" inside an essay's answer or a material is a point of the text.
        if (m_mode == Mode::Material || m_mode == Mode::Key
            || (m_mode == Mode::Answer && draft && draft->options.isEmpty()))
            break;
        close();
        m_chapter = line.html(rest);
        return;
    case Kind::TopNumber:
    case Kind::PartNumber: {
        const int number = match.captured(1).toInt();
        if (m_mode == Mode::Key) {
            KeyEntry entry;
            entry.keyHeading = m_keyTypes.size() - 1;
            entry.number = number;
            entry.answer = text.mid(rest).trimmed();
            entry.answerHtml << line.html(rest);
            entry.line = line.number();
            m_keys.append(entry);
            return;
        }
        const bool inCase = m_open && m_drafts.last().isCase;
        if (inFreeText && !(m_mode == Mode::Material && inCase) && !expectedNumber(kind, number))
            break;
        if (inCase) {
            Draft &caseDraft = m_drafts.last();
            const bool part = caseDraft.partStyle == Kind::Text
                ? !(caseDraft.numberedCase && kind == caseDraft.ownStyle)
                : kind == caseDraft.partStyle;
            if (part) {
                caseDraft.partStyle = kind;
                Draft partDraft;
                partDraft.line = line.number();
                partDraft.number = number;
                caseDraft.parts.append(partDraft);
                setStem(caseDraft.parts.last(), line, rest);
                return;
            }
        }
        close();
        startQuestion(line, number, kind, rest);
        return;
    }
    case Kind::Option: {
        if (!draft || (m_mode != Mode::Stem && m_mode != Mode::Options))
            break;
        const QChar letter = (match.captured(1) + match.captured(2)).at(0);
        if (letter.unicode() != 'A' + draft->options.size())
            break;
        QVector<OptionCut> cuts = optionCuts(text, 0, letter);
        if (cuts.isEmpty())
            cuts.append({match.capturedStart(), match.capturedStart(3)});
        addOptions(*draft, line, cuts);
        return;
    }
    case Kind::Text:
        break;
    }
    addText(line, 0);
}

void Recogniser::applyKeys()
{
    if (m_keys.isEmpty())
        return;
    // Questions by section and number; the numbers of the whole book, when no two are equal.
    QHash<QPair<int, int>, int> bySection;
    QHash<int, int> byNumber;
    bool numbersUnique = true;
    for (int i = 0; i < m_drafts.size(); ++i) {
        const Draft &draft = m_drafts.at(i);
        if (draft.number == 0)
            continue;
        bySection.insert({draft.section, draft.number}, i);
        numbersUnique = numbersUnique && !byNumber.contains(draft.number);
        byNumber.insert(draft.number, i);
    }
    // The key's type headings name the book's sections of that type in order.
    QVector<int> keySection(m_keyTypes.size(), -1);
    QVector<bool> used(m_sections.size(), false);
    for (int k = 0; k < m_keyTypes.size(); ++k) {
        for (int s = 0; s < m_sections.size(); ++s) {
            if (!used.at(s) && m_sections.at(s).type == m_keyTypes.at(k)) {
                keySection[k] = s;
                used[s] = true;
                break;
            }
        }
        if (keySection.at(k) < 0 && k < m_sections.size() && !used.at(k))
            keySection[k] = k;
    }
    // A key without headings whose numbers start again follows the sections in turn.
    int sequence = 0;
    int previous = 0;
    for (const KeyEntry &entry : qAsConst(m_keys)) {
        int section = entry.bookSection;
        if (entry.keyHeading >= 0) {
            section = keySection.at(entry.keyHeading);
        } else if (section < 0 && !numbersUnique) {
            if (entry.number <= previous)
                ++sequence;
            section = sequence;
        }
        previous = entry.number;
        const int index = section < 0 && entry.keyHeading < 0 && numbersUnique
            ? byNumber.value(entry.number, -1)
            : bySection.value({section, entry.number}, -1);
        if (index < 0) {
            m_bank.addNote(entry.line, QStringLiteral("答案对应的第 %1 题找不到，未使用").arg(entry.number));
            continue;
        }
        Draft &draft = m_drafts[index];
        if (!draft.answer.isEmpty() || !draft.answerHtml.isEmpty())
            continue;
        draft.answer = entry.answer;
        draft.answerHtml = entry.answerHtml;
        draft.answerLine = entry.line;
        if (draft.explanation.isEmpty())
            draft.explanation = entry.explanation;
    }
}

bool Recogniser::build(const Draft &draft, int type, double marks, BankQuestion &question)
{
    static const QRegularExpression bracketAnswer(
        QStringLiteral("[（(][\\s\\x{3000}]*([A-Ea-eＡ-Ｅ]{1,5}|√|×|✓|✔|✗|✘|对|错|正确|错误)[\\s\\x{3000}]*[)）]"));
    static const QRegularExpression blank(
        QStringLiteral("_{3,}|＿{2,}|[（(](?:[\\s\\x{3000}]|&nbsp;)*[)）]"));
    const int line = draft.line;
    question.line = line;
    question.marks = marks;
    question.chapter = draft.chapter;
    question.stemHtml = joinLines(draft.stem);
    QString answer = draft.answer;
    if (answer.isEmpty() && !draft.answerHtml.isEmpty())
        answer = BankText::htmlToPlain(joinLines(draft.answerHtml)).simplified();
    QString bracket;
    QRegularExpressionMatch inStem;
    {
        QRegularExpressionMatchIterator it = bracketAnswer.globalMatch(question.stemHtml);
        while (it.hasNext())
            inStem = it.next();
        if (inStem.hasMatch()) {
            for (const QChar c : inStem.captured(1))
                bracket += RichLine::fold(c);
        }
    }
    const auto takeBracket = [&]() {
        question.stemHtml.replace(inStem.capturedStart(), inStem.capturedLength(), QStringLiteral("（　　）"));
        answer = bracket;
    };
    if (question.stemHtml.isEmpty() && draft.parts.isEmpty()) {
        m_bank.addError(line, QStringLiteral("题目没有题干"));
        return false;
    }

    if (type == BankQuestion::Unknown) {
        // No section says the type: the question's own parts tell it, or nothing does.
        const QString given = answer.isEmpty() ? bracket : answer;
        if (draft.options.size() >= 2)
            type = lettersOf(given).size() > 1 ? BankQuestion::MultipleChoice : BankQuestion::SingleChoice;
        else if (truthOf(given) >= 0)
            type = BankQuestion::TrueFalse;
        else if (!answer.isEmpty() && BankText::countBlankMarks(QString(question.stemHtml).replace(blank, BankText::blankMarker())) > 0)
            type = BankQuestion::FillIn;
        else if (!answer.isEmpty())
            type = BankQuestion::Essay;
        else {
            m_bank.addError(line, QStringLiteral("看不出题型：没有选项，也没有答案"));
            return false;
        }
    }
    question.type = type;
    QStringList explanation = draft.explanation;
    switch (type) {
    case BankQuestion::SingleChoice:
    case BankQuestion::MultipleChoice: {
        if (draft.options.size() < 2) {
            m_bank.addError(line, QStringLiteral("%1题至少要有两个选项（A．… B．…）").arg(BankQuestion::typeName(type)));
            return false;
        }
        if (draft.options.contains(QString())) {
            m_bank.addError(line, QStringLiteral("选择题有空的选项"));
            return false;
        }
        if (answer.isEmpty() && !bracket.isEmpty())
            takeBracket();
        const QString letters = lettersOf(answer);
        if (letters.isEmpty()) {
            m_bank.addError(draft.answerLine > 0 ? draft.answerLine : line,
                            answer.isEmpty() ? QStringLiteral("选择题没有答案")
                                             : QStringLiteral("答案应是选项字母，却是“%1”").arg(answer.left(20)));
            return false;
        }
        if (letters.at(letters.size() - 1).unicode() >= 'A' + draft.options.size()) {
            m_bank.addError(draft.answerLine > 0 ? draft.answerLine : line,
                            QStringLiteral("答案“%1”不是这道题的选项").arg(letters));
            return false;
        }
        if (type == BankQuestion::SingleChoice && letters.size() > 1) {
            m_bank.addError(draft.answerLine > 0 ? draft.answerLine : line,
                            QStringLiteral("单选题只能有一个答案，却是“%1”").arg(letters));
            return false;
        }
        question.optionsHtml = draft.options;
        question.answerLetters = letters;
        explanation = draft.answerHtml.mid(1) + explanation;
        break;
    }
    case BankQuestion::TrueFalse: {
        if (answer.isEmpty() && !bracket.isEmpty())
            takeBracket();
        int truth = truthOf(answer);
        if (truth < 0 && draft.options.size() == 2) {
            // Options 正确/错误 and a letter.
            const QString letters = lettersOf(answer);
            const int first = truthOf(BankText::htmlToPlain(draft.options.first()));
            if (letters.size() == 1 && first >= 0)
                truth = (letters == QLatin1String("A")) == (first == 1) ? 1 : 0;
        }
        if (truth < 0) {
            m_bank.addError(draft.answerLine > 0 ? draft.answerLine : line,
                            answer.isEmpty() ? QStringLiteral("判断题没有答案（√/×、对/错）")
                                             : QStringLiteral("判断题的答案应是√/×、对/错、正确/错误，却是“%1”").arg(answer.left(20)));
            return false;
        }
        question.answerLetters = truth == 1 ? QStringLiteral("A") : QStringLiteral("B");
        explanation = draft.answerHtml.mid(1) + explanation;
        break;
    }
    case BankQuestion::FillIn: {
        question.stemHtml.replace(blank, BankText::blankMarker());
        const int blanks = BankText::countBlankMarks(question.stemHtml);
        if (blanks == 0) {
            m_bank.addError(line, QStringLiteral("填空题的题干中没有空（____ 或（ ））"));
            return false;
        }
        if (answer.isEmpty()) {
            m_bank.addError(line, QStringLiteral("填空题没有答案"));
            return false;
        }
        question.blanks = blanksOf(answer, blanks);
        if (question.blanks.isEmpty()) {
            m_bank.addError(draft.answerLine > 0 ? draft.answerLine : line,
                            QStringLiteral("题干有%1个空，答案“%2”分不出%1个（用“；”“、”或空格分开）")
                                .arg(blanks).arg(answer.left(30)));
            return false;
        }
        break;
    }
    case BankQuestion::Essay: {
        const QString reference = joinLines(draft.answerHtml);
        if (!reference.isEmpty())
            explanation.prepend(QStringLiteral("参考答案：") + reference);
        break;
    }
    default:
        break;
    }
    question.explanationHtml = joinLines(explanation);
    return true;
}

void Recogniser::finish()
{
    close();
    applyKeys();
    for (const Draft &draft : qAsConst(m_drafts)) {
        const Section section = draft.section >= 0 ? m_sections.at(draft.section) : Section();
        BankQuestion question;
        if (!draft.isCase) {
            if (build(draft, section.type == BankQuestion::CaseStudy ? BankQuestion::Unknown : section.type,
                      section.marks, question))
                m_bank.questions.append(question);
            continue;
        }
        if (draft.parts.isEmpty()) {
            // A numbered case without questions of its own, answered: an essay.
            if (draft.numberedCase && !draft.answerHtml.isEmpty()) {
                if (build(draft, BankQuestion::Essay, section.marks, question))
                    m_bank.questions.append(question);
                continue;
            }
            m_bank.addError(draft.line, QStringLiteral("材料后面没有小题（（1）…）"));
            continue;
        }
        question.type = BankQuestion::CaseStudy;
        question.line = draft.line;
        question.chapter = draft.chapter;
        question.stemHtml = joinLines(draft.stem);
        if (question.stemHtml.isEmpty()) {
            m_bank.addError(draft.line, QStringLiteral("案例没有材料"));
            continue;
        }
        for (const Draft &part : draft.parts) {
            BankQuestion built;
            if (build(part, BankQuestion::Unknown, section.marks, built))
                question.parts.append(built);
        }
        if (!question.parts.isEmpty())
            m_bank.questions.append(question);
    }
}

} // namespace

ParsedBank BookRecogniser::recognise(const QVector<RichLine> &lines, const QString &format)
{
    ParsedBank bank;
    bank.format = format;
    Recogniser recogniser(bank);
    for (const RichLine &line : lines)
        recogniser.read(line);
    recogniser.finish();
    std::stable_sort(bank.problems.begin(), bank.problems.end(),
                     [](const BankProblem &a, const BankProblem &b) { return a.line < b.line; });
    if (bank.questions.isEmpty() && bank.errorCount() == 0)
        bank.addError(0, QStringLiteral("没有认出任何题目（题目应以“1．”之类的题号开头）"));
    return bank;
}

ParsedBank BookRecogniser::recogniseText(const QString &text, const QString &format)
{
    QVector<RichLine> lines;
    const QStringList split = text.split(QLatin1Char('\n'));
    lines.reserve(split.size());
    for (int i = 0; i < split.size(); ++i) {
        QString line = split.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        // A page break of a converted PDF starts a line.
        line.remove(QLatin1Char('\f'));
        lines.append(RichLine::fromPlain(line, i + 1));
    }
    return recognise(lines, format);
}

bool BookRecogniser::looksLikeBook(const QString &text)
{
    int numbered = 0;
    int telling = 0;
    const QStringList lines = text.left(64 * 1024).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const RichLine folded = RichLine::fromPlain(line, 0);
        for (const Rule &rule : rules()) {
            if (!rule.pattern.match(folded.text()).hasMatch())
                continue;
            if (rule.kind == Kind::TopNumber || rule.kind == Kind::PartNumber)
                ++numbered;
            else if (rule.kind == Kind::TypeHeading || rule.kind == Kind::Answer || rule.kind == Kind::Option
                     || rule.kind == Kind::KeyHeading || rule.kind == Kind::KeyLine)
                ++telling;
            break;
        }
    }
    return numbered >= 1 && telling >= 1;
}
