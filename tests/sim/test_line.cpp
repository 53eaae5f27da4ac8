#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "live/pumpsim_process.h"
#include "shared/hex_bytes.h"

namespace {

// A running pumpsim linked as COM1 in a fresh folder, and a client on that line.
struct Line {
    explicit Line(const QStringList& options) {
        if (!sim.start(folder.path(), options)) return;
        fd = ::open(link().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        opened.start();
    }
    ~Line() {
        if (fd >= 0) ::close(fd);
    }
    QString link() const { return folder.filePath("COM1"); }
    // The line's speed, as a client sets it on its side.
    bool setBaud(int baud) {
        termios t{};
        return tcgetattr(fd, &t) == 0 &&
               cfsetspeed(&t, baud == 1200   ? B1200
                              : baud == 9600 ? B9600
                                             : B38400) == 0 &&
               tcsetattr(fd, TCSANOW, &t) == 0;
    }
    bool write(const QByteArray& bytes) {
        return ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }
    // Everything that arrives until the line has been quiet for 300 ms, in hex; lastByteMs
    // tells when the last of it came, in ms since the client opened the line.
    QString read() {
        std::string got;
        pollfd p{fd, POLLIN, 0};
        char buffer[256];
        for (ssize_t n = 0; ::poll(&p, 1, 300) > 0 && (n = ::read(fd, buffer, sizeof buffer)) > 0;) {
            got.append(buffer, size_t(n));
            lastByteMs = opened.elapsed();
        }
        return QString::fromStdString(zr::HexBytes(got));
    }

    QTemporaryDir folder;
    PumpSimProcess sim;
    int fd = -1;
    QElapsedTimer opened;
    qint64 lastByteMs = 0;
};

}  // namespace

class LineTest : public QObject {
    Q_OBJECT
private slots:
    void requestsAreAnsweredOnTheLine_data() { zr::test::AddTableRows(QFINDTESTDATA("line_exchanges.txt")); }

    // Requests are logged as they come in, replies as they go out.
    void requestsAreAnsweredOnTheLine() {
        QFETCH(QByteArrayList, row);
        Line line(QString::fromLatin1(row[1]).split(' ', Qt::SkipEmptyParts));
        QVERIFY2(line.fd >= 0, qPrintable(line.sim.error()));
        for (const QByteArray& part : row[2].split('{')) {
            const qsizetype end = part.indexOf('}');
            const QByteArray braced = part.left(std::max<qsizetype>(end, 0));
            if (braced.startsWith('@')) QVERIFY(line.setBaud(braced.mid(1).toInt()));
            QTest::qSleep(braced.startsWith('@') ? 0 : braced.toInt());
            QVERIFY(line.write(part.mid(end + 1)));
        }
        const QString answer = line.read();
        QCOMPARE(answer, QString::fromLatin1(row[3]));
        QVERIFY2(line.lastByteMs >= row[4].toInt(), qPrintable(QString::number(line.lastByteMs)));
        const QString log = line.sim.transcript();
        QStringList sent;
        for (const QString& l : log.split('\n'))
            if (l.startsWith("tx ")) sent << l.mid(3);
        QVERIFY2(log.contains("rx ") && sent.join(' ') == answer, qPrintable(log));
    }

    // The tool opens the port for each exchange and closes it afterwards.
    void aClientMayCloseAndReopenTheLine() {
        Line line({});
        for (int round = 0; round < 3; ++round) {
            QVERIFY2(line.write("/1Q\r"), qPrintable(line.sim.error()));
            QCOMPARE(line.read(), QString("2F 30 60 03 0D 0A FF"));
            ::close(line.fd);
            line.fd = ::open(line.link().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        }
        QVERIFY(line.sim.processId() != 0);
    }

    void stoppingRemovesTheLink() {
        Line line({});
        QVERIFY(QFileInfo(line.link()).isSymLink());
        line.sim.stop();
        QVERIFY(!QFileInfo::exists(line.link()) && !QFileInfo(line.link()).isSymLink());
    }

    void badOptionsAreRefusedAndHelpIsGiven_data() {
        zr::test::AddTableRows(QFINDTESTDATA("bad_options.txt"));
    }

    // Help goes to the standard output and ends well; a mistake gets the usage on the error output.
    void badOptionsAreRefusedAndHelpIsGiven() {
        QFETCH(QByteArrayList, row);
        const int exitCode = row[2].toInt();
        QProcess p;
        p.start(qEnvironmentVariable("ZR_PUMPSIM"), QString::fromLatin1(row[1]).split(' '));
        QVERIFY(p.waitForFinished(3000));
        QCOMPARE(p.exitCode(), exitCode);
        const QByteArray out = p.readAllStandardOutput(), error = p.readAllStandardError();
        QVERIFY((exitCode == 0 ? out : error).contains("usage: pumpsim"));
        QVERIFY((exitCode == 0 ? error : out).isEmpty());
    }
};

ZR_TEST(LineTest);
#include "test_line.moc"
