#include "ui/form1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include "ui/plain_tool_tips.h"
#include "ui/window_icon.h"
#include "window/control_table.h"

namespace zr {

namespace {

constexpr int kTwipsPerPixel = 15;

QString Latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
std::string Bytes(const QString& text) {
    return text.toLatin1().toStdString();
}
int Pixels(int twips) {
    return twips / kTwipsPerPixel;
}

// A label keeps the bytes it was given under this property, and shows them with every
// control character as its symbol of the Control Pictures block (NUL as U+2400, DEL as
// U+2421), so that nothing of the data is drawn as an empty box or cuts the accessible text.
constexpr const char* kBytesProperty = "zrBytes";

QString Visible(const std::string& bytes) {
    QString shown = Latin1(bytes);
    for (QChar& c : shown) {
        if (c.unicode() < 0x20)
            c = QChar(0x2400 + c.unicode());
        else if (c.unicode() == 0x7F)
            c = QChar(0x2421);
    }
    return shown;
}

void SetLabelText(QLabel* label, const std::string& bytes) {
    label->setProperty(kBytesProperty, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    label->setText(Visible(bytes));
}

std::string LabelText(const QLabel* label) {
    const QVariant bytes = label->property(kBytesProperty);
    return bytes.isValid() ? bytes.toByteArray().toStdString() : Bytes(label->text());
}

// Output fields look like displays, not like the white command line: sunken, on grey.
void MakeDisplay(QLabel* label) {
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(1);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Window).darker(108));
    label->setPalette(palette);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setTextFormat(Qt::PlainText);
}

QWidget* Create(const ControlInfo& info, QWidget* parent) {
    const QString caption = QString::fromLatin1(info.caption);
    switch (info.kind) {
        case ControlKind::Frame: {
            auto* frame = new QGroupBox(caption, parent);
            frame->setAutoFillBackground(true);  // a shown panel hides what lies under it
            return frame;
        }
        case ControlKind::Button:
            return new QPushButton(caption, parent);
        case ControlKind::Label: {
            auto* label = new QLabel(caption, parent);
            label->setTextFormat(Qt::PlainText);
            return label;
        }
        case ControlKind::DisplayLabel: {
            auto* label = new QLabel(caption, parent);
            MakeDisplay(label);
            return label;
        }
        case ControlKind::TextBox:
            return new QLineEdit(parent);
        case ControlKind::ListBox:
            return new QListWidget(parent);
        case ControlKind::ComboEditable:
        case ControlKind::ComboList: {
            auto* combo = new QComboBox(parent);
            combo->setEditable(info.kind == ControlKind::ComboEditable);
            combo->setInsertPolicy(QComboBox::NoInsert);
            return combo;
        }
        case ControlKind::ScrollBar:
            return new QScrollBar(Qt::Horizontal, parent);
        case ControlKind::CheckBox:
            return new QCheckBox(parent);
    }
    return new QWidget(parent);
}

}  // namespace

Form1::Form1() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Zadu Rovu"));
    setWindowIcon(WindowIcon());
    setFixedSize(Pixels(kClientWidthTwips), Pixels(kClientHeightTwips));
    build();
    drawWithinRectangles();
    orderTabs();
}

// Every control keeps its rectangle; these choices only make what is drawn inside it legible.
void Form1::drawWithinRectangles() {
    // A frame's title sits inside its top margin, above the first row of its children, and the
    // border runs along the frame's edge instead of through the children under the title.
    setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 0px; padding: 0px;"
        " background-color: palette(window); }"
        "QGroupBox::title { subcontrol-origin: border; subcontrol-position: top left; left: 6px; top: -1px;"
        " padding: 0px 2px; }"
        "QCheckBox::indicator { width: 17px; height: 17px; }"
        "QCheckBox { spacing: 0px; }"));
    // The syringe field overlaps the Show Position button: it lies above it, transparent and
    // right-aligned, in a narrower cut of its font, so that its text stays right of the caption.
    auto* syringe = qobject_cast<QLabel*>(widget(Control::lblSyringe));
    syringe->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    syringe->raise();
    for (Control c : {Control::lblSyringe, Control::lblAuto}) {
        QFont narrow = widget(c)->font();
        narrow.setStretch(QFont::Condensed);
        widget(c)->setFont(narrow);
    }
    qobject_cast<QLabel*>(widget(Control::lblAuto))->setAlignment(Qt::AlignCenter);
    // Send, Stop and the panels' buttons keep the focus where it was (the command line) when
    // they are clicked; Tab still reaches them.
    for (const ControlInfo& info : ControlTable())
        if (info.kind == ControlKind::Button) widget(info.control)->setFocusPolicy(Qt::TabFocus);
}

