#include "platform/qt/qt_event_pump.h"

#include <QCoreApplication>

namespace zr {

void QtEventPump::processEvents() {
    QCoreApplication::processEvents();
}

}  // namespace zr
