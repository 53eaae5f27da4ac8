#include <QtTest>

#include "test_disk_files.h"
#include "test_program_file.h"
#include "test_program_panel.h"

int main(int argc, char* argv[]) {
    int status = 0;
    {
        ProgramFileTest t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        ProgramPanelTest t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        DiskFilesTest t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}
