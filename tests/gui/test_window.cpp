#include <QAbstractButton>
#include <QComboBox>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "fakes/test_registry.h"
#include "ui/program.h"
#include "window/control_table.h"

using namespace zr;

namespace {

// What a control shows as its caption: a frame's title, a combo box's text, another's text.
QString Caption(const QWidget* w) {
    for (const char* property : {"title", "currentText", "text"})
        if (w->property(property).isValid()) return w->property(property).toString();
    return {};
}

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
        QVERIFY(folder_.isValid());
        program_ = std::make_unique<Program>(folder_.path());
        program_->window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&program_->window()));
    }
    void cleanup() { program_.reset(); }

    void everyControlStandsWhereTheTableSays() {
        Form1& window = program_->window();
        QCOMPARE(window.windowTitle(), QString("Zadu Rovu"));
        QCOMPARE(window.size(), QSize(627, 394));
        for (const ControlInfo& info : ControlTable()) {
            const QString name = ControlName(info.control);
            auto* w = window.findChild<QWidget*>(name);
            QVERIFY2(w, qPrintable(name));
            QCOMPARE(w->parentWidget()->objectName(), info.inWindow ? "Form1" : ControlName(info.container));
            const int top = info.control == Control::cboFile1 ? 720 : info.top;  // start-up moves it
            QCOMPARE(w->geometry(), QRect(info.left / 15, top / 15, info.width / 15, info.height / 15));
            if (FixedItems(info.control).empty() || info.control == Control::cboDevice)
                QCOMPARE(Caption(w), QString::fromLatin1(info.caption));
            QCOMPARE(w->font().pointSizeF(), info.font.points);
            QCOMPARE(w->font().bold(), info.font.bold);
            QCOMPARE(w->font().italic(), info.font.italic);
        }
    }

    // Start-up hides the panels and the program lists, shows the default settings, and gives
    // the command line the focus; Tab goes on to the command list.
    void startUpShowsTheDefaultsAndFocusesTheCommandLine() {
        Form1& window = program_->window();
        for (Control c : {Control::fraSetup, Control::fraListCmd, Control::fraProgram, Control::cboFile0,
                          Control::cboFile1})
            QVERIFY2(!window.visible(c), ControlName(c));
        for (const auto& [c, text] : {std::pair{Control::cboPort, "Com1"},
                                      {Control::cboBaud, "9600"},
                                      {Control::cboProtocol, "DT"},
                                      {Control::cboAddress, "1"},
                                      {Control::cboDevice, "None"}})
            QCOMPARE(window.text(c), text);
        QCOMPARE(window.listIndex(Control::cboDevice), -1);
        QCOMPARE(window.itemCount(Control::cboAddress), 27);
        QVERIFY(QFile::exists(folder_.filePath("programs.txt")));
        QCOMPARE(QApplication::focusWidget(), window.widget(Control::text1));
        QCOMPARE(QApplication::focusWidget()->nextInFocusChain()->objectName(), QString("lstCmd"));
    }

    void valuesSetByTheModuleRaiseNoChangeHandler() {
        Form1& window = program_->window();
        auto* bar = qobject_cast<QScrollBar*>(window.widget(Control::scrReply));
        QSignalSpy changes(bar, &QScrollBar::valueChanged);
        window.setMaximum(Control::scrReply, 5);
        window.setValue(Control::scrReply, 3);
        window.setMaximum(Control::scrReply, 1);
        QCOMPARE(window.value(Control::scrReply), 1);
        QCOMPARE(changes.count(), 0);
        window.setValue(Control::scrReply, 0);
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(changes.count(), 1);
    }

    // Bytes cross as Latin-1 and are shown as plain text; typing a port name is no selection.
    void fieldsShowTheirBytesAsText() {
        Form1& window = program_->window();
        const std::string data = "<b>0</b> \xB5L & \xFF";
        window.setText(Control::lblReply, data);
        QCOMPARE(window.text(Control::lblReply), data);
        window.setText(Control::text1, data);
        QCOMPARE(program_->module().CmdString, data);
        QCOMPARE(window.listIndex(Control::cboPort), 0);
        qobject_cast<QComboBox*>(window.widget(Control::cboPort))->setEditText("COM7");
        QCOMPARE(window.listIndex(Control::cboPort), -1);
    }

    void setupPanelIsDrawnAboveTheFrames() {
        Form1& window = program_->window();
        QTest::mouseClick(qobject_cast<QAbstractButton*>(window.widget(Control::cmdSetup)), Qt::LeftButton);
        QVERIFY(window.visible(Control::fraSetup));
        QVERIFY(!window.enabled(Control::cmdXmit));
        QWidget* top = window.childAt(QPoint(400, 210));
        while (top && top->parentWidget() != &window) top = top->parentWidget();
        QVERIFY(top);
        QCOMPARE(top->objectName(), QString("fraSetup"));
    }

private:
    QTemporaryDir folder_;
    std::unique_ptr<Program> program_;
};

ZR_TEST(WindowTest);
#include "test_window.moc"
