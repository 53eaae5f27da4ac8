#include <QCoreApplication>
#include <QtTest>

#include "test_line_settings.h"
#include "test_port_device.h"
#include "test_qt_serial_port.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    int status = 0;
    {
        LineSettingsTest t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        PortDeviceTest t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        QtSerialPortTest t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}
