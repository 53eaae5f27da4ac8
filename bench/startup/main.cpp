// Start-up time: from starting a process to the main window's first paint, as the operator
// sees it (loading the libraries, building the window, Form_Load on a fresh program folder),
// and on to the port box's items all telling what they stand for (the ports listed once).
//   bench_startup [count]      (default 20 starts; prints the rows of the benchmark table)
// Each start runs this executable again with --child <folder>: it builds the program exactly
// as zadu-rovu does and writes one line when the window has painted, one when the port box's
// last item has its description.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "ui/program.h"

namespace {

// Writes the milliseconds since `started`.
void Note(const QElapsedTimer& started) {
    std::printf("%.3f\n", double(started.nsecsElapsed()) / 1e6);
    std::fflush(stdout);
}

// Notes the window's first paint.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(const QElapsedTimer& started) : started_(started) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            Note(started_);
            watched->removeEventFilter(this);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const QElapsedTimer& started_;
};

int RunChild(int argc, char* argv[], const QString& folder) {
    QElapsedTimer started;
    started.start();
    QApplication app(argc, argv);
    zr::SubstituteMissingFonts();
    zr::Program program(folder);
    FirstPaint firstPaint(started);
    program.window().installEventFilter(&firstPaint);
    auto* ports = qobject_cast<QComboBox*>(program.window().widget(zr::Control::cboPort));
    QObject::connect(
        ports->model(), &QAbstractItemModel::dataChanged, &app,
        [&](const QModelIndex& first, const QModelIndex&, const QList<int>& roles) {
            if (first.row() != ports->count() - 1 || !roles.contains(Qt::AccessibleDescriptionRole)) return;
            Note(started);
            QCoreApplication::exit(0);
        });
    program.window().show();
    return app.exec();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc == 3 && QByteArray(argv[1]) == "--child")
        return RunChild(argc, argv, QString::fromLocal8Bit(argv[2]));

    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    std::vector<double> total, inMain, described;
    for (int i = 0; i < count; ++i) {
        QTemporaryDir folder;  // a fresh program folder: Form_Load creates programs.txt
        QProcess child;
        QElapsedTimer started;
        started.start();
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), folder.path()});
        const bool painted = child.waitForReadyRead(20000);
        const double fromStart = double(started.nsecsElapsed()) / 1e6;
        if (!painted || !child.waitForFinished(20000) || child.exitCode() != 0) {
            std::fprintf(stderr, "start %d failed: %s\n", i, qPrintable(child.errorString()));
            return 1;
        }
        total.push_back(fromStart);
        const QList<QByteArray> notes = child.readAllStandardOutput().split('\n');
        inMain.push_back(notes.value(0).toDouble());
        described.push_back(notes.value(1).toDouble() - notes.value(0).toDouble());
    }
    std::printf("start-up\tprocess start to window painted (%d starts)\t%.1f\tms\n", count, Median(total));
    std::printf("start-up\tmain() entered to window painted\t%.1f\tms\n", Median(inMain));
    std::printf("start-up\twindow painted to port items described\t%.1f\tms\n", Median(described));
    return 0;
}
