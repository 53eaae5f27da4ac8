#pragma once

#include <QWidget>
#include <array>

#include "shared/form.h"

namespace zr {

// The main window: builds every control of the control table, gives the module's procedures
// the Form seam over them, and connects each control's signal to its handler.
class Form1 : public QWidget, public Form {
    Q_OBJECT
public:
    Form1();

    QWidget* widget(Control control) const { return widgets_[static_cast<std::size_t>(control)]; }

    std::string text(Control control) const override;
    void setText(Control control, const std::string& text) override;
    bool enabled(Control control) const override;
    void setEnabled(Control control, bool on) override;
    bool visible(Control control) const override;
    void setVisible(Control control, bool on) override;
    using QWidget::setVisible;  // showing and hiding the window itself
    void setToolTip(Control control, const std::string& text) override;
    using QWidget::setToolTip;
    int listIndex(Control control) const override;
    void setListIndex(Control control, int index) override;
    void clearItems(Control control) override;
    void addItem(Control control, const std::string& item) override;
    int itemCount(Control control) const override;
    std::string item(Control control, int index) const override;
    int value(Control control) const override;
    void setValue(Control control, int value) override;
    int maximum(Control control) const override;
    void setMaximum(Control control, int maximum) override;
    int caretPosition(Control control) const override;
    int top(Control control) const override;
    void setTop(Control control, int twips) override;

private:
    void build();
    void drawWithinRectangles();
    void orderTabs();

    std::array<QWidget*, ControlCount> widgets_{};
};

}  // namespace zr
