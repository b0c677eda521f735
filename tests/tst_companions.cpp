#include "testsupport.h"

#include "agentcard.h"
#include "qtconfigurelayout.h"
#include "updatenote.h"

#include <QLibrary>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QUrl>
#include <QUrlQuery>

#include <cstdlib>
#include <new>
#include <type_traits>

// The companions allocate their objects and the caller frees them. To see both
// sides, this program replaces the global allocation functions; the libraries'
// new and delete bind to these as well, so a watch records which block a factory
// hands over and which block the caller's delete gives back.
namespace {

struct HeapEvent
{
    void *block;
    std::size_t size; // 0 when the release did not say
};

struct HeapLog
{
    static constexpr int Capacity = 64;
    bool watching = false;
    int allocatedCount = 0;
    int releasedCount = 0;
    HeapEvent allocated[Capacity];
    HeapEvent released[Capacity];
};

thread_local HeapLog heapLog;

void note(HeapEvent *events, int &count, void *block, std::size_t size)
{
    if (heapLog.watching && count < HeapLog::Capacity)
        events[count++] = {block, size};
}

// Records the heap traffic of the calls made while it lives (this thread only).
class HeapWatch
{
public:
    HeapWatch()
    {
        heapLog = HeapLog();
        heapLog.watching = true;
    }
    ~HeapWatch() { heapLog.watching = false; }

    // The size a block was allocated with during the watch, or -1.
    static long long allocatedSize(const void *block)
    {
        for (int i = 0; i < heapLog.allocatedCount; ++i)
            if (heapLog.allocated[i].block == block)
                return static_cast<long long>(heapLog.allocated[i].size);
        return -1;
    }
    // The size a block was released with during the watch (0: unsized), or -1.
    static long long releasedSize(const void *block)
    {
        for (int i = 0; i < heapLog.releasedCount; ++i)
            if (heapLog.released[i].block == block)
                return static_cast<long long>(heapLog.released[i].size);
        return -1;
    }
};

} // namespace

void *operator new(std::size_t size)
{
    void *block = std::malloc(size ? size : 1);
    if (!block)
        throw std::bad_alloc();
    note(heapLog.allocated, heapLog.allocatedCount, block, size);
    return block;
}

void operator delete(void *block) noexcept
{
    note(heapLog.released, heapLog.releasedCount, block, 0);
    std::free(block);
}

void operator delete(void *block, std::size_t size) noexcept
{
    note(heapLog.released, heapLog.releasedCount, block, size);
    std::free(block);
}

namespace {

QString companionPath(const QString &library)
{
    return QStringLiteral(TESSERA_COMPANION_DIR "/") + library;
}

// Output of a binutils tool run on a file; empty (and a failure) when it did not run.
QString toolOutput(const QString &tool, const QStringList &arguments)
{
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty()) {
        QTest::qFail(qPrintable(tool + QStringLiteral(" not found (package binutils)")),
                     __FILE__, __LINE__);
        return QString();
    }
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        process.kill();
        QTest::qFail(qPrintable(tool + QStringLiteral(" failed: ")
                                + QString::fromLocal8Bit(process.readAllStandardError())),
                     __FILE__, __LINE__);
        return QString();
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// Makes an object through a library's factory while watching the heap;
// allocated gets the size the object was allocated with (-1: not seen).
template<typename T>
T *createWatched(T *(*factory)(), long long &allocated)
{
    HeapWatch watch;
    T *object = factory();
    allocated = HeapWatch::allocatedSize(object);
    return object;
}

// Deletes an object while watching the heap: the size it was released with
// (0: unsized, -1: not seen).
template<typename T>
long long deleteWatched(T *object)
{
    HeapWatch watch;
    delete object;
    return HeapWatch::releasedSize(object);
}

bool isHttpsAddress(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() && url.scheme() == QLatin1String("https") && !url.host().isEmpty();
}

} // namespace

class CompanionsTest : public QObject
{
    Q_OBJECT

private slots:
    void exportsUnderPlainNames_data();
    void exportsUnderPlainNames();
    void linksQtCoreOnly_data();
    void linksQtCoreOnly();
    void productTables_data();
    void productTables();
    void agentCard();
    void addAnswersHundred();
    void updateNote();

private:
    static void addLibraryRows();
    QString loadedFile(const QString &library);
    template<typename Edition>
    void checkEdition(QLibrary &library, int textCount, int filledSlots, int groupCodeLength);
};

