#include <QHelpEvent>
#include <QRegularExpression>
#include <QTest>

#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "live_window.h"

using zr::Control;

// Sessions at the bench: the real window, the real serial adapter, pumpsim on the line.
class OperatorSessionsTest : public QObject {
    Q_OBJECT
private slots:
    void aSendShowsWhatCameBack_data() { zr::test::AddTableRows(QFINDTESTDATA("exchanges.txt")); }
    void aSendShowsWhatCameBack();
    void tooltipsTellTheSettingsAndTheBytes();
};

void OperatorSessionsTest::aSendShowsWhatCameBack() {
    QFETCH(QByteArrayList, row);
    const auto field = [&](int i) {
        return QString::fromLatin1(row[i]).replace("{40000}", QString("0123456789").repeated(4000));
    };
    LiveWindow live;
    QVERIFY2(live.start(field(1).split(' ', Qt::SkipEmptyParts)), qPrintable(live.sim.error()));
    live.click(Control::cmdSetup);
    live.choose(Control::cboProtocol, field(2));
    live.click(Control::cmdExitSetup);
    live.choose(Control::cboAddress, field(3));
    QTRY_COMPARE(live.boxes.seen.size(), int(field(2) == "OEM") + int(field(3).contains(',')));
    live.boxes.seen.clear();
    const QByteArray programs = live.programs();
    live.send(field(4));

    QCOMPARE(live.shown(Control::lblStatus), field(5));
    QCOMPARE(live.shown(Control::lblReply), field(6));
    QCOMPARE(live.shown(Control::lblReplyCode), field(7));
    QTest::qWait(field(8).isEmpty() ? 0 : 3000);
    QCOMPARE(live.boxes.seen, field(8).isEmpty() ? QStringList() : QStringList{field(8)});
    QCOMPARE(live.shown(Control::text1), field(4));
    QCOMPARE(live.programs(), programs);
}

// Send's tooltip, asked for when the pointer rests on it, tells where Com1 leads now (pumpsim
// came after start-up); the reply's tells the exchange's bytes and the times taken on the real
// line. Each is also the accessible description. (Their texts in full: tests/link/summaries.txt.)
void OperatorSessionsTest::tooltipsTellTheSettingsAndTheBytes() {
    LiveWindow live;
    QVERIFY2(live.start(), qPrintable(live.sim.error()));
    QWidget* send = live.window().widget(Control::cmdXmit);
    QHelpEvent hover(QEvent::ToolTip, QPoint(5, 5), send->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(send, &hover);
    const QString settings = send->toolTip();
    QCOMPARE(settings, "Com1 = " + live.folder.filePath("COM1") + " -> " +
                           QFile::symLinkTarget(live.folder.filePath("COM1")) +
                           " · 9600,n,8,1 · DT · pump 1");
    QCOMPARE(live.window().widget(Control::cboAddress)->accessibleDescription(), settings);

    live.send("?");
    const QString told = live.window().widget(Control::lblReply)->toolTip();
    const QRegularExpressionMatch match = QRegularExpression(
                                              "^Sent 2F 31 3F 0D\\n.*\\nReply 2F 30 60 30 03 0D 0A FF\\n.*\\n"
                                              "First byte after (\\d+) ms · reply read after (\\d+) ms$")
                                              .match(told);
    // the first byte comes within the reply wait; the reply is read after one settle pass more
    QVERIFY2(match.hasMatch() && match.captured(1).toInt() < 100 && match.captured(2).toInt() >= 200,
             qPrintable(told));
    QCOMPARE(live.window().widget(Control::lblStatus)->accessibleDescription(), told);
}

ZR_TEST(OperatorSessionsTest);
#include "test_operator_sessions.moc"
