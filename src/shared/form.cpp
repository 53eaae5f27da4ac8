#include "shared/form.h"

namespace zr {

const char* ControlName(Control control) {
    switch (control) {
#define ZR_CONTROL_NAME(name) \
    case Control::name:       \
        return #name;
        ZR_CONTROLS(ZR_CONTROL_NAME)
#undef ZR_CONTROL_NAME
    }
    return "";
}

}  // namespace zr
