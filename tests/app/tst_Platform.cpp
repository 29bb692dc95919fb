#include "Platform.h"
#include "TestEnvironment.h"

class tst_Platform : public QObject
{
    Q_OBJECT
private slots:
    void explorerSelectsWithBackslashesOnly();
};

void tst_Platform::explorerSelectsWithBackslashesOnly()
{
    QCOMPARE(Platform::explorerCommand("C://designs/cars\\\\front/part.svg"),
        QString("explorer.exe /select,\"C:\\designs\\cars\\front\\part.svg\""));
}

ZOCUT_TEST_MAIN(tst_Platform)
#include "tst_Platform.moc"
