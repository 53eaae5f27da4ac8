#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <filesystem>
#include <map>

#include "../e2e_window/modal_boxes.h"
#include "cmdlang/parse_display.h"
#include "cmdlist/command_list.h"
#include "cmdlist/composer.h"
#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "link/link_summary.h"
#include "link/position_display.h"
#include "link/send_stop.h"
#include "reply/interpret_reply.h"
#include "store/program_panel.h"
#include "ui/form1.h"
#include "ui/program.h"
#include "ui/qt_dialogs.h"
#include "ui/wiring.h"
#include "window/control_table.h"
#include "window/panels.h"
#include "window/start_up.h"

using namespace zr;

namespace {

// The tooltip the widget shows with the pointer at `at`, as drawn.
QString DrawnToolTip(QWidget* widget, QPoint at) {
    QToolTip::hideText();
    QHelpEvent help(QEvent::ToolTip, at, widget->mapToGlobal(at));
    QApplication::sendEvent(widget, &help);
    for (QWidget* shown : QApplication::topLevelWidgets())
        if (shown->objectName() == "qtooltip_label" && shown->isVisible())
            return Drawn(qobject_cast<QLabel*>(shown));
    return "(no tooltip)";
}

// The module's control handlers by name, written apart from the window's own binding table.
#define ZR_NAMED(handler) \
    { #handler, handler }
const std::map<QByteArray, Handler> kHandlers = {
    ZR_NAMED(cmdXmit_Click),      ZR_NAMED(cmdStop_Click),        ZR_NAMED(cmdParse_Click),
    ZR_NAMED(cmdUnparse_Click),   ZR_NAMED(cmdProgram_Click),     ZR_NAMED(cmdSetup_Click),
    ZR_NAMED(cmdExitSetup_Click), ZR_NAMED(cmdListCmd_Click),     ZR_NAMED(cmdExitCmdList_Click),
    ZR_NAMED(cmdAddCmd_Click),    ZR_NAMED(cmdInsert_Click),      ZR_NAMED(cmdEdit_Click),
    ZR_NAMED(cmdPosition_Click),  ZR_NAMED(cmdSave_Click),        ZR_NAMED(cmdRecall_Click),
    ZR_NAMED(cmdDel_Click),       ZR_NAMED(cmdExitProgram_Click), ZR_NAMED(cboDevice_Click),
    ZR_NAMED(cboAddress_Click),   ZR_NAMED(cboBaud_Click),        ZR_NAMED(cboProtocol_Click),
    ZR_NAMED(cboFile0_Click),     ZR_NAMED(cboFile1_Click),       ZR_NAMED(scrReply_Change),
    ZR_NAMED(scrParse_Change),    ZR_NAMED(text1_Change)};
#undef ZR_NAMED

// Does to the real widget what the operator does: a click, an item picked with the arrow key,
// the bar moved a step by its arrow, a letter typed, a key pressed where the focus is (with a
// button disabled first where the action names it: "... with cmdXmit disabled").
void Operate(QWidget* w, const QByteArray& action) {
    if (action == "click") QTest::mouseClick(w, Qt::LeftButton);
    if (action == "pick") {
        auto* combo = qobject_cast<QComboBox*>(w);
        if (combo->count() == 0) combo->addItems({"first", "second"});
        QTest::keyClick(combo, Qt::Key_Down);
    }
    if (action == "scroll") {
        qobject_cast<QScrollBar*>(w)->setMaximum(10);
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(w->width() - 4, w->height() / 2));  // its right arrow
    }
    if (action == "type") QTest::keyClick(w, Qt::Key_W);
    if (action.startsWith("press ")) {
        if (const qsizetype with = action.indexOf(" with "); with >= 0)
            w->window()->findChild<QWidget*>(action.mid(with + 6).chopped(9))->setEnabled(false);
        w->setFocus();
        const Qt::Key key = action.contains("Escape")   ? Qt::Key_Escape
                            : action.contains("keypad") ? Qt::Key_Enter
                                                        : Qt::Key_Return;
        QTest::keyClick(QApplication::focusWidget(), key,
                        key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    }
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

    // Rectangles come from a table typed apart from the one the window is built from.
    void everyControlStandsInItsRectangle_data() { test::AddTableRows(QFINDTESTDATA("rectangles.txt")); }
    void everyControlStandsInItsRectangle() {
        QFETCH(QByteArrayList, row);
        Form1& window = program_->window();
        QCOMPARE(window.size(), QSize(9405 / 15, 5910 / 15));
        QCOMPARE(
            window.findChildren<QWidget*>(QRegularExpression("^(fra|lst|cmd|cbo|lbl|chk|scr|text)")).size(),
            ControlCount);
        auto* w = window.findChild<QWidget*>(row[0]);
        QVERIFY2(w, row[0]);
        QCOMPARE(w->parentWidget()->objectName(), QString(row[1]));
        QCOMPARE(w->geometry(),
                 QRect(row[2].toInt() / 15, row[3].toInt() / 15, row[4].toInt() / 15, row[5].toInt() / 15));
    }

    // Start-up hides the panels and the program lists, shows the default settings, and gives
    // the command line the focus; Tab goes on to the command list.
    void startUpShowsTheDefaultsAndFocusesTheCommandLine() {
        Form1& window = program_->window();
        QCOMPARE(window.windowTitle(), QString("Zadu Rovu"));
        QVERIFY(!window.windowIcon().isNull());
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
        // A screen reader learns what each port stands for without the list being opened.
        auto* port = qobject_cast<QComboBox*>(window.widget(Control::cboPort));
        for (int i = 0; i < 4; ++i)
            QTRY_VERIFY(port->itemData(i, Qt::AccessibleDescriptionRole)
                            .toString()
                            .startsWith(port->itemText(i) + ": "));
        QVERIFY(!port->view()->isVisible());
    }

    // Tab runs along the command line's buttons, the address and the strip below, then into an
    // open panel; a click on Send leaves the focus in the command line.
    void tabRunsAlongTheCommandLineThenIntoAnOpenPanel() {
        Form1& window = program_->window();
        const QStringList main = {"text1",       "cmdXmit",    "cmdStop",   "cmdParse",
                                  "cmdUnparse",  "cmdProgram", "cmdSetup",  "cboAddress",
                                  "cmdPosition", "chkReport",  "cmdListCmd"};
        QStringList seen;
        for (int i = 0; i <= main.size(); ++i) {
            seen << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(seen, main + QStringList{"cmdEdit"});
        window.widget(Control::text1)->setFocus();
        QTest::mouseClick(window.widget(Control::cmdSetup), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), window.widget(Control::text1));
        seen.clear();
        for (int i = 0; i < 11; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            seen << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(seen.join(' '),
                 "cmdStop cboAddress cmdPosition chkReport cmdListCmd cboDevice cboProtocol cboPort "
                 "cboBaud cmdExitSetup cmdEdit");
    }

    void displaysAreDrawnReadOnlyAndTheirBoxIsFull() {
        Form1& window = program_->window();
        const QColor typing = window.widget(Control::text1)->palette().color(QPalette::Base);
        for (Control c : {Control::lblParse, Control::lblReply, Control::lblStatus, Control::lblStatCode,
                          Control::lblReplyCode}) {
            const QImage drawn = window.widget(c)->grab().toImage();
            QVERIFY2(drawn.pixelColor(drawn.width() / 2, drawn.height() / 2) != typing, ControlName(c));
            QCOMPARE(qobject_cast<QFrame*>(window.widget(c))->frameShadow(), QFrame::Sunken);
        }
        auto* box = qobject_cast<QCheckBox*>(window.widget(Control::chkReport));
        QStyleOptionButton option;
        option.initFrom(box);
        QCOMPARE(box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box).size(),
                 QSize(17, 17));
        for (Control c : {Control::lblAuto, Control::lblSyringe}) {
            auto* label = qobject_cast<QLabel*>(window.widget(c));
            label->setText(c == Control::lblAuto ? "Auto" : "syringe = 48000");
            QVERIFY2(QFontMetrics(label->font()).horizontalAdvance(label->text()) <= label->width(),
                     ControlName(c));
        }
    }

    // Each frame's title is drawn in its top margin: no child crosses it or the frame's border.
    void noChildCrossesAFramesTitleOrBorder() {
        Form1& window = program_->window();
        for (auto* frame : window.findChildren<QGroupBox*>()) {
            QStyleOptionGroupBox option;
            option.initFrom(frame);
            option.text = frame->title();
            option.lineWidth = 1;
            option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
            option.textAlignment = frame->alignment();
            const QRect title =
                frame->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, frame);
            QVERIFY2(title.width() >= QFontMetrics(frame->font()).horizontalAdvance(frame->title()),
                     qPrintable(frame->title()));
            for (auto* child : frame->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
                const QString what = frame->title() + " / " + child->objectName();
                QVERIFY2(!child->geometry().intersects(title), qPrintable(what));
                QVERIFY2(frame->rect().adjusted(1, 1, -1, -1).contains(child->geometry()), qPrintable(what));
            }
        }
    }

    // Every shipped command list reads in the list box without scrolling sideways.
    void everyCommandListEntryFitsTheList() {
        Form1& window = program_->window();
        auto* list = qobject_cast<QListWidget*>(window.widget(Control::lstCmd));
        const int room =
            list->width() - 2 * list->frameWidth() - list->verticalScrollBar()->sizeHint().width() - 8;
        QStringList tooWide;
        for (const char* file :
             {"Alder.txt", "Birch.txt", "BirchA.txt", "BirchB.txt", "Cedar.txt", "d3_12k.txt"}) {
            QFile lines(qEnvironmentVariable("ZR_PROGRAM_DIR") + "/" + file);
            QVERIFY(lines.open(QIODevice::ReadOnly));
            for (const QByteArray& line : lines.readAll().split('\n')) {
                const QString shown = QString::fromLatin1(line.left(40)).trimmed();
                if (QFontMetrics(list->font()).horizontalAdvance(shown) > room)
                    tooWide << file + (": " + shown);
            }
        }
        QVERIFY2(tooWide.isEmpty(), qPrintable(tooWide.join('\n')));
    }

    // Parse puts the bar's range at the new form's length at once, even when the bar was moved
    // before any form was shown, and the form is shown whole until the bar moves.
    void parseSetsTheBarsRange() {
        Form1& window = program_->window();
        auto* bar = qobject_cast<QScrollBar*>(window.widget(Control::scrParse));
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(bar->maximum(), 0);
        window.setText(Control::text1, "A100R");
        QTest::mouseClick(window.widget(Control::cmdParse), Qt::LeftButton);
        QCOMPARE(bar->maximum(), 11);
        QCOMPARE(window.text(Control::lblParse), "A100   R   ");
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(window.text(Control::lblParse), "100   R   ");
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

    // Bytes cross as Latin-1 and are shown as plain text, a control character as its symbol
    // (read back as the byte it is); typing a port name is no selection.
    void fieldsShowTheirBytesAsText() {
        Form1& window = program_->window();
        const std::string data("<b>0</b> \xB5L & \xFF\0\r\x7f", 18);
        window.setText(Control::lblReply, data);
        QCOMPARE(window.text(Control::lblReply), data);
        auto* label = qobject_cast<QLabel*>(window.widget(Control::lblReply));
        QCOMPARE(label->text(), QString::fromUtf8("<b>0</b> \u00B5L & \u00FF\u2400\u240D\u2421"));
        QCOMPARE(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name), label->text());
        window.setText(Control::text1, data);
        QCOMPARE(program_->module().CmdString, data);
        QCOMPARE(window.listIndex(Control::cboPort), 0);
        qobject_cast<QComboBox*>(window.widget(Control::cboPort))->setEditText("COM7");
        QCOMPARE(window.listIndex(Control::cboPort), -1);
    }

    // Text from outside (typed, from a file, from a device) is drawn as its characters wherever
    // it shows: labels, tooltips, the port list's tooltips, message boxes and input boxes.
    void textFromOutsideIsDrawnAsItIs_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("bold") << "<b>Com9</b>";
        QTest::newRow("image") << "<img src=\"x.png\">";
    }
    void textFromOutsideIsDrawnAsItIs() {
        QFETCH(QString, text);
        Form1& window = program_->window();
        for (const ControlInfo& info : ControlTable())
            if (auto* label = qobject_cast<QLabel*>(window.widget(info.control))) {
                window.setText(info.control, text.toStdString());
                QCOMPARE(Drawn(label), text);
            }
        QTest::mouseClick(window.widget(Control::cmdSetup), Qt::LeftButton);
        auto* port = qobject_cast<QComboBox*>(window.widget(Control::cboPort));
        QFile::remove(folder_.filePath("COM2"));
        std::filesystem::create_symlink(("/dev/" + text).toStdString(),
                                        folder_.filePath("COM2").toStdString());
        port->showPopup();
        QWidget* list = port->view()->viewport();
        QCOMPARE(DrawnToolTip(list, port->view()->visualRect(port->model()->index(1, 0)).center()),
                 "Com2: " + folder_.filePath("COM2") + " -> /dev/" + text + "\nmissing");
        QCOMPARE(port->itemData(1, Qt::AccessibleDescriptionRole), port->itemData(1, Qt::ToolTipRole));
        port->hidePopup();
        QTest::keyClick(port, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(port, text);
        QTest::mouseClick(window.widget(Control::cmdExitSetup), Qt::LeftButton);
        QVERIFY2(DrawnToolTip(window.widget(Control::cmdXmit), {5, 5})
                     .contains("no port: \"" + text + "\" is not"),
                 qPrintable(DrawnToolTip(window.widget(Control::cmdXmit), {5, 5})));
        ModalBoxes boxes;
        QTest::mouseClick(window.widget(Control::cmdXmit), Qt::LeftButton);
        QtDialogs("Zadu Rovu").inputBox(text.toStdString(), "Argument");
        QCOMPARE(boxes.seen,
                 (QStringList{"Comm Error: \"" + text +
                                  "\" is not a port: choose Com1 to Com4, or link the device as COM1 in " +
                                  folder_.path(),
                              "Argument: " + text}));
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

// Each control's event reaches its own handler, and no other, through the window's wiring.
class WiringTest : public QObject {
    Q_OBJECT
private slots:
    void everyEventReachesItsHandler_data() { test::AddTableRows(QFINDTESTDATA("handlers.txt")); }
    void everyEventReachesItsHandler() {
        QFETCH(QByteArrayList, row);
        Form1 window;
        std::vector<Handler> ran;
        WireHandlers(window, [&ran](Handler h) {
            if (h != ShowLinkSummary) ran.push_back(h);  // the settings tooltip follows link choices too
        });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QWidget* w = window.findChild<QWidget*>(row[0]);
        QVERIFY2(w, row[0]);
        QVERIFY(row[2].isEmpty() || kHandlers.count(row[2]));
        Operate(w, row[1]);
        QCOMPARE(ran, row[2].isEmpty() ? std::vector<Handler>() : std::vector<Handler>{kHandlers.at(row[2])});
    }
};

ZR_TEST(WiringTest);
#include "test_window.moc"
