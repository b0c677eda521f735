#include "imagecollector.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace {

constexpr qint64 largestImage = 32 * 1024 * 1024;

QString suffixOfMime(const QString &mime)
{
    const QString type = mime.section(QLatin1Char('/'), 1).toLower();
    if (type == QLatin1String("jpeg"))
        return QStringLiteral("jpg");
    if (type.startsWith(QLatin1String("svg")))
        return QStringLiteral("svg");
    return type.isEmpty() ? QStringLiteral("png") : type;
}

QString suffixOfName(const QString &name)
{
    const QString suffix = QFileInfo(name).suffix().toLower();
    return suffix.isEmpty() ? QStringLiteral("png") : suffix;
}

} // namespace

ImageCollector::ImageCollector(ParsedBank &bank, const QString &baseDir)
    : m_bank(bank)
    , m_baseDir(baseDir)
{
}

QString ImageCollector::storedName(const QByteArray &bytes, const QString &suffix)
{
    const QByteArray hash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex().left(20);
    return QLatin1String("imp-") + QString::fromLatin1(hash) + QLatin1Char('.') + suffix;
}

QString ImageCollector::store(const QByteArray &bytes, const QString &suffix)
{
    const QString name = storedName(bytes, suffix);
    for (const BankImage &image : m_bank.images) {
        if (image.name == name)
            return name;
    }
    m_bank.images.append({name, bytes});
    return name;
}

QString ImageCollector::resolve(const QString &html, int line, const QHash<QString, QByteArray> &embedded)
{
    static const QRegularExpression imageTag(QStringLiteral("<img\\b([^>]*)>"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression source(QStringLiteral("\\s*\\bsrc\\s*=\\s*(\"([^\"]*)\"|'([^']*)')"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression webAddress(QStringLiteral("^[a-zA-Z][a-zA-Z0-9+.-]*://"));
    if (!html.contains(QLatin1String("<img"), Qt::CaseInsensitive))
        return dropDeadLinks(html, line);

    QString result;
    int last = 0;
    QRegularExpressionMatchIterator it = imageTag.globalMatch(html);
    while (it.hasNext()) {
        const QRegularExpressionMatch tag = it.next();
        result += html.midRef(last, tag.capturedStart() - last);
        last = tag.capturedEnd();
        QString attributes = tag.captured(1);
        const QRegularExpressionMatch src = source.match(attributes);
        const QString target = src.captured(2) + src.captured(3);
        QString name;
        if (!src.hasMatch() || target.startsWith(QLatin1Char('/'))
            || target.contains(webAddress)) {
            // Already the bank's form, or a web address: left as it is.
            result += tag.captured(0);
            continue;
        }
        if (target.startsWith(QLatin1String("data:"), Qt::CaseInsensitive)) {
            const int comma = target.indexOf(QLatin1Char(','));
            const QString header = target.mid(5, comma - 5);
            if (comma > 0 && header.endsWith(QLatin1String(";base64"), Qt::CaseInsensitive)) {
                const QByteArray bytes = QByteArray::fromBase64(target.mid(comma + 1).toLatin1());
                if (!bytes.isEmpty())
                    name = store(bytes, suffixOfMime(header.section(QLatin1Char(';'), 0, 0)));
            }
            if (name.isEmpty())
                m_bank.addNote(line, QStringLiteral("图片的 data: 地址无法解码，图片未导入"));
        } else {
            const QString path = QUrl::fromPercentEncoding(target.toUtf8());
            const QString plugin = QStringLiteral("@@PLUGINFILE@@/");
            if (path.startsWith(plugin)) {
                const QString fileName = path.mid(plugin.size());
                if (embedded.contains(fileName))
                    name = store(embedded.value(fileName), suffixOfName(fileName));
            } else if (!m_baseDir.isEmpty()) {
                QFile file(QDir(m_baseDir).filePath(path));
                if (QFileInfo(file).isFile() && file.size() <= largestImage && file.open(QIODevice::ReadOnly))
                    name = store(file.readAll(), suffixOfName(path));
            }
            if (name.isEmpty())
                m_bank.addNote(line, QStringLiteral("找不到图片“%1”，题目中不显示该图片").arg(path));
        }
        if (name.isEmpty()) {
            result += tag.captured(0);
            continue;
        }
        attributes.remove(src.capturedStart(), src.capturedLength());
        result += QLatin1String("<img src=\"/") + name + QLatin1Char('"') + attributes + QLatin1Char('>');
    }
    result += html.midRef(last);
    return dropDeadLinks(result, line);
}

QString ImageCollector::dropDeadLinks(const QString &html, int line)
{
    static const QRegularExpression anchor(
        QStringLiteral("<a\\b[^>]*\\bhref\\s*=\\s*[\"']@@PLUGINFILE@@/([^\"']*)[\"'][^>]*>(.*?)</a\\s*>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression media(
        QStringLiteral("<(audio|video|object)\\b[^>]*>.*?</\\1\\s*>|<(?:source|embed|track)\\b[^>]*>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression pluginFile(QStringLiteral("@@PLUGINFILE@@/([^\"'\\s>]*)"));
    if (!html.contains(QLatin1String("@@PLUGINFILE@@")))
        return html;
    const auto report = [this, line](const QString &fileName) {
        m_bank.addNote(line, QStringLiteral("链接的文件“%1”不随题库导入，已去掉这个链接")
                                 .arg(QUrl::fromPercentEncoding(fileName.toUtf8())));
    };
    // A link keeps its text; a player of a file that is not there goes.
    QString result;
    int last = 0;
    QRegularExpressionMatchIterator it = anchor.globalMatch(html);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        result += html.midRef(last, match.capturedStart() - last);
        result += match.capturedRef(2);
        report(match.captured(1));
        last = match.capturedEnd();
    }
    result += html.midRef(last);
    QString text;
    last = 0;
    it = media.globalMatch(result);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        const QRegularExpressionMatch file = pluginFile.match(match.captured(0));
        text += result.midRef(last, (file.hasMatch() ? match.capturedStart() : match.capturedEnd()) - last);
        if (file.hasMatch())
            report(file.captured(1));
        last = match.capturedEnd();
    }
    text += result.midRef(last);
    return text;
}