void CompanionsTest::addLibraryRows()
{
    QTest::addColumn<QString>("library");
    QTest::addColumn<QStringList>("plainNames");
    QTest::addColumn<QStringList>("memberNames");

    const QStringList configureMembers{
        // complete and base constructor
        QStringLiteral("_ZN11QTconfigureC1Ev"), QStringLiteral("_ZN11QTconfigureC2Ev")};
    QTest::newRow("prodconf first edition")
        << QStringLiteral("prodconf") << QStringList{QStringLiteral("getQtConfigure")}
        << configureMembers;
    QTest::newRow("prodconf second edition")
        << QStringLiteral("prodconf2") << QStringList{QStringLiteral("getQtConfigure")}
        << configureMembers;
    QTest::newRow("AgentCard")
        << QStringLiteral("AgentCard")
        << QStringList{QStringLiteral("getAgentCard"), QStringLiteral("add")}
        << QStringList{QStringLiteral("_ZN9AgentCardC1Ev"), QStringLiteral("_ZN9AgentCardC2Ev"),
                       QStringLiteral("_ZN9AgentCardD0Ev"), QStringLiteral("_ZN9AgentCardD1Ev"),
                       QStringLiteral("_ZN9AgentCardD2Ev"), QStringLiteral("_ZTV9AgentCard"),
                       QStringLiteral("_ZTI9AgentCard"), QStringLiteral("_ZTS9AgentCard"),
                       QStringLiteral("_ZN9AgentCard6getpIDEv"),
                       QStringLiteral("_ZN9AgentCard8getpNameEv"),
                       QStringLiteral("_ZN9AgentCard7getpURLEv"),
                       QStringLiteral("_ZN9AgentCard9getpPhoneEv"),
                       QStringLiteral("_ZN9AgentCard9getpEmailEv"),
                       QStringLiteral("_ZN9AgentCard6getpQQEv"),
                       QStringLiteral("_ZN9AgentCard8getpBankEv"),
                       QStringLiteral("_ZN9AgentCard10getpAlipayEv"),
                       QStringLiteral("_ZN9AgentCard9getpEBankEv")};
    QTest::newRow("UpdateNote")
        << QStringLiteral("UpdateNote") << QStringList{QStringLiteral("getUpdateNote")}
        << QStringList{QStringLiteral("_ZN10UpdateNoteC1Ev"), QStringLiteral("_ZN10UpdateNoteC2Ev"),
                       QStringLiteral("_ZN10UpdateNoteD0Ev"), QStringLiteral("_ZN10UpdateNoteD1Ev"),
                       QStringLiteral("_ZN10UpdateNoteD2Ev"), QStringLiteral("_ZTV10UpdateNote"),
                       QStringLiteral("_ZTI10UpdateNote"), QStringLiteral("_ZTS10UpdateNote"),
                       QStringLiteral("_ZN10UpdateNote16getSoftUpdateURLEv"),
                       QStringLiteral("_ZN10UpdateNote10getVersionEv")};
}

// The file a library name resolves to, as the loader finds it.
QString CompanionsTest::loadedFile(const QString &library)
{
    QLibrary loader(companionPath(library));
    if (!loader.load()) {
        QTest::qFail(qPrintable(loader.errorString()), __FILE__, __LINE__);
        return QString();
    }
    return loader.fileName();
}

void CompanionsTest::exportsUnderPlainNames_data()
{
    addLibraryRows();
}

void CompanionsTest::exportsUnderPlainNames()
{
    QFETCH(QString, library);
    QFETCH(QStringList, plainNames);
    QFETCH(QStringList, memberNames);

    const QString file = loadedFile(library);
    if (QTest::currentTestFailed())
        return;
    const QString listing = toolOutput(QStringLiteral("nm"),
                                       {QStringLiteral("-D"), QStringLiteral("--defined-only"), file});
    if (QTest::currentTestFailed())
        return;

    QMap<QString, QString> typeOfSymbol; // "0000... T name" lines
    for (const QString &line : listing.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList fields = line.simplified().split(QLatin1Char(' '));
        if (fields.size() >= 2)
            typeOfSymbol.insert(fields.last(), fields.at(fields.size() - 2));
    }

    for (const QString &name : plainNames)
        QVERIFY2(typeOfSymbol.value(name) == QLatin1String("T"),
                 qPrintable(name + QStringLiteral(" is not exported as a plain function")));
    for (const QString &name : memberNames)
        QVERIFY2(typeOfSymbol.contains(name), qPrintable(name + QStringLiteral(" is not exported")));

    // Nothing beyond the designed interface leaks out, in particular no mangled factory.
    const QSet<QString> designed = QSet<QString>(plainNames.begin(), plainNames.end())
                                   + QSet<QString>(memberNames.begin(), memberNames.end());
    for (auto it = typeOfSymbol.constBegin(); it != typeOfSymbol.constEnd(); ++it) {
        const bool ownText = it.value() == QLatin1String("T") && !it.key().startsWith(QLatin1Char('_'));
        const bool ownMember = it.key().contains(QLatin1String("AgentCard"))
                               || it.key().contains(QLatin1String("UpdateNote"))
                               || it.key().contains(QLatin1String("QTconfigure"));
        if (ownText || ownMember)
            QVERIFY2(designed.contains(it.key()), qPrintable(it.key() + QStringLiteral(" is exported too")));
    }
}

