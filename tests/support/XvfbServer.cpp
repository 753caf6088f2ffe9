#include "XvfbServer.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "ChildProcess.h"

bool isProgramInstalled(const char* program) {
    return std::system((std::string("command -v ") + program + " > /dev/null 2>&1").c_str()) == 0;
}

bool typeIntoNextPopUp(const std::string& keys) {
    std::string script =
        "root=$(xdotool search --maxdepth 0 --name '^$'); "
        "end=$(($(date +%s) + 20)); "
        "while [ $(date +%s) -lt $end ]; do "
        "  xdotool search --onlyvisible --maxdepth 1 --name '^$' | grep -qvx \"$root\" && "
        "break; "
        "  sleep 0.05; "
        "done; "
        "xdotool key " +
        keys;
    return std::system(("(" + script + ") > /dev/null 2>&1 &").c_str()) == 0;
}

bool xdotool(const std::string& arguments) {
    return std::system(("xdotool " + arguments + " > /dev/null 2>&1").c_str()) == 0;
}

std::string firstLine(const std::string& command) {
    std::string output = runCommand(command).output;
    return output.substr(0, output.find('\n'));
}

std::string windowIdOf(const std::string& title) {
    return firstLine("timeout 20 xdotool search --sync --onlyvisible --name '" + title +
                     "' 2>/dev/null");
}

bool XvfbServer::start() {
    int first = 100 + int(getpid() % 100);
    for (int display = first; display < first + 20; ++display) {
        if (access(("/tmp/.X" + std::to_string(display) + "-lock").c_str(), F_OK) == 0) continue;
        if (launch(display)) return true;
    }
    return false;
}

void XvfbServer::stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

bool XvfbServer::launch(int display) {
    std::string name = ":" + std::to_string(display);
    pid_ = fork();
    if (pid_ == 0) {
        // -noreset: the server would otherwise restart when its last client leaves.
        execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
               "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    std::string socketPath = "/tmp/.X11-unix/X" + std::to_string(display);
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            return false;
        }
        if (access(socketPath.c_str(), F_OK) == 0) {
            usleep(200 * 1000);  // the socket exists a moment before the server answers
            setenv("DISPLAY", name.c_str(), 1);
            return true;
        }
        usleep(50 * 1000);
    }
    stop();
    return false;
}
