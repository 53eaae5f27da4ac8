#include <QtTest>
#include <algorithm>

#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "link/send_stop.h"
#include "link_rig.h"
#include "reply/position_display.h"

using namespace zr;

namespace {

void Click(LinkRig& rig, char click) {
    if (click == 'S') cmdXmit_Click(rig.m);
    if (click == 'T') cmdStop_Click(rig.m);
    if (click == 'P') cmdPosition_Click(rig.m);
    if (click == 'E') rig.form.setText(Control::text1, "P200R");
}

// Answers every frame as a pump at position 0 with its valve at port 1, "done" to any other
// command. Its status in the k-th position cycle (which ends with the valve query) is
// statuses[k]; the last one repeats.
// "silent": it never answers; "no port": the port cannot be opened.
void Pump(LinkRig& rig, const std::string& statuses) {
    if (statuses == "no port") return rig.serial.failOpening("permission denied");
    if (statuses == "silent") return;
    rig.serial.onOutput = [&rig, statuses, cycle = std::size_t(0)](const std::string& frame) mutable {
        const std::string command = frame.substr(2, frame.size() - 3);
        const char status = statuses[std::min(cycle, statuses.size() - 1)];
        if (command == "?8") ++cycle;
        const char* data = command == "?" ? "0" : command == "?8" ? "1" : "done";
        rig.serial.arrive(LinkRig::dtReply(status, data), 0.05);
    };
}

}  // namespace

class ClicksTest : public QObject {
    Q_OBJECT
private slots:
    void clicksAndRepetitions_data() { test::AddTableRows(QFINDTESTDATA("clicks.txt")); }
    void clicksAndRepetitions() {
        QFETCH(QByteArrayList, row);
        const QByteArray &clicks = row[3], &pump = row[5];
        const int uncheckAt = row[4].toInt();
        LinkRig rig;
        Pump(rig, pump.toStdString());
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
        QStringList commands, shown, boxes;
        for (const std::string& frame : rig.serial.frames)
            commands << frame.substr(2, frame.size() - 3).c_str();
        for (Control c : {Control::lblReplyCode, Control::lblSyringe, Control::lblValve})
            shown << rig.form.text(c).c_str();
        for (const auto& box : rig.dialogs.messages)
            boxes << QString::fromStdString(box.title + ": " + box.text) +
                         (box.icon == MessageIcon::Critical ? " (critical)" : "");
        QCOMPARE(commands.join(' '), QString::fromLatin1(row[6]));
        QCOMPARE(shown.join('/'), QString::fromLatin1(row[7]));
        QCOMPARE(boxes.join("; "), QString::fromLatin1(row[8]));
        QCOMPARE(rig.serial.usedWhileClosed, 0);
        QCOMPARE(rig.m.CmdString, rig.form.text(Control::text1));
        QCOMPARE(rig.form.at(Control::text1).textSets, 1 + int(clicks.count('E')));
        QVERIFY(rig.m.PendingClicks.empty());
        QVERIFY(!rig.m.PositionShowing);
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
        rig.serial.onOutput = [&](const std::string&) { rig.serial.arrive(LinkRig::dtReply('`', "")); };
        if (row[1] == "P") rig.m.Protocol.clear(), rig.m.AddrChar.clear(), rig.m.BaudRate.clear();
        Click(rig, row[1][0]);
        QCOMPARE(rig.form.enabled(Control::cmdEdit), row[1] == "P");
        const Module& m = rig.m;
        QCOMPARE(QString::fromStdString(m.AddrChar + " " + m.AddrMode + " " + m.Protocol + " " + m.BaudRate +
                                        " " + std::to_string(m.PortNum)),
                 QString::fromLatin1(row[4]));
        std::string log;
        for (const std::string& entry : rig.serial.log) log += entry + " ";
        const QByteArray setup = "Handshaking=0 InputLen=0 DTREnable=0 InputMode=0 RTSEnable=0 SThreshold=0";
        QCOMPARE(QString::asprintf("%s on Com%d, closed %dx, set up %dx", rig.serial.settings.c_str(),
                                   rig.serial.commPort, rig.serial.closeCount,
                                   int(QByteArray::fromStdString(log).count(setup))),
                 QString::fromLatin1(row[5]));
    }
};

ZR_TEST(ClicksTest);
#include "test_clicks.moc"
