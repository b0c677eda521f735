#include "testsupport.h"
#include "pagetext.h"

#include <QApplication>

class SmokeTest : public QObject
{
    Q_OBJECT
private slots:
    void resourcesAreRegistered()
    {
        QVERIFY(!readTextFile(QStringLiteral(":/js/mian.js")).isEmpty());
    }
};

TESSERA_TEST_MAIN(SmokeTest)
#include "tst_smoke.moc"
