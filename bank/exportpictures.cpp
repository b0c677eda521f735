#include "exportpictures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace {

class Carrier
{
public:
    Carrier(const QString &imgDir, const QString &folder) : m_imgDir(imgDir), m_folder(folder) {}

    bool carry(QString &html)
    {
        static const QRegularExpression image(QStringLiteral("<img src=\"/([^\"/]+)\""));
        if (!html.contains(QLatin1String("<img src=\"/")))
            return true;
        QString result;
        int last = 0;
        QRegularExpressionMatchIterator it = image.globalMatch(html);
        while (it.hasNext()) {
            const QRegularExpressionMatch match = it.next();
            const QString name = match.captured(1);
            result += html.midRef(last, match.capturedStart() - last);
            last = match.capturedEnd();
            if (!copy(name)) {
                if (!m_ok)
                    return false;
                result += match.captured(0);
                continue;
            }
            result += QStringLiteral("<img src=\"%1/%2\"")
                          .arg(QString::fromUtf8(QUrl::toPercentEncoding(QFileInfo(m_folder).fileName())),
                               QString::fromUtf8(QUrl::toPercentEncoding(name)));
        }
        result += html.midRef(last);
        html = result;
        return true;
    }

    bool carry(BankQuestion &q)
    {
        bool ok = carry(q.stemHtml) && carry(q.explanationHtml);
        for (QString &option : q.optionsHtml)
            ok = ok && carry(option);
        for (BankQuestion &part : q.parts)
            ok = ok && carry(part);
        return ok;
    }

private:
    // True when the picture is in the folder; m_ok false when it could not be put there.
    bool copy(const QString &name)
    {
        if (m_copied.contains(name))
            return true;
        const QString source = QDir(m_imgDir).filePath(name);
        if (!QFileInfo(source).isFile())
            return false;
        const QString target = QDir(m_folder).filePath(name);
        if (!QDir().mkpath(m_folder) || (!QFile::exists(target) && !QFile::copy(source, target))) {
            m_ok = false;
            return false;
        }
        m_copied << name;
        return true;
    }

    QString m_imgDir;
    QString m_folder;
    QStringList m_copied;
    bool m_ok = true;
};

} // namespace

QString ExportPictures::folderOf(const QString &path)
{
    const QFileInfo info(path);
    return info.absoluteDir().filePath(info.completeBaseName() + QStringLiteral("_img"));
}

bool ExportPictures::carry(const QString &path, const QString &imgDir, QVector<BankQuestion> *questions)
{
    Carrier carrier(imgDir, folderOf(path));
    for (BankQuestion &q : *questions) {
        if (!carrier.carry(q))
            return false;
    }
    return true;
}