void CompanionsTest::linksQtCoreOnly_data()
{
    addLibraryRows();
}

void CompanionsTest::linksQtCoreOnly()
{
    QFETCH(QString, library);

    const QString file = loadedFile(library);
    if (QTest::currentTestFailed())
        return;
    const QString headers = toolOutput(QStringLiteral("objdump"), {QStringLiteral("-p"), file});
    if (QTest::currentTestFailed())
        return;

    QStringList qtLibraries;
    const QRegularExpression needed(QStringLiteral("^\\s*NEEDED\\s+(\\S+)"),
                                    QRegularExpression::MultilineOption);
    for (auto match = needed.globalMatch(headers); match.hasNext();) {
        const QString dependency = match.next().captured(1);
        if (dependency.startsWith(QLatin1String("libQt")))
            qtLibraries << dependency;
    }
    QCOMPARE(qtLibraries, QStringList{QStringLiteral("libQt5Core.so.5")});
}

void CompanionsTest::productTables_data()
{
    QTest::addColumn<QString>("library");
    QTest::addColumn<int>("edition");
    QTest::addColumn<int>("textCount");
    QTest::addColumn<int>("filledSlots");
    QTest::addColumn<int>("groupCodeLength");

    QTest::newRow("first edition") << QStringLiteral("prodconf") << 1 << 47 << 7 << 6;
    QTest::newRow("second edition") << QStringLiteral("prodconf2") << 2 << 495 << 4 << 5;
}

void CompanionsTest::productTables()
{
    QFETCH(QString, library);
    QFETCH(int, edition);
    QFETCH(int, textCount);
    QFETCH(int, filledSlots);
    QFETCH(int, groupCodeLength);

    QLibrary loader(companionPath(library));
    QVERIFY2(loader.load(), qPrintable(loader.errorString()));
    if (edition == 1)
        checkEdition<QTconfigureFirstEdition>(loader, textCount, filledSlots, groupCodeLength);
    else
        checkEdition<QTconfigureSecondEdition>(loader, textCount, filledSlots, groupCodeLength);
}

// Reads an edition's configuration through this program's own view of its
// layout, and frees it through that view.
template<typename Edition>
void CompanionsTest::checkEdition(QLibrary &loader, int textCount, int filledSlots,
                                  int groupCodeLength)
{
    QCOMPARE(int(sizeof(Edition) / sizeof(QString)), textCount);

    using Factory = Edition *(*)();
    const auto factory = reinterpret_cast<Factory>(loader.resolve("getQtConfigure"));
    QVERIFY2(factory, qPrintable(loader.errorString()));

    long long allocated = -1;
    Edition *configuration = createWatched(factory, allocated);
    QVERIFY(configuration);
    // The library built the edition this view expects: its object is exactly as large.
    QCOMPARE(allocated, static_cast<long long>(sizeof(Edition)));

    const QRegularExpression codeCharacters(QStringLiteral("^[A-Z0-9]+$"));
    QSet<QString> productCodes;
    int filled = 0;
    for (int slot = 0; slot < Edition::SlotCount; ++slot) {
        const QString texts[] = {configuration->groupCodes[slot], configuration->productCodes[slot],
                                 configuration->productTitles[slot], configuration->shortNames[slot],
                                 configuration->bankEditions[slot]};
        int present = 0;
        for (const QString &text : texts)
            present += text.isEmpty() ? 0 : 1;
        QVERIFY2(present == 0 || present == 5,
                 qPrintable(QStringLiteral("slot %1 is only partly filled").arg(slot)));
        if (present == 0)
            continue;
        ++filled;

        const QString &groupCode = configuration->groupCodes[slot];
        const QString &productCode = configuration->productCodes[slot];
        QCOMPARE(groupCode.size(), groupCodeLength);
        QCOMPARE(productCode.size(), 6);
        QVERIFY2(codeCharacters.match(groupCode).hasMatch(), qPrintable(groupCode));
        QVERIFY2(codeCharacters.match(productCode).hasMatch(), qPrintable(productCode));
        QVERIFY2(!productCodes.contains(productCode), qPrintable(productCode + " twice"));
        productCodes.insert(productCode);

        const QString &title = configuration->productTitles[slot];
        QVERIFY2(title.contains(QStringLiteral("计算机基础知识"))
                     || title.contains(QStringLiteral("安全生产常识")),
                 qPrintable(title));
        QVERIFY2(title.contains(QRegularExpression(QStringLiteral("\\d{4}年"))),
                 qPrintable(title + " names no edition"));
    }
    QCOMPARE(filled, filledSlots);

    if constexpr (std::is_same_v<Edition, QTconfigureFirstEdition>) {
        const QRegularExpression dotted(QStringLiteral("^\\d+(\\.\\d+)+$"));
        QVERIFY2(dotted.match(configuration->programVersion).hasMatch(),
                 qPrintable(configuration->programVersion));
        QVERIFY2(dotted.match(configuration->bankVersion).hasMatch(),
                 qPrintable(configuration->bankVersion));
    }

    const long long released = deleteWatched(configuration);
    QCOMPARE(released, static_cast<long long>(sizeof(Edition)));
}

