#pragma once
// A pseudo-terminal whose slave side another process holds open and locked, as a terminal
// program holds a serial port, until the object goes. The holder may run as another user
// so that tests of what a normal user is told can see it in /proc.

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace qavix::test {

class HeldPty {
  public:
    // hold: start the holding process; holderUid >= 0: it drops to that user and group first.
    explicit HeldPty(bool hold = true, int holderUid = -1, int holderGid = -1, mode_t mode = 0620) {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
            return;
        }
        m_slave = ptsname(m_master);
        chmod(m_slave.c_str(), mode);
        if (!hold) {
            m_ready = true;
            return;
        }
        int ready[2];
        if (pipe(ready) != 0) {
            return;
        }
        m_child = fork();
        if (m_child == 0) {
            bool ok = true;
            if (holderUid >= 0) {
                ok = setgid(static_cast<gid_t>(holderGid)) == 0 &&
                     setuid(static_cast<uid_t>(holderUid)) == 0;
                // A process that changed its user is hidden in /proc from that user; one
                // started by that user, as a terminal program is, is not.
                prctl(PR_SET_DUMPABLE, 1);
            }
            const int fd = ok ? ::open(m_slave.c_str(), O_RDWR | O_NOCTTY) : -1;
            const char answer = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0 ? '1' : '0';
            (void)!write(ready[1], &answer, 1);
            pause();
            _exit(0);
        }
        char answer = '0';
        (void)!read(ready[0], &answer, 1);
        close(ready[0]);
        close(ready[1]);
        m_ready = answer == '1';
    }
    ~HeldPty() {
        if (m_child > 0) {
            kill(m_child, SIGKILL);
            waitpid(m_child, nullptr, 0);
        }
        if (m_master >= 0) {
            close(m_master);
        }
    }
    HeldPty(const HeldPty&) = delete;
    HeldPty& operator=(const HeldPty&) = delete;

    bool ready() const { return m_ready; }
    pid_t holder() const { return m_child; }
    const std::string& slave() const { return m_slave; }

  private:
    int m_master = -1;
    pid_t m_child = -1;
    std::string m_slave;
    bool m_ready = false;
};

}  // namespace qavix::test
