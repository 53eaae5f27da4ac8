#include <QtTest>

#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "platform/line_settings.h"

using namespace zr;

class LineSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void settingsTextsAreReadOrRefused_data() { test::AddTableRows(QFINDTESTDATA("line_settings.txt")); }
    void settingsTextsAreReadOrRefused() {
        QFETCH(QByteArrayList, row);
        const auto line = ParseLineSettings(row[1].toStdString());
        QString read = "refused";
        if (line) {
            const char* parities[] = {"none", "?", "even", "odd", "space", "mark"};
            const char* stops[] = {"?", "1", "2", "1.5"};
            read = QString("%1 %2 %3 %4")
                       .arg(line->baud)
                       .arg(parities[line->parity])
                       .arg(int(line->dataBits))
                       .arg(stops[line->stopBits]);
        }
        QCOMPARE(read, QString::fromLatin1(row[2]));
    }
};

ZR_TEST(LineSettingsTest);
#include "test_line_settings.moc"