void Form1::build() {
    for (const ControlInfo& info : ControlTable()) {
        QWidget* parent = info.inWindow ? this : widget(info.container);
        QWidget* w = Create(info, parent);
        w->setObjectName(QString::fromLatin1(ControlName(info.control)));
        w->setGeometry(Pixels(info.left), Pixels(info.top), Pixels(info.width), Pixels(info.height));
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(info.font.points);
        font.setBold(info.font.bold);
        font.setItalic(info.font.italic);
        w->setFont(font);
        widgets_[static_cast<std::size_t>(info.control)] = w;
        ShowToolTipsAsPlainText(w);
        for (const std::string& item : FixedItems(info.control)) addItem(info.control, item);
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
            combo->setCurrentIndex(-1);
            if (combo->isEditable()) combo->setEditText(QString::fromLatin1(info.caption));
        }
    }
}

// The command line, its buttons left to right, the address, the strip below the command frame,
// then each panel's controls in reading order (hidden and disabled ones are passed over).
void Form1::orderTabs() {
    using C = Control;
    constexpr Control order[] = {
        C::text1,          C::cmdXmit,    C::cmdStop,     C::cmdParse,     C::cmdUnparse, C::cmdProgram,
        C::cmdSetup,       C::cboAddress, C::cmdPosition, C::chkReport,    C::cmdListCmd, C::cboDevice,
        C::cboProtocol,    C::cboPort,    C::cboBaud,     C::cmdExitSetup, C::cmdAddCmd,  C::cmdInsert,
        C::cmdExitCmdList, C::lstCmd,     C::cmdSave,     C::cmdRecall,    C::cmdDel,     C::cmdExitProgram,
        C::cboFile1,       C::cboFile0,   C::cmdEdit,
    };
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(widget(order[i - 1]), widget(order[i]));
    widget(Control::text1)->setFocus();
}

std::string Form1::text(Control c) const {
    QWidget* w = widget(c);
    if (auto* x = qobject_cast<QLineEdit*>(w)) return Bytes(x->text());
    if (auto* x = qobject_cast<QLabel*>(w)) return LabelText(x);
    if (auto* x = qobject_cast<QPushButton*>(w)) return Bytes(x->text());
    if (auto* x = qobject_cast<QGroupBox*>(w)) return Bytes(x->title());
    if (auto* x = qobject_cast<QComboBox*>(w)) return Bytes(x->currentText());
    if (auto* x = qobject_cast<QListWidget*>(w))
        return x->currentItem() ? Bytes(x->currentItem()->text()) : std::string();
    return {};
}

void Form1::setText(Control c, const std::string& text) {
    QWidget* w = widget(c);
    const QString t = Latin1(text);
    if (auto* x = qobject_cast<QLineEdit*>(w)) {
        const bool same = x->text() == t;
        x->setText(t);
        if (same) emit x->textChanged(t);  // the change handler runs even when the text stays
    } else if (auto* x = qobject_cast<QLabel*>(w))
        SetLabelText(x, text);
    else if (auto* x = qobject_cast<QPushButton*>(w))
        x->setText(t);
    else if (auto* x = qobject_cast<QGroupBox*>(w))
        x->setTitle(t);
    else if (auto* x = qobject_cast<QComboBox*>(w)) {
        if (x->isEditable())
            x->setEditText(t);
        else
            x->setCurrentIndex(x->findText(t));
    }
}

bool Form1::enabled(Control c) const {
    return widget(c)->isEnabled();
}
void Form1::setEnabled(Control c, bool on) {
    widget(c)->setEnabled(on);
}
bool Form1::visible(Control c) const {
    return !widget(c)->isHidden();
}

void Form1::setToolTip(Control c, const std::string& text) {
    widget(c)->setToolTip(Latin1(text));
    widget(c)->setAccessibleDescription(Latin1(text));
}

