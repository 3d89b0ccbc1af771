#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "tests/support/E2e.h"
#include "util/DatumZeit.h"
#include "util/MsgLog.h"

namespace {

namespace fs = std::filesystem;

std::tm fixedTime;
std::tm fixedUhr() { return fixedTime; }

std::string readFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << bytes;
}

// Runs fn in a child process and returns its pid; the child's exit status is fn's result.
pid_t child(const std::function<int()>& fn) {
    pid_t pid = ::fork();
    if (pid == 0) ::_exit(fn());
    return pid;
}

int waitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class MsgLog : public ::testing::Test {
protected:
    void SetUp() override {
        // A memory file system where there is one: every entry is synced to
        // disk, and the rotation tests write thousands.
        std::string pattern = fs::is_directory("/dev/shm") && ::access("/dev/shm", W_OK) == 0
                                  ? "/dev/shm/korvimand-msg-XXXXXX"
                                  : "/tmp/korvimand-msg-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        log = dir + "/Msg/Korvimand.Txt";
        backup = dir + "/Msg/Korvimand.old";
        fixedTime = {};
        fixedTime.tm_year = 126;
        fixedTime.tm_mon = 11;
        fixedTime.tm_mday = 8;
        fixedTime.tm_hour = 1;
        fixedTime.tm_min = 42;
        fixedTime.tm_sec = 21;
        previousUhr = DatumZeit_SetUhr(fixedUhr);
        Msg_Open(7, log.c_str());
    }
    void TearDown() override {
        DatumZeit_SetUhr(previousUhr);
        fs::remove_all(dir);
    }

    std::string dir, log, backup;
    DatumZeitUhr previousUhr = nullptr;
};

const std::string kConnectEntry = "\xFE\r\n"
                                  "System-Date: 08.12.26\r\n"
                                  "System-Time: 01:42:21\r\n"
                                  "MsgArt_____: FMSG \r\n"
                                  "Message____: Fehlerhafter Connect mit der DB \r\n"
                                  "Funktion___: dbConnect\r\n"
                                  "ErrorCode__: -12154\r\n";

TEST_F(MsgLog, EntryBytesInAMissingFolderThenAppended) {
    ASSERT_FALSE(fs::exists(dir + "/Msg"));
    const std::int32_t before = Msg_FehlerAnzahl();
    Msg_Fehler("dbConnect", "Fehlerhafter Connect mit der DB ", -12154);
    EXPECT_EQ(readFile(log), kConnectEntry);

    // The next entry goes after the last byte, whatever stands there.
    writeFile(log, "earlier run\r\n");
    fixedTime.tm_sec = 5;
    Msg_Fehler("NZA_Ermitteln", "Anzahl Parameter <> 6", 0);
    EXPECT_EQ(readFile(log), "earlier run\r\n"
                             "\xFE\r\nSystem-Date: 08.12.26\r\nSystem-Time: 01:42:05\r\nMsgArt_____: FMSG \r\n"
                             "Message____: Anzahl Parameter <> 6\r\nFunktion___: NZA_Ermitteln\r\nErrorCode__: 0\r\n");
    EXPECT_EQ(Msg_FehlerAnzahl(), before + 2);
}

TEST_F(MsgLog, KindsAndMask) {
    const std::int32_t before = Msg_FehlerAnzahl();
    Msg_Send("f", "w", WMSG, 1);
    Msg_Send("f", "c", CMSG, 1);
    Msg_Send("f", "none", 0, 1);
    EXPECT_FALSE(fs::exists(log));
    EXPECT_EQ(Msg_FehlerAnzahl(), before);

    // The kind line shows every kind of the entry, enabled or not.
    Msg_Send("f", "fw", FMSG | WMSG, 1);
    auto entries = e2e::parseLog(readFile(log));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].art, "FMSG WMSG ");

    // Data and supplement follow, each with CR LF; a DataLength beyond the
    // data or below 0 never reads past it.
    MsgEntry e;
    e.Funktion = "Fn";
    e.Message = "Msg";
    e.MsgArt = DMSG | SMSG | FMSG | WMSG | CMSG;
    e.ErrorCode = -2147483647 - 1;
    e.Data = std::string("da\0ta", 5);
    e.DataLength = 4;
    e.Supplement = "sup";
    EXPECT_EQ(Msg_Eintrag(e, DMSG | SMSG, fixedTime),
              "\xFE\r\nSystem-Date: 08.12.26\r\nSystem-Time: 01:42:21\r\n"
              "MsgArt_____: DMSG SMSG FMSG WMSG CMSG \r\nMessage____: Msg\r\nFunktion___: Fn\r\n"
              "ErrorCode__: -2147483648\r\n" +
                  std::string("da\0t", 4) + "\r\nsup\r\n");
    e.DataLength = 1000;
    EXPECT_NE(Msg_Eintrag(e, DMSG, fixedTime).find(std::string("da\0ta\r\n", 7)), std::string::npos);
    e.DataLength = -5;
    EXPECT_NE(Msg_Eintrag(e, DMSG, fixedTime).find("-2147483648\r\n\r\n"), std::string::npos);
    // Without the enabled kinds there is no block.
    EXPECT_EQ(Msg_Eintrag(e, FMSG, fixedTime).find("sup"), std::string::npos);

    Msg_Open(0, log.c_str());
    Msg_Fehler("f", "masked", 1);
    Msg_Open(-1, log.c_str());
    Msg_Send("f", "negative", -4, 1);  // enabled kinds not above 0
    EXPECT_EQ(e2e::parseLog(readFile(log)).size(), 1u);
}