void CompanionsTest::agentCard()
{
    QLibrary loader(companionPath(QStringLiteral("AgentCard")));
    QVERIFY2(loader.load(), qPrintable(loader.errorString()));
    const auto factory = reinterpret_cast<decltype(&getAgentCard)>(loader.resolve("getAgentCard"));
    QVERIFY2(factory, qPrintable(loader.errorString()));

    long long allocated = -1;
    AgentCard *card = createWatched(factory, allocated);
    QVERIFY(card);
    QCOMPARE(allocated, static_cast<long long>(sizeof(AgentCard)));
    QCOMPARE(card->index, 0);

    // Each getter reads its own place of the record.
    const QString values[] = {card->getpID(),    card->getpName(),  card->getpURL(),
                              card->getpPhone(), card->getpEmail(), card->getpQQ(),
                              card->getpBank(),  card->getpAlipay(), card->getpEBank()};
    for (int position = 0; position < 9; ++position) {
        QVERIFY2(!values[position].isEmpty(), qPrintable(QString::number(position)));
        QCOMPARE(values[position], card->recordTable[card->index + position]);
    }
    QVERIFY2(isHttpsAddress(card->getpURL()), qPrintable(card->getpURL()));
    QVERIFY2(isHttpsAddress(card->getpEBank()), qPrintable(card->getpEBank()));
    QVERIFY(card->getpPhone().contains(QRegularExpression(QStringLiteral("^[0-9+][0-9 -]+$"))));
    QVERIFY(card->getpEmail().contains(QRegularExpression(QStringLiteral("^[^@\\s]+@[^@\\s]+\\.\\w+$"))));
    QVERIFY(card->getpQQ().contains(QRegularExpression(QStringLiteral("^\\d{5,}$"))));

    // Through the virtual destructor, which frees inside the library.
    const long long released = deleteWatched(card);
    QCOMPARE(released, static_cast<long long>(sizeof(AgentCard)));
}

void CompanionsTest::addAnswersHundred()
{
    QLibrary loader(companionPath(QStringLiteral("AgentCard")));
    QVERIFY2(loader.load(), qPrintable(loader.errorString()));
    const auto add = reinterpret_cast<int (*)()>(loader.resolve("add"));
    QVERIFY2(add, qPrintable(loader.errorString()));
    QCOMPARE(add(), 100);
}

void CompanionsTest::updateNote()
{
    QLibrary loader(companionPath(QStringLiteral("UpdateNote")));
    QVERIFY2(loader.load(), qPrintable(loader.errorString()));
    const auto factory = reinterpret_cast<decltype(&getUpdateNote)>(loader.resolve("getUpdateNote"));
    QVERIFY2(factory, qPrintable(loader.errorString()));

    long long allocated = -1;
    UpdateNote *note = createWatched(factory, allocated);
    QVERIFY(note);
    QCOMPARE(allocated, static_cast<long long>(sizeof(UpdateNote)));

    const QString address = note->getSoftUpdateURL();
    const QString version = note->getVersion();
    QVERIFY2(address.endsWith(QLatin1Char('?')), qPrintable(address));
    QVERIFY2(version.contains(QRegularExpression(QStringLiteral("^\\d+(\\.\\d+)+$"))),
             qPrintable(version));

    // A caller appends its parameters straight after the "?".
    const QUrl query(address + QStringLiteral("version=") + version, QUrl::StrictMode);
    QVERIFY2(isHttpsAddress(query.toString()), qPrintable(query.toString()));
    QVERIFY2(query.host().endsWith(QLatin1String("example.com")), qPrintable(query.host()));
    QCOMPARE(QUrlQuery(query).queryItemValue(QStringLiteral("version")), version);

    // Through the virtual destructor.
    const long long released = deleteWatched(note);
    QCOMPARE(released, static_cast<long long>(sizeof(UpdateNote)));
}

TESSERA_TEST_MAIN(CompanionsTest)
#include "tst_companions.moc"
