#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "fakes/test_registry.h"
#include "ui/program.h"
#include "window/control_table.h"

using namespace zr;

namespace {

QString Caption(QWidget* w) {
    if (auto* x = qobject_cast<QGroupBox*>(w)) return x->title();
    if (auto* x = qobject_cast<QAbstractButton*>(w)) return x->text();
    if (auto* x = qobject_cast<QLabel*>(w)) return x->text();
    if (auto* x = qobject_cast<QComboBox*>(w)) return x->currentText();
    if (auto* x = qobject_cast<QLineEdit*>(w)) return x->text();
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

    void startUpShowsNoPanelAndTheDefaults() {
        Form1& window = program_->window();
        for (Control c : {Control::fraSetup, Control::fraListCmd, Control::fraProgram})
            QVERIFY(!window.visible(c));
        for (const auto& [c, text] : {std::pair{Control::cboPort, "Com1"},
                                      {Control::cboBaud, "9600"},
                                      {Control::cboProtocol, "DT"},
                                      {Control::cboAddress, "1"},
                                      {Control::cboDevice, "None"}})
            QCOMPARE(window.text(c), text);
        QCOMPARE(window.listIndex(Control::cboDevice), -1);
        QCOMPARE(window.itemCount(Control::cboAddress), 27);
        QVERIFY(QFile::exists(folder_.filePath("programs.txt")));
    }

    void commandLineHasTheFocusAndTabGoesToTheList() {
        QWidget* text1 = program_->window().widget(Control::text1);
        QCOMPARE(QApplication::focusWidget(), text1);
        QCOMPARE(text1->nextInFocusChain()->objectName(), QString("lstCmd"));
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
