#include "fakes/run_tests.h"
#include "test_numbers.h"
#include "test_text_lines.h"

int main(int argc, char* argv[]) {
    return zr::test::RunTests<NumbersTest, TextLinesTest>(argc, argv);
}
