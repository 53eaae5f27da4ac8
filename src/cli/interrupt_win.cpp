#include <windows.h>

#include <QMetaObject>

#include "cli/interrupt.h"

namespace zr::cli {

namespace {

Interrupt* gInterrupt = nullptr;

// Runs on a thread of its own: the signal is queued to the event loop's thread.
BOOL WINAPI OnCtrl(DWORD type) {
    if (type != CTRL_C_EVENT || gInterrupt == nullptr) return FALSE;
    Interrupt* interrupt = gInterrupt;
    gInterrupt = nullptr;
    QMetaObject::invokeMethod(interrupt, &Interrupt::interrupted, Qt::QueuedConnection);
    return TRUE;
}

}  // namespace

Interrupt::Interrupt() {
    gInterrupt = this;
    SetConsoleCtrlHandler(OnCtrl, TRUE);
}

Interrupt::~Interrupt() {
    gInterrupt = nullptr;
    SetConsoleCtrlHandler(OnCtrl, FALSE);
}

}  // namespace zr::cli
