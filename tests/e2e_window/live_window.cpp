#include "live_window.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QTest>

#include "cmdlist/command_list.h"

LiveWindow::LiveWindow() {
    // The command lists stand in the program's own folder, as an installed program has them.
    const QDir built(qEnvironmentVariable("ZR_PROGRAM_DIR"));
    for (const zr::DeviceType& device : zr::DeviceTypes)
        QFile::copy(built.filePath(device.file), folder.filePath(device.file));
    zr::SubstituteMissingFonts();
    program = std::make_unique<zr::Program>(folder.path());
    window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&window()));
}

bool LiveWindow::start(const QStringList& options) {
    return sim.start(folder.path(), options);
}

void LiveWindow::type(const QString& text) {
    QWidget* line = window().widget(zr::Control::text1);
    QTest::keyClick(line, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(line, Qt::Key_Delete);
    QTest::keyClicks(line, text);
}

void LiveWindow::click(zr::Control button) {
    QTest::mouseClick(qobject_cast<QAbstractButton*>(window().widget(button)), Qt::LeftButton);
}

QByteArray LiveWindow::programs() {
    QFile file(folder.filePath("programs.txt"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

void LiveWindow::send(const QString& command) {
    type(command);
    click(zr::Control::cmdXmit);
}

void LiveWindow::choose(zr::Control combo, const QString& item) {
    auto* box = qobject_cast<QComboBox*>(window().widget(combo));
    const int index = box->findText(item);
    QVERIFY2(index >= 0, qPrintable(item));
    box->setCurrentIndex(index);
    emit box->activated(index);
}
