#include <QCoreApplication>

#include "fakes/run_tests.h"
#include "test_line_settings.h"
#include "test_port_device.h"
#include "test_qt_serial_port.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    return zr::test::RunTests<LineSettingsTest, PortDeviceTest, QtSerialPortTest>(argc, argv);
}