TEST_F(MsgLog, LongTextsAreWrittenWhole) {
    const std::string message(5000, 'm'), funktion(300, 'f');
    Msg_Fehler(funktion.c_str(), message.c_str(), 7);
    auto entries = e2e::parseLog(readFile(log));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].message, message);
    EXPECT_EQ(entries[0].funktion, funktion);
    EXPECT_EQ(entries[0].code, 7);
}

TEST_F(MsgLog, UnwritableLogLosesTheEntryQuietly) {
    fs::create_directories(log);  // a folder where the file should be
    const std::int32_t before = Msg_FehlerAnzahl();
    Msg_Fehler("f", "lost", 1);
    EXPECT_EQ(Msg_FehlerAnzahl(), before);
    fs::remove(log);
    Msg_Fehler("f", "kept", 1);
    EXPECT_EQ(Msg_FehlerAnzahl(), before + 1);
    EXPECT_EQ(e2e::parseLog(readFile(log)).at(0).message, "kept");
}

TEST_F(MsgLog, WithoutANameTheLogIsMsgDat) {
    pid_t pid = child([&] {
        if (::chdir(dir.c_str()) != 0) return 40;
        Msg_Open(7, nullptr);
        Msg_Fehler("f", "null", 1);
        Msg_Open(7, "");
        Msg_Fehler("f", "empty", 2);
        return 0;
    });
    ASSERT_EQ(waitFor(pid), 0);
    auto entries = e2e::parseLog(readFile(dir + "/msg.dat"));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].message, "empty");
}

TEST_F(MsgLog, BackupName) {
    EXPECT_EQ(Msg_BackupName("./Msg/Korvimand.Txt"), "./Msg/Korvimand.old");
    EXPECT_EQ(Msg_BackupName("msg.dat"), "msg.old");
    EXPECT_EQ(Msg_BackupName("a.b/c.d.e"), "a.b/c.d.old");
    EXPECT_EQ(Msg_BackupName("a.b/log"), "a.b/log.old");
    EXPECT_EQ(Msg_BackupName("log"), "log.old");
    EXPECT_EQ(Msg_BackupName("./Msg/.Txt"), "./Msg/.old");
}

TEST_F(MsgLog, RotatesAtTheFirstEntryAfter3001Written) {
    // In a process of its own: the count lives only in the process.
    pid_t pid = child([&] {
        const std::int32_t before = Msg_FehlerAnzahl();
        // Entries that cannot be written do not count.
        fs::create_directories(log);
        for (int i = 0; i < 3; ++i) Msg_Fehler("f", "lost", i);
        fs::remove(log);
        if (Msg_FehlerAnzahl() != before) return 10;
        writeFile(log, "OLD\r\n");
        writeFile(backup, "older backup");
        for (int i = 1; i <= 3001; ++i) Msg_Fehler("f", "entry", i);
        if (readFile(backup) != "older backup") return 11;
        Msg_Fehler("f", "entry", 3002);
        return Msg_FehlerAnzahl() == before + 3002 ? 0 : 12;
    });
    ASSERT_EQ(waitFor(pid), 0);
    const std::string old = readFile(backup);
    ASSERT_EQ(old.substr(0, 5), "OLD\r\n");
    auto moved = e2e::parseLog(old.substr(5));
    ASSERT_EQ(moved.size(), 3001u);
    EXPECT_EQ(moved.front().code, 1);
    EXPECT_EQ(moved.back().code, 3001);
    auto fresh = e2e::parseLog(readFile(log));
    ASSERT_EQ(fresh.size(), 1u);
    EXPECT_EQ(fresh[0].code, 3002);
}

TEST_F(MsgLog, RotationWithTheLogGoneKeepsTheBackup) {
    fs::create_directories(dir + "/Msg");
    writeFile(backup, "older backup");
    pid_t pid = child([&] {
        for (int i = 1; i <= 3001; ++i) Msg_Fehler("f", "entry", i);
        // Someone took the log away: there is nothing to move, and the entry
        // starts a new log instead of being lost.
        fs::remove(log);
        Msg_Fehler("f", "entry", 3002);
        return 0;
    });
    ASSERT_EQ(waitFor(pid), 0);
    EXPECT_EQ(readFile(backup), "older backup");
    auto entries = e2e::parseLog(readFile(log));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].code, 3002);
}

