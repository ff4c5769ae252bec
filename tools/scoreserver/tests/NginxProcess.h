// A real nginx on loopback serving the deployed site (deploy/nginx) in front of
// a score server, for the tests and the bench. Its main configuration is
// Debian's nginx.conf with the changes the deployment guide makes, or Debian's
// as it comes.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace scoreserver::testnet {

// The main configuration's figures that matter under attack.
struct NginxMain {
    int WorkerConnections;
    int OpenFiles; // worker_rlimit_nofile; 0 leaves it unset
    const char* ErrorLevel;
};
// Debian's /etc/nginx/nginx.conf as installed, and as the guide changes it.
inline constexpr NginxMain DebianNginxMain{768, 0, "error"};
inline constexpr NginxMain GuideNginxMain{8192, 20000, "error"};

inline std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// nginx's folders for what it keeps on disk, all in the given one (none of the system's).
inline std::string NginxTempPaths(const std::filesystem::path& folder) {
    std::string paths;
    for (const char* kind : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"})
        paths += std::string("  ") + kind + "_temp_path " + (folder / kind).string() + ";\n";
    return paths;
}

inline int FreeLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

class NginxProcess {
  public:
    static constexpr const char* Program = "/usr/sbin/nginx";

    // Writes the configuration into folder and starts nginx; Problem() says what failed.
    NginxProcess(const std::filesystem::path& deploy, const std::filesystem::path& folder, int serverPort,
                 const NginxMain& main = GuideNginxMain)
        : folder_(folder), port_(FreeLoopbackPort()) {
        if (access(Program, X_OK) != 0) {
            problem_ = "nginx is missing: apt-get install nginx";
            return;
        }
        chmod(folder.c_str(), 0755); // nginx's workers may run as another user
        std::string site = ReadWholeFile(deploy / "nginx/vantorix-scoreserver");
        Replace(site, "listen 80;", "listen 127.0.0.1:" + std::to_string(port_) + ";");
        Replace(site, "listen [::]:80;", "");
        Replace(site, "server 127.0.0.1:8080;", "server 127.0.0.1:" + std::to_string(serverPort) + ";");
        Replace(site, "include snippets/vantorix-scoreserver.conf;",
                "include " + (deploy / "nginx/vantorix-scoreserver.conf").string() + ";");
        if (!problem_.empty()) return;
        std::ofstream(folder / "site.conf") << site;
        std::ofstream(folder / "nginx.conf")
            << "daemon off;\nworker_processes auto;\npid " << (folder / "nginx.pid").string() << ";\n"
            << (main.OpenFiles ? "worker_rlimit_nofile " + std::to_string(main.OpenFiles) + ";\n" : "")
            << "error_log " << ErrorLog().string() << " " << main.ErrorLevel << ";\n"
            << "events { worker_connections " << main.WorkerConnections << "; }\n"
            << "http {\n  access_log off;\n"
            << NginxTempPaths(folder) << "  include " << (folder / "site.conf").string() << ";\n}\n";
        Start();
    }

    ~NginxProcess() {
        if (pid_ <= 0) return;
        kill(pid_, SIGQUIT);
        for (int i = 0; i < 500 && waitpid(pid_, nullptr, WNOHANG) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    NginxProcess(const NginxProcess&) = delete;
    NginxProcess& operator=(const NginxProcess&) = delete;

    int Port() const { return port_; }
    const std::string& Problem() const { return problem_; }
    std::filesystem::path ErrorLog() const { return folder_ / "error.log"; }

  private:
    // Replaces every occurrence of from; a problem if there is none.
    void Replace(std::string& text, const std::string& from, const std::string& to) {
        if (text.find(from) == std::string::npos) problem_ = "the site no longer holds: " + from;
        for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
            text.replace(at, from.size(), to);
    }

    void Start() {
        pid_ = fork();
        if (pid_ == 0) {
            execl(Program, Program, "-p", folder_.c_str(), "-c", (folder_ / "nginx.conf").c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int i = 0; i < 500; ++i) {
            if (Answers()) return;
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        problem_ = "nginx did not start:\n" + ReadWholeFile(ErrorLog());
    }

    bool Answers() const {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port_));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        close(fd);
        return connected;
    }

    std::filesystem::path folder_;
    int port_;
    pid_t pid_ = -1;
    std::string problem_;
};

} // namespace scoreserver::testnet
