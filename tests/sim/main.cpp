#include "fakes/run_tests.h"
#include "test_frames.h"
#include "test_line.h"
#include "test_pump.h"

int main(int argc, char* argv[]) {
    return zr::test::RunTests<FramesTest, PumpTest, LineTest>(argc, argv);
}
