#include "fakes/run_tests.h"
#include "test_disk_files.h"
#include "test_program_file.h"
#include "test_program_panel.h"

int main(int argc, char* argv[]) {
    return zr::test::RunTests<ProgramFileTest, ProgramPanelTest, DiskFilesTest>(argc, argv);
}