void Form1::setVisible(Control c, bool on) {
    widget(c)->setVisible(on);
    if (on) widget(c)->raise();  // a panel is drawn above the fixed frames
}

int Form1::listIndex(Control c) const {
    QWidget* w = widget(c);
    if (auto* x = qobject_cast<QListWidget*>(w)) return x->currentRow();
    if (auto* x = qobject_cast<QComboBox*>(w)) {
        const int index = x->currentIndex();
        // Text typed into an editable box is no selection, even where a selection was before.
        if (x->isEditable() && (index < 0 || x->currentText() != x->itemText(index))) return -1;
        return index;
    }
    return -1;
}

void Form1::setListIndex(Control c, int index) {
    QWidget* w = widget(c);
    if (auto* x = qobject_cast<QListWidget*>(w))
        x->setCurrentRow(index);
    else if (auto* x = qobject_cast<QComboBox*>(w))
        x->setCurrentIndex(index);
}

void Form1::clearItems(Control c) {
    QWidget* w = widget(c);
    if (auto* x = qobject_cast<QListWidget*>(w))
        x->clear();
    else if (auto* x = qobject_cast<QComboBox*>(w)) {
        const QString typed = x->isEditable() ? x->currentText() : QString();
        x->clear();
        if (x->isEditable()) x->setEditText(typed);
    }
}

void Form1::addItem(Control c, const std::string& item) {
    QWidget* w = widget(c);
    if (auto* x = qobject_cast<QListWidget*>(w))
        x->addItem(Latin1(item));
    else if (auto* x = qobject_cast<QComboBox*>(w)) {
        const QString typed = x->currentText();
        const bool keepTyped = x->isEditable() && x->count() == 0;
        x->addItem(Latin1(item));
        if (keepTyped) {
            // Adding the first item would select it; the box keeps what it showed instead.
            x->setCurrentIndex(-1);
            x->setEditText(typed);
        }
    }
}

int Form1::itemCount(Control c) const {
    QWidget* w = widget(c);
    if (auto* x = qobject_cast<QListWidget*>(w)) return x->count();
    if (auto* x = qobject_cast<QComboBox*>(w)) return x->count();
    return 0;
}

std::string Form1::item(Control c, int index) const {
    QWidget* w = widget(c);
    if (auto* x = qobject_cast<QListWidget*>(w))
        return x->item(index) ? Bytes(x->item(index)->text()) : std::string();
    if (auto* x = qobject_cast<QComboBox*>(w)) return Bytes(x->itemText(index));
    return {};
}

int Form1::value(Control c) const {
    QWidget* w = widget(c);
    if (auto* x = qobject_cast<QCheckBox*>(w))
        return x->checkState() == Qt::Checked ? 1 : x->checkState() == Qt::PartiallyChecked ? 2 : 0;
    if (auto* x = qobject_cast<QScrollBar*>(w)) return x->value();
    return 0;
}

void Form1::setValue(Control c, int value) {
    QWidget* w = widget(c);
    if (auto* x = qobject_cast<QCheckBox*>(w))
        x->setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
    else if (auto* x = qobject_cast<QScrollBar*>(w)) {
        const QSignalBlocker quiet(x);  // only the operator's moves raise the change handler
        x->setValue(value);
    }
}

int Form1::maximum(Control c) const {
    auto* x = qobject_cast<QScrollBar*>(widget(c));
    return x ? x->maximum() : 0;
}

void Form1::setMaximum(Control c, int maximum) {
    if (auto* x = qobject_cast<QScrollBar*>(widget(c))) {
        const QSignalBlocker quiet(x);  // a value clamped to the new maximum raises no handler
        x->setMaximum(maximum);
    }
}

int Form1::caretPosition(Control c) const {
    auto* x = qobject_cast<QLineEdit*>(widget(c));
    if (!x) return 0;
    return x->hasSelectedText() ? x->selectionStart() : x->cursorPosition();
}

int Form1::top(Control c) const {
    return widget(c)->y() * kTwipsPerPixel;
}

void Form1::setTop(Control c, int twips) {
    QWidget* w = widget(c);
    w->move(w->x(), Pixels(twips));
}

}  // namespace zr
