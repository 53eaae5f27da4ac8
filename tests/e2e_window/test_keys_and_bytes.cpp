#include <QHelpEvent>
#include <QRegularExpression>
#include <QTest>

#include "fakes/test_registry.h"
#include "live_window.h"

using zr::Control;

// The tooltips on the real window, with pumpsim on the line.
class KeysAndBytesTest : public QObject {
    Q_OBJECT
private slots:
    void tooltipsTellTheSettingsAndTheBytes_data() {
        QTest::addColumn<QString>("protocol");
        QTest::addColumn<QString>("exchange");
        const QString times = "\\nFirst byte after (\\d+) ms · reply read after (\\d+) ms$";
        QTest::newRow("DT")
            << "DT"
            << "^Sent 2F 31 3F 0D\\n  / 2F · address 31 · command 3F · CR 0D\\n"
               "Reply 2F 30 60 30 03 0D 0A FF\\n  head 2F 30 · status 60 · data 30 · tail 03 0D 0A FF" +
                   times;
        QTest::newRow("OEM")
            << "OEM"
            << "^Sent FF 02 31 31 3F 03 3E\\n  lead byte FF · STX 02 · address 31 · sequence 31 · "
               "command 3F · ETX 03 · checksum 3E\\nReply FF 02 30 60 30 03 (..) FF\\n  head FF 02 30 · "
               "status 60 · data 30 · ETX 03 · checksum received (..), expected \\1 · end FF" +
                   times;
    }
    void tooltipsTellTheSettingsAndTheBytes() {
        QFETCH(QString, protocol);
        QFETCH(QString, exchange);
        LiveWindow live;
        QVERIFY2(live.start(), qPrintable(live.sim.error()));
        live.click(Control::cmdSetup);
        live.choose(Control::cboProtocol, protocol);
        live.click(Control::cmdExitSetup);
        live.boxes.seen.clear();
        QWidget* send = live.window().widget(Control::cmdXmit);
        QHelpEvent hover(QEvent::ToolTip, QPoint(5, 5), send->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(send, &hover);  // COM1 came after start-up: the tooltip sees it
        const QString settings = send->toolTip();
        QVERIFY2(
            QRegularExpression("^Com1 = .*/COM1 -> /dev/pts/\\d+ · 9600,n,8,1 · " + protocol + " · pump 1$")
                .match(settings)
                .hasMatch(),
            qPrintable(settings));
        QCOMPARE(live.window().widget(Control::cboAddress)->accessibleDescription(), settings);

        live.send("?");
        const QString told = live.window().widget(Control::lblReply)->toolTip();
        const QRegularExpressionMatch match = QRegularExpression(exchange).match(told);
        QVERIFY2(match.hasMatch(), qPrintable(told));
        // the first byte comes within the reply wait; the reply is read after at least one
        // settle pass more
        const int first = match.captured(match.lastCapturedIndex() - 1).toInt();
        const int read = match.captured(match.lastCapturedIndex()).toInt();
        QVERIFY2(first < 100 && read >= 200, qPrintable(told));
        QCOMPARE(live.window().widget(Control::lblStatus)->accessibleDescription(), told);
    }
};

ZR_TEST(KeysAndBytesTest);
#include "test_keys_and_bytes.moc"
