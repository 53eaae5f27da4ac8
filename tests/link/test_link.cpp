#include <QTest>
#include <algorithm>

#include "fakes/rig.h"
#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "link/address.h"
#include "link/frames.h"
#include "link/link_summary.h"
#include "link/position_display.h"
#include "link/reply_decoders.h"
#include "link/send_stop.h"
#include "link/transaction.h"
#include "shared/error_messages.h"

using namespace zr;

namespace {

// A rig whose link settings are those a first Send takes (DT, pump 1, 9600, Com1), with the
// combo boxes chosen to match.
struct LinkRig : test::Rig {
    LinkRig() {
        m.Protocol = "DT";
        m.AddrChar = "1";
        m.AddrMode = "s";
        m.BaudRate = "9600";
        m.PortNum = 1;
        for (Control combo : {Control::cboAddress, Control::cboProtocol, Control::cboPort})
            form.setListIndex(combo, 0);
        form.setListIndex(Control::cboBaud, 2);
    }
};

// A DT reply carrying this status and data, as a pump sends it.
std::string DTReply(char status, const std::string& data) {
    return std::string("/0") + status + data + "\x03\r\n\xff";
}

// Answers every frame as a pump at position 0 with its valve at port 1, "done" to any other
// command. Its status in the k-th position cycle (which ends with the valve query) is
// statuses[k]; the last one repeats. "silent": it never answers; "no port": the port cannot
// be opened.
void Pump(LinkRig& rig, const std::string& statuses) {
    if (statuses == "no port") return rig.serial.failOpening("permission denied");
    if (statuses == "silent") return;
    rig.serial.onOutput = [&rig, statuses, cycle = std::size_t(0)](const std::string& frame) mutable {
        const std::string command = frame.substr(2, frame.size() - 3);
        const char status = statuses[std::min(cycle, statuses.size() - 1)];
        if (command == "?8") ++cycle;
        const char* data = command == "?" ? "0" : command == "?8" ? "1" : "done";
        rig.serial.arrive(DTReply(status, data), 0.05);
    };
}

void Click(LinkRig& rig, char click) {
    if (click == 'S') cmdXmit_Click(rig.m);
    if (click == 'T') cmdStop_Click(rig.m);
    if (click == 'P') cmdPosition_Click(rig.m);
    if (click == 'E') rig.form.setText(Control::text1, "P200R");
}

QByteArray Texts(const LinkRig& rig, std::initializer_list<Control> controls) {
    QByteArrayList texts;
    for (Control c : controls) texts << QByteArray::fromStdString(rig.form.text(c));
    return texts.join('/');
}

}  // namespace

// Error texts, frames, one exchange with a pump, and the clicks that run exchanges.
class LinkTest : public QObject {
    Q_OBJECT
private slots:
    void errorTexts_data() { test::AddTableRows(QFINDTESTDATA("error_texts.txt")); }
    void errorTexts() {
        QFETCH(QByteArrayList, row);
        test::Rig rig;
        rig.m.ErrDetail = "kept";
        rig.m.ErrNum = static_cast<int16_t>(row[0].toInt());
        ErrorMessage(rig.m);
        ErrorMessage(rig.m);  // a second call gives the same text, never appends
        QCOMPARE(QByteArray::fromStdString(rig.m.ErrDetail), row[1]);
        QCOMPARE(rig.m.ErrNum, row[0].toInt());
    }

    void framesAreExactBytes_data() { test::AddTableRows(QFINDTESTDATA("frames.txt")); }
    void framesAreExactBytes() {
        QFETCH(QByteArrayList, row);
        const std::string address = AddressCharacter(row[2].toInt()), command = row[3].toStdString();
        const std::string frame = row[1] == "DT" ? DTFrame(address, command) : OEMFrame(address, command);
        QCOMPARE(QByteArray::fromStdString(frame).toHex(), row[4]);
    }

    void wholeRepliesEndAtTheirLastCharacter_data() {
        test::AddTableRows(QFINDTESTDATA("whole_replies.txt"));
    }
    void wholeRepliesEndAtTheirLastCharacter() {
        QFETCH(QByteArrayList, row);
        QCOMPARE(WholeReplyLength(row[2].toStdString(), row[1] == "OEM"), row[3].toULongLong());
    }

