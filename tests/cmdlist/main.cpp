int RunCommandListTest(int argc, char* argv[]);
int RunComposerTest(int argc, char* argv[]);

int main(int argc, char* argv[]) {
    int status = 0;
    status |= RunCommandListTest(argc, argv);
    status |= RunComposerTest(argc, argv);
    return status;
}
