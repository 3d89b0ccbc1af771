// The progress display on a real terminal (a pseudo-terminal) and on a pipe.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <fcntl.h>
#include <cerrno>
#include <chrono>
#include <string>

#include "app/Fortschritt.h"
#include "util/MsgLog.h"

namespace {

// What the master side of a pseudo-terminal receives until it stays quiet:
// the terminal layer hands written bytes on asynchronously.
std::string lesen(int master) {
    std::string out;
    char buf[4096];
    pollfd p{master, POLLIN, 0};
    while (::poll(&p, 1, 200) > 0) {
        const ssize_t n = ::read(master, buf, sizeof buf);
        if (n <= 0) break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    return out;
}

// The progress clock, moved on by the test alone.
std::chrono::steady_clock::time_point gestellteZeit;
std::chrono::steady_clock::time_point gestellteZeitLesen() { return gestellteZeit; }
struct GestellteUhr {
    GestellteUhr() : vorher(Fortschritt_SetUhr(gestellteZeitLesen)) {}
    ~GestellteUhr() { Fortschritt_SetUhr(vorher); }
    void weiter(int ms) { gestellteZeit += std::chrono::milliseconds(ms); }
    FortschrittUhr vorher;
};

TEST(Fortschritt, ShowsProgressAndASummaryOnATerminal) {
    int master = -1, slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    const std::string logDatei = testing::TempDir() + "fortschritt-" + std::to_string(::getpid()) + ".txt";
    Msg_Open(FMSG, logDatei.c_str());

    GestellteUhr uhr;
    Fortschritt_Start(slave);
    Fortschritt_Position();
    // The line is redrawn a few times a second, not for every position.
    uhr.weiter(300);
    Fortschritt_Position();
    Msg_Fehler("Test", "Nza_PKeyIns", -1);
    uhr.weiter(200);
    Fortschritt_Position();
    Fortschritt_Ende();

    // the terminal ends the line with CR LF
    EXPECT_EQ(lesen(master), "\rkorvimand: 2 positions, 7/s, no failures\x1b[K"
                             "\rkorvimand: 3 positions in 0.5 s (6/s), 1 failure logged\x1b[K\r\n");

    ::close(slave);
    ::close(master);
    ::unlink(logDatei.c_str());
}

TEST(Fortschritt, WritesNothingWhenNotATerminal) {
    int p[2];
    ASSERT_EQ(::pipe(p), 0);
    ::fcntl(p[0], F_SETFL, O_NONBLOCK);
    GestellteUhr uhr;
    Fortschritt_Start(p[1]);
    uhr.weiter(300);
    Fortschritt_Position();
    Fortschritt_Ende();
    char c;
    EXPECT_EQ(::read(p[0], &c, 1), -1);
    EXPECT_EQ(errno, EAGAIN);
    ::close(p[0]);
    ::close(p[1]);
}

}  // namespace
