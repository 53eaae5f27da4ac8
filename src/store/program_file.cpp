#include "store/program_file.h"

namespace zr {

void ExtractProgramName(Module&) {}
void LoadProgramNames(Module&) {}
void RetrieveProgram(Module&) {}
void StoreProgram(Module&) {}
void CheckProgramEntry(Module&) {}

}  // namespace zr
