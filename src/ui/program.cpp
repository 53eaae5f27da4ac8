#include "ui/program.h"

#include <QComboBox>
#include <QFont>

#include "link/send_stop.h"
#include "ui/port_tips.h"
#include "ui/wiring.h"
#include "window/start_up.h"

namespace zr {

void SubstituteMissingFonts() {
    // Liberation Sans has Arial's metrics; it stands in where Arial is not installed.
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
}

Program::Program(const QString& folder)
    : folders_(PrepareDataFolders(folder.toStdString())),
      port_(QString::fromStdString(folders_.data)),
      timer_([this] { Timer2_Timer(module_); }),
      dialogs_(QStringLiteral("Zadu Rovu")),
      files_(folders_.data, folders_.lists),
      programFile_(files_, dialogs_, files_.pathOf(ProgramsFile), folders_.earlierPrograms),
      module_(port_, timer_, clock_, events_, dialogs_, window_, programFile_) {
    dialogs_.setParent(&window_);
    WireHandlers(window_, module_);
    auto* portBox = qobject_cast<QComboBox*>(window_.widget(Control::cboPort));
    KeepPortTipsFresh(portBox, [this](int number) { return port_.describe(static_cast<int16_t>(number)); });
    // Picking a port in Setup takes it as it stands now, even where its link or adapter has gone.
    QObject::connect(portBox, &QComboBox::activated, &window_,
                     [this](int index) { port_.choosePort(static_cast<int16_t>(index + 1)); });
    Form_Load(module_);
}

}  // namespace zr
