#pragma once
// A PostgreSQL server of the test's own: initdb into a temporary folder,
// started on a free port with password authentication, stopped and removed
// when the object goes away. As root (which initdb refuses), the server runs
// as "nobody". Where the server programs are absent, running() is false and
// why() says so, for the test to skip.

#include "tests/support/test_support.h"

#include <QDir>

#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace ctest {

class PostgresServer {
  public:
    static constexpr const char* kPassword = "s3cret-pw";

    PostgresServer() {
        const std::string bin = find_bin();
        if (bin.empty()) {
            why_ = "no PostgreSQL server installed (scripts/setup.sh --tests installs it)";
            return;
        }
        run_as_ = ::geteuid() == 0 ? "nobody" : "";
        if (!run_as_.empty()) {
            const passwd* user = ::getpwnam(run_as_.c_str());
            if (!user || ::chown(dir_.path().c_str(), user->pw_uid, user->pw_gid) != 0) {
                why_ = "cannot hand a folder to user nobody";
                return;
            }
        }
        qtest::write_file(dir_.file("pw"), std::string(kPassword) + "\n");
        if (!run_as_.empty()) {
            const passwd* user = ::getpwnam(run_as_.c_str());
            [[maybe_unused]] const int ignored =
                ::chown(dir_.file("pw").c_str(), user->pw_uid, user->pw_gid);
        }
        port_ = free_port();
        pg_ctl_ = bin + "/pg_ctl";
        const qtest::ProcessResult init =
            as_server(bin + "/initdb", {"-D", dir_.file("data"), "-U", "quillon", "-E", "UTF8",
                                        "--auth=scram-sha-256", "--pwfile=" + dir_.file("pw"),
                                        "--no-sync", "--no-instructions"});
        if (init.exit_status != 0) {
            why_ = "initdb failed: " + init.err;
            return;
        }
        const qtest::ProcessResult start =
            as_server(pg_ctl_, {"-D", dir_.file("data"), "-l", dir_.file("log"), "-w", "-o",
                                "-p " + std::to_string(port_) + " -k " + dir_.path() +
                                    " -c listen_addresses=127.0.0.1 -c fsync=off",
                                "start"});
        if (start.exit_status != 0) {
            why_ = "the server did not start: " + start.err + qtest::read_file(dir_.file("log"));
            return;
        }
        running_ = true;
    }
    ~PostgresServer() {
        if (running_) {
            as_server(pg_ctl_, {"-D", dir_.file("data"), "-m", "immediate", "-w", "stop"});
        }
    }
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    bool running() const { return running_; }
    const std::string& why() const { return why_; }
    int port() const { return port_; }
    // The URL of database name, with or without the password.
    std::string url(const std::string& database, bool with_password = true) const {
        return std::string("postgresql://quillon") +
               (with_password ? ":" + std::string(kPassword) : "") +
               "@127.0.0.1:" + std::to_string(port_) + "/" + database;
    }

    // A port nothing listens on, as the kernel just gave it out.
    static int free_port() {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
        ::close(s);
        return ntohs(address.sin_port);
    }

  private:
    static std::string find_bin() {
        for (const char* version : {"17", "16", "15"}) {
            const std::string bin = std::string("/usr/lib/postgresql/") + version + "/bin";
            if (qtest::file_exists(bin + "/pg_ctl") && qtest::file_exists(bin + "/initdb")) {
                return bin;
            }
        }
        return {};
    }
    qtest::ProcessResult as_server(const std::string& program,
                                   const std::vector<std::string>& args) const {
        const qtest::Environment env = {{"PATH", "/usr/bin:/bin"}, {"LC_ALL", "C.UTF-8"}};
        if (run_as_.empty()) {
            return qtest::run_process(program, args, env, dir_.path());
        }
        std::vector<std::string> all = {"-u", run_as_, "--", program};
        all.insert(all.end(), args.begin(), args.end());
        return qtest::run_process("/usr/sbin/runuser", all, env, dir_.path());
    }

    qtest::TempDir dir_;
    std::string run_as_;
    std::string pg_ctl_;
    int port_ = 0;
    bool running_ = false;
    std::string why_;
};

}  // namespace ctest
