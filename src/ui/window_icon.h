#pragma once

#include <QIcon>

namespace zr {

// The program's icon, a syringe on a blue tile (the drawing of packaging/zadu-rovu.svg),
// painted here so that no image plugin is needed.
QIcon WindowIcon();

}  // namespace zr
