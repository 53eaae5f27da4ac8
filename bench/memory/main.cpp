// Resident memory over position cycles: the real window (widgets, wiring, Form_Load) shows
// syringe position and valve port 10 000 times, with a scripted pump answering on a fake port
// and a clock that moves only when the program waits, so the run takes seconds, not hours.
//   bench_memory [cycles]      (default 10000; prints the rows of the benchmark table)
#include <unistd.h>

#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "fakes/fake_clock.h"
#include "fakes/fake_dialogs.h"
#include "fakes/fake_serial.h"
#include "fakes/fake_timer.h"
#include "link/position_display.h"
#include "platform/files/disk_files.h"
#include "platform/qt/qt_event_pump.h"
#include "ui/form1.h"
#include "ui/program.h"
#include "ui/wiring.h"
#include "window/start_up.h"

namespace {

double ResidentMiB() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    zr::SubstituteMissingFonts();
    const long cycles = argc > 1 ? std::max(1L, std::atol(argv[1])) : 10000;

    QTemporaryDir folder;
    zr::Form1 window;
    zr::test::FakeClock clock;
    zr::test::FakeSerial serial(clock);
    zr::test::FakeTimer timer;
    zr::QtEventPump events;
    zr::test::FakeDialogs dialogs;
    zr::DiskFiles files(folder.path().toStdString());
    zr::Module m(serial, timer, clock, events, dialogs, window, files);
    zr::WireHandlers(window, m);
    zr::Form_Load(m);
    window.show();

    // A ready pump whose plunger moves on every cycle, so the labels' texts change each time.
    long step = 0;
    serial.onOutput = [&](const std::string& frame) {
        const bool valve = frame.find("?8") != std::string::npos;
        const std::string data = valve ? std::to_string(1 + step % 6) : std::to_string(step % 3001);
        serial.arrive(std::string("/0`") + data + "\x03\r\n\xff", 0.05);
    };

    const double atStart = ResidentMiB();
    double afterWarmUp = atStart;
    for (step = 0; step < cycles; ++step) {
        zr::ShowPosition(m);
        // the fakes keep a record of every call; the program itself keeps nothing
        serial.log.clear();
        serial.frames.clear();
        clock.sleeps.clear();
        if (step + 1 == cycles / 10) afterWarmUp = ResidentMiB();
    }
    const double atEnd = ResidentMiB();
    if (m.ErrNum != 0) {
        std::fprintf(stderr, "the last cycle failed: error %d\n", int(m.ErrNum));
        return 1;
    }
    std::printf("memory\tresident after the window is shown\t%.1f\tMiB\n", atStart);
    std::printf("memory\tresident after %ld position cycles\t%.1f\tMiB\n", cycles, atEnd);
    std::printf("memory\tgrowth from cycle %ld to %ld\t%.3f\tMiB\n", cycles / 10, cycles,
                atEnd - afterWarmUp);
    return 0;
}
