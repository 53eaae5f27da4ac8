#pragma once

#include <functional>

#include "shared/module.h"

namespace zr {

class Form1;

// A handler of the module, and how a signal's handler is run: the program runs it on its
// module; a test may only note which one was asked for.
using Handler = void (*)(Module&);
using RunHandler = std::function<void(Handler)>;

// Connects every control's signal to its handler, run through `run`.
void WireHandlers(Form1& window, const RunHandler& run);
// The same, each handler run on `m`.
void WireHandlers(Form1& window, Module& m);

}  // namespace zr
