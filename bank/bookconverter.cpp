#include "bookconverter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

namespace {

constexpr qint64 largestOutput = 256ll * 1024 * 1024;

// Runs a program to its end or the time limit; "" when it finished well.
QString run(QProcess &process, const QString &program, const QStringList &arguments, int timeoutMs)
{
    process.start(program, arguments);
    if (!process.waitForStarted(10000))
        return QStringLiteral("无法启动 %1：%2").arg(QFileInfo(program).fileName(), process.errorString());
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        return QStringLiteral("%1 在 %2 秒内没有完成转换，已停止").arg(QFileInfo(program).fileName()).arg(timeoutMs / 1000);
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        const QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed().left(300);
        return QStringLiteral("%1 转换失败（退出码 %2）%3")
            .arg(QFileInfo(program).fileName()).arg(process.exitCode())
            .arg(said.isEmpty() ? QString() : QStringLiteral("：") + said);
    }
    return QString();
}

} // namespace

QString BookConverter::office()
{
    for (const char *name : {"soffice", "libreoffice"}) {
        const QString found = QStandardPaths::findExecutable(QLatin1String(name));
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

QString BookConverter::pdfText()
{
    return QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
}

BookConverter::Result BookConverter::wordToDocx(const QString &path, int timeoutMs)
{
    Result result;
    const QString program = office();
    if (program.isEmpty()) {
        result.error = QStringLiteral("读取 .doc 和 .wps 文件要用 LibreOffice，本机没有安装"
                                      "（Debian 软件包 libreoffice-writer）；也可以在 Word 或 WPS 中另存为 .docx 再导入");
        return result;
    }
    QTemporaryDir folder;
    if (!folder.isValid()) {
        result.error = QStringLiteral("无法建立临时文件夹，不能转换");
        return result;
    }
    // A copy under a plain name, and a profile of its own so that an open
    // LibreOffice of the user neither blocks nor answers the conversion.
    const QString source = folder.filePath(QStringLiteral("book.") + QFileInfo(path).suffix().toLower());
    if (!QFile::copy(path, source)) {
        result.error = QStringLiteral("无法读取文件 %1").arg(path);
        return result;
    }
    const QString out = folder.filePath(QStringLiteral("out"));
    QDir().mkpath(out);
    QProcess process;
    process.setWorkingDirectory(folder.path());
    result.error = run(process, program,
                       {QStringLiteral("-env:UserInstallation=")
                            + QUrl::fromLocalFile(folder.filePath(QStringLiteral("profile"))).toString(),
                        QStringLiteral("--headless"), QStringLiteral("--norestore"), QStringLiteral("--convert-to"),
                        QStringLiteral("docx"), QStringLiteral("--outdir"), out, source},
                       timeoutMs);
    if (!result.error.isEmpty())
        return result;
    QFile converted(QDir(out).filePath(QStringLiteral("book.docx")));
    if (!converted.open(QIODevice::ReadOnly) || converted.size() > largestOutput) {
        result.error = QStringLiteral("LibreOffice 没有转换出 .docx 文件（文件可能已损坏或加了密码）");
        return result;
    }
    result.bytes = converted.readAll();
    return result;
}

BookConverter::Result BookConverter::pdfToText(const QString &path, int timeoutMs)
{
    Result result;
    const QString program = pdfText();
    if (program.isEmpty()) {
        result.error = QStringLiteral("读取 PDF 文件要用 pdftotext，本机没有安装（Debian 软件包 poppler-utils）");
        return result;
    }
    QTemporaryDir folder;
    if (!folder.isValid()) {
        result.error = QStringLiteral("无法建立临时文件夹，不能转换");
        return result;
    }
    const QString text = folder.filePath(QStringLiteral("book.txt"));
    QProcess process;
    process.setWorkingDirectory(folder.path());
    result.error = run(process, program,
                       {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, text},
                       timeoutMs);
    if (!result.error.isEmpty())
        return result;
    QFile converted(text);
    if (!converted.open(QIODevice::ReadOnly) || converted.size() > largestOutput) {
        result.error = QStringLiteral("pdftotext 没有得出文字");
        return result;
    }
    result.bytes = converted.readAll();
    if (result.bytes.trimmed().isEmpty())
        result.error = QStringLiteral("PDF 中没有文字（可能是扫描的图片），无法识别题目");
    return result;
}