    void everyOutcomeOfAnExchange_data() { test::AddTableRows(QFINDTESTDATA("exchanges.txt")); }
    void everyOutcomeOfAnExchange() {
        QFETCH(QByteArrayList, row);
        const QByteArray& setup = row[1];
        const std::string reply = row[2].toStdString();
        LinkRig rig;
        rig.m.CmdString = "?";
        if (setup.contains("OEM")) rig.m.Protocol = "OEM";
        if (setup.contains("group")) rig.m.AddrChar = "_", rig.m.AddrMode = "m";
        if (setup.contains("silent")) rig.m.SilentReply = 1;
        if (setup.contains("late")) rig.serial.setPortOpen(true), rig.serial.arrive("xyz");
        if (setup.contains("cut off")) rig.events.onProcess = [&] { rig.serial.setPortOpen(false); };
        if (setup.contains("led elsewhere")) rig.events.onProcess = [&] { rig.serial.ledElsewhere = true; };
        const std::string lost = "Com1 (rfc2217://bench-3:4001): bench-3:4001 closed the connection";
        if (setup.contains("lost")) rig.events.onProcess = [&] { rig.serial.lose(lost); };
        if (setup.contains("network")) rig.serial.delay = 0.15;
        if (setup.contains("armed")) rig.timer.setEnabled(true);
        if (setup.contains("no port")) rig.serial.failOpening("permission denied");
        const bool sent = !setup.contains("no port");
        for (Control c : {Control::lblStatCode, Control::lblStatus, Control::lblReply, Control::lblReplyCode})
            rig.form.setText(c, "old");
        // a network's round trip delays the reply past the pump's tenth of a second
        const double firstByte = setup.contains("dribble") || setup.contains("late") ? 0.0
                                 : setup.contains("network")                         ? 0.2
                                                                                     : 0.05;
        rig.serial.onOutput = [&](const std::string&) {
            if (setup.contains("gone")) return rig.serial.lose(lost);
            setup.contains("dribble") ? rig.serial.dribble(reply, 0.0, 0.021)
                                      : rig.serial.arrive(reply, firstByte);
        };
        XmitCommand(rig.m);
        QCOMPARE(Texts(rig, {Control::lblStatCode, Control::lblReply, Control::lblReplyCode}), row[3]);
        QCOMPARE(
            QString::asprintf("%d, %s, timer %s, armed %d, %d reads, %d sleeps", rig.m.ErrNum,
                              rig.serial.portOpen() ? "open" : "closed", rig.timer.enabled() ? "on" : "off",
                              rig.timer.enableCount, rig.serial.inputCount, int(rig.clock.sleeps.size())),
            QString::fromLatin1(row[4]));
        QCOMPARE(rig.m.ErrDetail.empty(), rig.m.ErrNum == 0);
        QCOMPARE(rig.serial.frames.size(), std::size_t(sent));
        QCOMPARE(rig.serial.openCount, int(sent));  // a port left open is used as it is
        // the exchange is kept as it went over the line: the frame, and the reply whole as read
        QCOMPARE(rig.m.LastExchange.request, sent ? rig.serial.frames[0] : std::string());
        QCOMPARE(rig.m.LastExchange.readAt >= 0, rig.serial.inputCount == 1);
        QVERIFY(rig.m.LastExchange.reply.ends_with(rig.serial.inputCount == 1 ? reply : std::string()));
        QCOMPARE(rig.timer.interval(), 2000);
        // the first byte is seen as it comes; the reply wait then sleeps out the rest of its
        // tenth of a second, each settle wait sleeps a tenth, and pending events run after each
        // settle pass
        if (sent && !setup.contains("gone")) {
            QCOMPARE(rig.m.LastExchange.firstByteAt - rig.m.LastExchange.sentAt + 1, firstByte + 1);
            QCOMPARE(rig.clock.sleeps.front() + firstByte, 0.1 + rig.serial.delay);
        }
        QVERIFY(std::all_of(rig.clock.sleeps.begin() + int(sent), rig.clock.sleeps.end(),
                            [](double s) { return s == 0.1; }));
        QCOMPARE(rig.events.count, int(rig.clock.sleeps.size()));
        // a port that cannot be opened, or a line lost that tells why, is told in one box
        const bool told = !sent || setup.contains("lost") || setup.contains("gone");
        QCOMPARE(rig.dialogs.messages.size(), std::size_t(told));
        if (told && sent)
            QCOMPARE(QString::fromStdString(rig.dialogs.messages[0].text), QString::fromStdString(lost));
    }

    void clicksAndRepetitions_data() { test::AddTableRows(QFINDTESTDATA("clicks.txt")); }
    void clicksAndRepetitions() {
        QFETCH(QByteArrayList, row);
        const QByteArray& clicks = row[3];
        const int uncheckAt = row[4].toInt();
        LinkRig rig;
        Pump(rig, row[5].toStdString());
        rig.form.setText(Control::text1, "W4R");
        rig.form.setValue(Control::chkReport, row[2].toInt());
        for (Control c : {Control::lblReplyCode, Control::lblSyringe, Control::lblValve})
            rig.form.setText(c, "old");
        bool clicked = false;
        rig.events.onProcess = [&] {
            if (int(rig.serial.frames.size()) >= uncheckAt && uncheckAt >= 0)
                rig.form.setValue(Control::chkReport, 0);
            if (std::exchange(clicked, true)) return;
            const std::size_t before = rig.serial.frames.size();
            for (char click : clicks) Click(rig, click);
            QCOMPARE(rig.serial.frames.size(), before);  // nothing written under the running read
        };
        Click(rig, row[1][0]);
        if (rig.timer.enabled()) Timer2_Timer(rig.m);
        QVERIFY(!rig.timer.enabled());
        QByteArrayList commands, boxes;
        for (const std::string& frame : rig.serial.frames)
            commands << QByteArray::fromStdString(frame.substr(2, frame.size() - 3));
        for (const auto& box : rig.dialogs.messages)
            boxes << QByteArray::fromStdString(box.title + ": " + box.text +
                                               (box.icon == MessageIcon::Critical ? " (critical)" : ""));
        QCOMPARE(commands.join(' '), row[6]);
        QCOMPARE(Texts(rig, {Control::lblReplyCode, Control::lblSyringe, Control::lblValve}), row[7]);
        QCOMPARE(boxes.join("; "), row[8]);
        QCOMPARE(rig.serial.usedWhileClosed, 0);
        QCOMPARE(rig.m.CmdString, rig.form.text(Control::text1));
        QCOMPARE(rig.form.textSets(Control::text1), 1 + int(clicks.count('E')));
        QVERIFY(rig.m.PendingClicks.empty());
        QVERIFY(!rig.m.PositionShowing);
    }

