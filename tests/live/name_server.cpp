#include "live/name_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDir>
#include <cerrno>
#include <cstring>
#include <string>

namespace {

constexpr char kAddress[] = "127.83.0.1";
constexpr std::size_t kHeader = 12;  // ID, flags and the four counts

// The answer to a query saying that its name does not exist: its header with the response bit,
// the query's opcode and recursion-desired bit, recursion available and NXDOMAIN, and its first
// question alone. Empty for what is no query with a whole question.
std::string NoSuchName(const unsigned char* query, std::size_t length) {
    if (length < kHeader || (query[2] & 0x80) || query[4] != 0 || query[5] == 0) return {};
    std::size_t end = kHeader;
    while (end < length && query[end] != 0) {
        if (query[end] > 63) return {};  // a compressed or reserved label: not in a query's question
        end += 1 + query[end];
    }
    end += 1 + 4;  // the root label, the type and the class
    if (end > length) return {};
    std::string answer(reinterpret_cast<const char*>(query), end);
    answer[2] = char(0x80 | (query[2] & 0x79));  // QR, opcode, RD
    answer[3] = char(0x80 | 3);                  // RA, NXDOMAIN
    answer.replace(4, 8, std::string("\0\1\0\0\0\0\0\0", 8));
    return answer;
}

// The mount namespace of a process, as /proc names it ("mnt:[4026531841]").
std::string MountNamespace(const std::string& process) {
    char target[64] = {};
    const ssize_t length = ::readlink(("/proc/" + process + "/ns/mnt").c_str(), target, sizeof target - 1);
    return length > 0 ? std::string(target, std::size_t(length)) : std::string();
}

// What failed and the system's reason (errno, read before anything else can change it).
QString Failed(const char* what) {
    const QString reason = std::strerror(errno);
    return QString(what) + ": " + reason;
}

bool Write(QTemporaryFile& file, const char* text) {
    return file.open() && file.write(text) == qint64(std::strlen(text)) && file.flush();
}

}  // namespace

TestNameServer::TestNameServer() {
    error_ = serveLookups();
    if (error_.isEmpty() && !thread_.start([this](int stop) { run(stop); })) error_ = "cannot start a thread";
}

TestNameServer::~TestNameServer() {
    thread_.stop();
    if (socket_ >= 0) ::close(socket_);
}

// Listens, then mounts the resolver's files that name this server; why not, where it cannot.
QString TestNameServer::serveLookups() {
    const std::string own = MountNamespace("self");
    if (own.empty() || own == MountNamespace(std::to_string(::getppid())))
        return "not in a mount namespace of its own, so the test cannot give itself a name server: "
               "run it through ctest (tests/in_mount_namespace)";
    socket_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);  // held by no child
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(53);
    ::inet_pton(AF_INET, kAddress, &address.sin_addr);
    if (socket_ < 0 || ::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return Failed("cannot listen on 127.83.0.1:53") + " (port 53 needs root)";
    // A question left unanswered waits 30 s, longer than any opening: its own limit is what a test sees.
    if (!Write(resolver_, "nameserver 127.83.0.1\noptions timeout:30 attempts:1\n") ||
        !Write(nsswitch_, "hosts: files dns\n"))
        return "cannot write the resolver's files in " + QDir::tempPath();
    // Nothing mounted here reaches the namespace this one was made from.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return Failed("cannot keep this mount namespace's mounts to itself");
    for (const auto& [file, over] :
         {std::pair{&resolver_, "/etc/resolv.conf"}, {&nsswitch_, "/etc/nsswitch.conf"}})
        if (::mount(QFile::encodeName(file->fileName()).constData(), over, nullptr, MS_BIND, nullptr) != 0)
            return Failed("cannot mount the resolver's files over the system's");
    return {};
}

void TestNameServer::run(int stop) {
    for (;;) {
        pollfd polled[2] = {{stop, POLLIN, 0}, {socket_, POLLIN, 0}};
        if (::poll(polled, 2, -1) < 0) continue;
        if (polled[0].revents) return;
        unsigned char query[512];
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        const ssize_t length =
            ::recvfrom(socket_, query, sizeof query, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (length <= 0 || mode_ == NameServerMode::Silent) continue;
        const std::string answer = NoSuchName(query, std::size_t(length));
        if (!answer.empty())
            ::sendto(socket_, answer.data(), answer.size(), 0, reinterpret_cast<sockaddr*>(&from),
                     fromLength);
    }
}
