#pragma once

#include <QString>

#include "shared/dialogs.h"

class QWidget;

namespace zr {

// Modal message and input boxes over the window. A box without a title of its own shows the
// program's name.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QString programName) : programName_(std::move(programName)) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void messageBox(const std::string& text, MessageIcon icon, const std::string& title) override;
    std::string inputBox(const std::string& prompt, const std::string& title) override;

private:
    QString titleFor(const std::string& title) const;

    QString programName_;
    QWidget* parent_ = nullptr;
};

}  // namespace zr
