int RunCommandListTest(int argc, char* argv[]);
int RunComposerTest(int argc, char* argv[]);
int RunListFilesTest(int argc, char* argv[]);

int main(int argc, char* argv[]) {
    int status = 0;
    status |= RunCommandListTest(argc, argv);
    status |= RunComposerTest(argc, argv);
    status |= RunListFilesTest(argc, argv);
    return status;
}
