#include "qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace QtTranslations {

QStringList install()
{
    QStringList loaded;
    // Where Qt looks for its own files first, then where Debian puts them.
    const QStringList folders{QLibraryInfo::location(QLibraryInfo::TranslationsPath),
                              QStringLiteral("/usr/share/qt5/translations")};
    for (const char *catalogue : {"qtbase_zh_CN", "qt_zh_CN"}) {
        for (const QString &folder : folders) {
            auto *translator = new QTranslator(QCoreApplication::instance());
            if (translator->load(QLatin1String(catalogue), folder) && QCoreApplication::installTranslator(translator)) {
                loaded.append(QLatin1String(catalogue));
                break;
            }
            delete translator;
        }
    }
    return loaded;
}

} // namespace QtTranslations