TEST_F(MsgLog, NoEntryIsLostWhenTheLogCannotBeMovedOrWritten) {
    // the backup name is a folder with a file in it: the log cannot be moved there
    fs::create_directories(backup + "/x");
    const std::string fehler = dir + "/stderr";
    pid_t pid = child([&] {
        const int fd = ::open(fehler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || ::dup2(fd, 2) < 0) return 40;
        for (int i = 1; i <= 3003; ++i) Msg_Fehler("f", "entry", i);
        // the log's place taken by a folder: the entry goes to standard error
        fs::rename(log, dir + "/kept");
        fs::create_directories(log);
        Msg_Fehler("Nza_ArbeitsfolgeVonBis", "App_PKeyUpd", -1114);
        return 0;
    });
    ASSERT_EQ(waitFor(pid), 0);
    EXPECT_EQ(e2e::parseLog(readFile(dir + "/kept")).size(), 3003u);
    EXPECT_TRUE(fs::is_directory(backup + "/x"));
    EXPECT_EQ(readFile(fehler),
              "korvimand: message log not written (Is a directory): Nza_ArbeitsfolgeVonBis / App_PKeyUpd / -1114\n");
}

TEST_F(MsgLog, ConcurrentProcessesNeverInterleave) {
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    pid_t pids[2];
    for (int p = 0; p < 2; ++p) {
        pids[p] = child([&, p] {
            ::close(go[1]);
            char c;
            if (::read(go[0], &c, 1) != 0) return 20;
            const std::string funktion = "proc" + std::to_string(p);
            const std::int32_t before = Msg_FehlerAnzahl();
            for (int i = 0; i < 500; ++i) Msg_Fehler(funktion.c_str(), "parallel", i);
            return Msg_FehlerAnzahl() == before + 500 ? 0 : 21;
        });
    }
    ::close(go[0]);
    ::close(go[1]);  // both start together
    for (pid_t pid : pids) EXPECT_EQ(waitFor(pid), 0);

    const auto entries = e2e::parseLog(readFile(log));
    ASSERT_EQ(entries.size(), 1000u);
    int next[2] = {0, 0};
    for (const auto& e : entries) {
        ASSERT_TRUE(e.funktion == "proc0" || e.funktion == "proc1") << e.funktion;
        int p = e.funktion.back() - '0';
        EXPECT_EQ(e.code, next[p]++);
        EXPECT_EQ(e.message, "parallel");
    }
    EXPECT_EQ(next[0], 500);
    EXPECT_EQ(next[1], 500);
}

TEST_F(MsgLog, WaitsWhileAnotherProcessHoldsTheFile) {
    fs::create_directories(dir + "/Msg");
    int held[2];
    ASSERT_EQ(::pipe(held), 0);
    pid_t holder = child([&] {
        int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0666);
        if (fd < 0 || ::flock(fd, LOCK_EX) != 0) return 30;
        if (::write(fd, "<held>", 6) != 6) return 31;
        if (::write(held[1], "x", 1) != 1) return 32;
        ::sleep(2);
        if (::write(fd, "<released>", 10) != 10) return 33;
        ::close(fd);
        return 0;
    });
    ::close(held[1]);
    char c;
    ASSERT_EQ(::read(held[0], &c, 1), 1);
    ::close(held[0]);
    Msg_Fehler("dbConnect", "Fehlerhafter Connect mit der DB ", -12154);
    EXPECT_EQ(waitFor(holder), 0);
    // Written after the holder let go, not in between.
    EXPECT_EQ(readFile(log), "<held><released>" + kConnectEntry);
}

TEST_F(MsgLog, AppendToFile) {
    const std::string file = dir + "/other/data.txt";
    EXPECT_EQ(Msg_AppendToFile(file.c_str(), "abc", 3), 0);
    EXPECT_EQ(Msg_AppendToFile(file.c_str(), "defgh", 2), 0);
    EXPECT_EQ(Msg_AppendToFile(file.c_str(), nullptr, 0), 0);
    EXPECT_EQ(readFile(file), "abc\r\nde\r\n\r\n");
    EXPECT_EQ(Msg_AppendToFile(file.c_str(), nullptr, 3), EINVAL);
    EXPECT_EQ(Msg_AppendToFile(file.c_str(), "abc", -1), EINVAL);
    EXPECT_EQ(Msg_AppendToFile(nullptr, "abc", 3), EINVAL);
    EXPECT_EQ(Msg_AppendToFile(dir.c_str(), "abc", 3), EISDIR);
}

}  // namespace
