// tessera_bench: measures the program's hot paths on a large generated bank,
// each next to its floor (the least the same work costs without the program).
//
//   tessera_bench [--smoke] [--runs N]
//
// Prints one "key=value ..." line per measure and the peak memory. --smoke
// uses a tiny bank and one run, to keep the benchmark working.

#include "benchbank.h"
#include "benchcontext.h"
#include "constants.h"
#include "dbconnection.h"
#include "examwindowmeasures.h"
#include "papermeasures.h"
#include "searchmeasure.h"
#include "startupmeasure.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTextStream>
#include <sys/resource.h>

namespace {

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

int option(const QStringList &arguments, const QString &name, int fallback)
{
    const int at = arguments.indexOf(name);
    return at >= 0 && at + 1 < arguments.size() ? arguments.at(at + 1).toInt() : fallback;
}

QString peakMemoryLine()
{
    rusage self{};
    getrusage(RUSAGE_SELF, &self);
    return QStringLiteral("memory peak_rss_kb=%1").arg(self.ru_maxrss);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() >= 4 && arguments.at(1) == QLatin1String("--startup-child"))
        return StartupMeasure::runChild(arguments.at(2), arguments.at(3));

    const bool smoke = arguments.contains(QStringLiteral("--smoke"));
    QTemporaryDir bankDir;
    BenchBank bank;
    if (!bankDir.isValid()
        || !bank.create(bankDir.filePath(QStringLiteral("data.db")),
                        QStringLiteral(TESSERA_SOURCE_DIR "/data/schema.sql"),
                        smoke ? BenchBank::smokeShape() : BenchBank::fullShape())) {
        out() << "error=bank " << bank.error() << Qt::endl;
        return 2;
    }

    BenchContext context;
    context.bankDir = bankDir.path() + QStringLiteral("/");
    DbConnection *connection = DbConnection::instance(context.bankDir, true);
    if (!connection->opened) {
        out() << "error=database " << connection->dbPath << Qt::endl;
        return 2;
    }
    appDirPath = QCoreApplication::applicationDirPath() + QStringLiteral("/");
    context.db = connection->database();
    context.appDirSlash = appDirPath;
    context.paperId = BenchBank::paperId();
    context.keyword = BenchBank::keyword();
    context.smoke = smoke;
    context.runs = option(arguments, QStringLiteral("--runs"), smoke ? 1 : 15);

    out() << "bank question_rows=" << bank.questionRows() << " keyword_rows=" << bank.keywordRows()
          << " search_results=" << bank.searchResults() << " paper_entries=" << bank.paperEntries()
          << " runs=" << context.runs << Qt::endl;

    QVector<MeasureResult> results;
    const auto report = [&results](const MeasureResult &result) {
        out() << result.line() << Qt::endl;
        results << result;
    };
    PaperMeasures paper(context);
    report(paper.paperLoad());
    {
        ExamWindowMeasures window(context);
        report(window.move());
        report(window.card());
    }
    report(paper.handIn());
    report(SearchMeasure(context).search());
    report(StartupMeasure(context).startup());
    out() << peakMemoryLine() << Qt::endl;

    for (const MeasureResult &result : results)
        if (result.failed)
            return 1;
    return 0;
}
