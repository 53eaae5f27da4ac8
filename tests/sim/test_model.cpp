#include <QTest>

#include "bus.h"
#include "fakes/rows_file.h"
#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "frame_parser.h"
#include "pump.h"
#include "reply_encoder.h"

using namespace pumpsim;

namespace {

// Every frame found, as "D:addr:command" or "O:addr:command" (":bad" when the checksum fails).
QStringList Found(FrameParser& parser) {
    QStringList out;
    while (auto f = parser.Next()) {
        out << QString::fromLatin1("%1:%2:%3%4")
                   .arg(f->framing == Framing::DT ? "D" : "O")
                   .arg(QChar::fromLatin1(f->address))
                   .arg(QString::fromLatin1(f->command.data(), int(f->command.size())))
                   .arg(f->checksumOk ? "" : ":bad");
    }
    return out;
}

// Sends each command in turn, 100 s apart (so earlier moves have long ended), and returns the
// last reply as status followed by data.
QString Last(Pump& pump, const QStringList& commands) {
    Reply r;
    double now = 0;
    for (const QString& c : commands) r = pump.Handle(c.toStdString(), Framing::DT, now += 100);
    return QChar::fromLatin1(r.status) + QString::fromStdString(r.data);
}

}  // namespace

// The pumps' model: frames found in the byte stream, replies as bytes, the bus and each pump.
class PumpModelTest : public QObject {
    Q_OBJECT
private slots:
    void framesAreFoundWhateverTheChunks_data() {
        zr::test::AddTableRows(QFINDTESTDATA("frame_streams.txt"));
    }

    void framesAreFoundWhateverTheChunks() {
        QFETCH(QByteArrayList, row);
        const QByteArray stream = zr::test::ExpandedRepeats(QString::fromLatin1(row[1])).toLatin1();
        const QStringList frames = QString::fromLatin1(row[2]).split(" ; ");
        for (int chunk = 1; chunk <= stream.size(); ++chunk) {
            FrameParser parser;
            QStringList found;
            for (int at = 0; at < stream.size(); at += chunk) {
                parser.Feed(std::string_view(stream.constData() + at,
                                             std::min<qsizetype>(chunk, stream.size() - at)));
                found += Found(parser);
            }
            QVERIFY2(found == frames,
                     qPrintable(QString("chunks of %1: %2").arg(chunk).arg(found.join(" | "))));
        }
    }

    void repliesAreTheBytesOfTheReplyLayouts_data() {
        zr::test::AddTableRows(QFINDTESTDATA("reply_bytes.txt"));
    }
    void repliesAreTheBytesOfTheReplyLayouts() {
        QFETCH(QByteArrayList, row);
        const Reply reply{row[2].at(0), row[3].toStdString()};
        const std::string bytes =
            EncodeReply(row[1] == "DT" ? Framing::DT : Framing::OEM, reply, !row[4].isEmpty());
        QCOMPARE(QByteArray::fromStdString(bytes).toHex(' ').toUpper(), row[5]);
    }

    void groupAddressesReachMembersWithoutReply() {
        QCOMPARE(Bus::GroupMembers('A'), (std::vector<char>{'1', '2'}));
        QCOMPARE(Bus::GroupMembers('M'), (std::vector<char>{'=', '>'}));
        QCOMPARE(Bus::GroupMembers('Y'), (std::vector<char>{'9', ':', ';', '<'}));
        QCOMPARE(Bus::GroupMembers(']'), (std::vector<char>{'=', '>', '?'}));
        QCOMPARE(Bus::GroupMembers('_').size(), std::size_t(15));
        QVERIFY(Bus::GroupMembers('O').empty());
        QVERIFY(Bus::GroupMembers('1').empty());

        std::vector<PumpSettings> pumps(2);
        pumps[1].address = '2';
        Bus bus(pumps);
        auto frame = [](char address, std::string command) {
            return Frame{Framing::DT, address, command, true, ""};
        };
        QVERIFY(!bus.Answer(frame('A', "W4R"), 0.0, 9600));  // both pumps initialise, nobody answers
        QVERIFY(!bus.Answer(frame('3', "?"), 0.0, 9600));
        QVERIFY(!bus.Answer(Frame{Framing::OEM, '1', "?", false, ""}, 0.0, 9600));
        for (char pump : {'1', '2'}) {
            QCOMPARE(bus.Answer(frame(pump, "A100R"), 10.0, 9600).value()[2],
                     '@');  // initialised by the group
        }
    }

    void commandsAnswerWithStatusAndData_data() { zr::test::AddTableRows(QFINDTESTDATA("pump_replies.txt")); }

    void commandsAnswerWithStatusAndData() {
        QFETCH(QByteArrayList, row);
        PumpSettings settings;
        settings.ports = row[1].toInt();
        Pump pump(settings);
        QCOMPARE(Last(pump, QString::fromLatin1(row[2]).split(' ')), QString::fromLatin1(row[3]));
    }

    void sessionsAnswerStepByStep_data() {
        QTest::addColumn<QStringList>("steps");  // "seconds|command|reply"
        QMap<QString, QStringList> sessions;
        QStringList order;
        for (const auto& row : zr::test::ReadRows(QFINDTESTDATA("pump_sessions.txt").toStdString(), '|')) {
            const QString name = QString::fromStdString(row[0]);
            if (!sessions.contains(name)) order << name;
            sessions[name] << QString::fromStdString(row[1] + "|" + row[2] + "|" + row[3]);
        }
        for (const QString& name : order) QTest::newRow(qPrintable(name)) << sessions[name];
    }

    void sessionsAnswerStepByStep() {
        QFETCH(QStringList, steps);
        Pump pump(PumpSettings{});
        for (const QString& step : steps) {
            const QStringList f = step.split('|');
            const Reply r = pump.Handle(f[1].toStdString(), Framing::DT, f[0].toDouble());
            const QString got = QChar::fromLatin1(r.status) + QString::fromStdString(r.data);
            QVERIFY2(got == f[2], qPrintable(step + " answered " + got));
        }
    }

    // Every report number the tool interprets gets a non-empty answer, so none reads as "n/a".
    void queriesAnswerForEveryReportNumber() {
        Pump pump(PumpSettings{});
        for (int n = 0; n <= 30; ++n) {
            const Reply r = pump.Handle("?" + std::to_string(n), Framing::OEM, 0);
            QVERIFY2(r.status == '`' && !r.data.empty(), qPrintable(QString::number(n)));
        }
        for (const char* c : {"~a", "~B", "~h", "~i", "~l", "~P", "~s", "~v", "~y", "~Z", "*", "%", "$", "&",
                              "x?", "f1", "z1", "!"}) {
            const Reply r = pump.Handle(c, Framing::OEM, 0);
            QVERIFY2(r.status == '`' && !r.data.empty(), c);
        }
        QCOMPARE(pump.Handle("~p", Framing::OEM, 0).data, std::string("0"));
    }
};

ZR_TEST(PumpModelTest);
#include "test_model.moc"
