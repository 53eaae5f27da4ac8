#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

#include "cli/options.h"
#include "cli/session.h"
#include "cli/version.h"

int main(int argc, char* argv[]) {
    using namespace zr::cli;
    QCoreApplication app(argc, argv);
    const std::string program = QFileInfo(QString::fromLocal8Bit(argv[0])).fileName().toStdString();
    const Parsed parsed = ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "%s: %s\n\n%s", program.c_str(), parsed.error.c_str(), Usage(program).c_str());
        return kUsageError;
    }
    const Options& o = parsed.options;
    switch (o.action) {
        case Options::Action::Help:
            std::fputs(Usage(program).c_str(), stdout);
            return kDone;
        case Options::Action::Version:
            std::printf("%s %s\n", program.c_str(), ZR_VERSION);
            return kDone;
        default:
            break;
    }
    Session session(QCoreApplication::applicationDirPath(), o);
    switch (o.action) {
        case Options::Action::Send:
            return session.send(o.commands, o.json);
        case Options::Action::Check:
            return session.check(o.commands);
        default:
            return session.position(o.watch);
    }
}