    // What the reply fields tell of the last exchange and what Send tells of the next one.
    void summariesOfTheExchangeAndTheSettings_data() { test::AddTableRows(QFINDTESTDATA("summaries.txt")); }
    void summariesOfTheExchangeAndTheSettings() {
        QFETCH(QByteArrayList, row);
        const QByteArray& setup = row[1];
        LinkRig rig;
        rig.serial.devices[1] = "/dev/ttyUSB0";
        if (setup.contains("OEM")) rig.form.setListIndex(Control::cboProtocol, 1);
        if (setup.contains("group")) rig.form.setListIndex(Control::cboAddress, 16);
        rig.form.setText(Control::text1, row[2].toStdString());
        const std::string reply = row[3].toStdString();
        rig.serial.onOutput = [&](const std::string&) {
            if (!reply.empty()) rig.serial.dribble(reply, row[4].toDouble(), 0.001);
        };
        if (setup.contains("no port")) rig.serial.failOpening("permission denied");
        cmdXmit_Click(rig.m);
        if (rig.timer.enabled()) Timer2_Timer(rig.m);
        if (setup.contains("19,200")) rig.form.setListIndex(Control::cboBaud, 1);
        if (setup.contains("typed"))
            rig.form.setListIndex(Control::cboPort, -1), rig.form.at(Control::cboPort).text = "COM7";
        if (setup.contains("Com2")) rig.form.setListIndex(Control::cboPort, 1);
        ShowLinkSummary(rig.m);
        QCOMPARE(QByteArray::fromStdString(rig.form.at(Control::lblReply).toolTip).replace('\n', " / "),
                 row[5]);
        QCOMPARE(QByteArray::fromStdString(rig.form.at(Control::cmdXmit).toolTip), row[6]);
        QCOMPARE(rig.form.at(Control::cboAddress).toolTip, rig.form.at(Control::cmdXmit).toolTip);
        for (Control c : {Control::lblReplyCode, Control::lblStatCode, Control::lblStatus})
            QCOMPARE(rig.form.at(c).toolTip, rig.form.at(Control::lblReply).toolTip);
    }

    void linkSettingsComeFromTheCombos_data() { test::AddTableRows(QFINDTESTDATA("link_settings.txt")); }
    void linkSettingsComeFromTheCombos() {
        QFETCH(QByteArrayList, row);
        LinkRig rig;
        if (row[3] == "open") cmdXmit_Click(rig.m);  // unanswered: the port stays open
        const QByteArrayList indexes = row[2].split(' ');
        const Control combos[] = {Control::cboAddress, Control::cboProtocol, Control::cboBaud,
                                  Control::cboPort};
        for (int i = 0; i < 4; ++i) rig.form.setListIndex(combos[i], indexes[i].toInt());
        rig.serial.onOutput = [&](const std::string&) { rig.serial.arrive(DTReply('`', "")); };
        if (row[1] == "P") rig.m.Protocol.clear(), rig.m.AddrChar.clear(), rig.m.BaudRate.clear();
        Click(rig, row[1][0]);
        QCOMPARE(rig.form.enabled(Control::cmdEdit), row[1] == "P");
        const Module& m = rig.m;
        QCOMPARE(QByteArray::fromStdString(m.AddrChar + " " + m.AddrMode + " " + m.Protocol + " " +
                                           m.BaudRate + " " + std::to_string(m.PortNum)),
                 row[4]);
        std::string log;
        for (const std::string& entry : rig.serial.log) log += entry + " ";
        const QByteArray setup = "Handshaking=0 InputLen=0 DTREnable=0 InputMode=0 RTSEnable=0 SThreshold=0";
        QCOMPARE(QString::asprintf("%s on Com%d, closed %dx, set up %dx", rig.serial.settings.c_str(),
                                   rig.serial.commPort, rig.serial.closeCount,
                                   int(QByteArray::fromStdString(log).count(setup))),
                 QString::fromLatin1(row[5]));
    }
};

ZR_TEST(LinkTest);
#include "test_link.moc"
