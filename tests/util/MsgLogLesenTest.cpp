// The log reader on files the log writer wrote, also cut off and mixed with
// bytes of other writers: every byte is read into exactly one entry.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "util/DatumZeit.h"
#include "util/MsgLog.h"
#include "util/MsgLogLesen.h"

namespace {

namespace fs = std::filesystem;

std::tm uhrzeit;
std::tm festeUhr() { return uhrzeit; }

std::string lesen(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

void anhaengen(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::app) << bytes;
}

// The read entries are the file's bytes, in order and without a gap.
void deckenDieDatei(const std::vector<MsgGelesen>& es, const std::string& bytes) {
    std::string zusammen;
    for (const MsgGelesen& e : es) {
        EXPECT_EQ(e.offset, zusammen.size());
        zusammen += e.roh;
    }
    EXPECT_EQ(zusammen, bytes);
}

class MsgLogLesen : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = "/tmp/korvimand-lesen-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        log = dir + "/Msg/Korvimand.Txt";
        uhrzeit = {};
        uhrzeit.tm_year = 126;
        uhrzeit.tm_mon = 11;
        uhrzeit.tm_mday = 8;
        uhrzeit.tm_hour = 1;
        uhrzeit.tm_min = 42;
        uhrzeit.tm_sec = 21;
        vorher = DatumZeit_SetUhr(festeUhr);
        Msg_Open(7, log.c_str());
    }
    void TearDown() override {
        DatumZeit_SetUhr(vorher);
        fs::remove_all(dir);
    }
    std::string dir, log;
    DatumZeitUhr vorher = nullptr;
};

TEST_F(MsgLogLesen, WrittenEntriesTornOnesAndForeignBytes) {
    std::vector<MsgGelesen> es;
    EXPECT_EQ(Msg_LogDateiLesen(log, es), ENOENT);

    Msg_Fehler("dbConnect", "Fehlerhafter Connect mit der DB ", -12154);
    uhrzeit.tm_year = 99;  // 1999
    Msg_Send("Nza_PKeyIns", "zwei\r\nZeilen", FMSG | WMSG, 0);
    MsgEntry mitDaten;
    mitDaten.Funktion = "f";
    mitDaten.Message = "m";
    mitDaten.MsgArt = DMSG | FMSG;
    mitDaten.ErrorCode = 7;
    mitDaten.Data = "\xFE\r\nBlock";
    mitDaten.DataLength = 8;
    Msg_Write(mitDaten);
    // A writer that stopped half-way, another one's text, a whole entry.
    const std::string ganz = lesen(log);
    const std::string halb = ganz.substr(0, ganz.find("Funktion___"));
    anhaengen(log, halb);
    anhaengen(log, "fremder Text\r\n");
    Msg_Fehler("NZA_Ermitteln", "Anzahl Parameter <> 6", 5);
    anhaengen(log, "Nachsatz");

    ASSERT_EQ(Msg_LogDateiLesen(log, es), 0);
    deckenDieDatei(es, lesen(log));
    ASSERT_EQ(es.size(), 6u);
    EXPECT_EQ(es[0].zustand, MsgZustand::Ganz);
    EXPECT_EQ(es[0].datum, "08.12.26");
    EXPECT_EQ(es[0].zeit, "01:42:21");
    EXPECT_EQ(es[0].stempel, "20261208014221");
    EXPECT_EQ(es[0].msgArt, FMSG);
    EXPECT_EQ(es[0].message, "Fehlerhafter Connect mit der DB ");
    EXPECT_EQ(es[0].funktion, "dbConnect");
    EXPECT_EQ(es[0].errorCode, -12154);
    EXPECT_EQ(es[1].zustand, MsgZustand::Ganz);
    EXPECT_EQ(es[1].stempel, "19991208014221");
    EXPECT_EQ(es[1].msgArt, FMSG | WMSG);
    EXPECT_EQ(es[1].message, "zwei\r\nZeilen");
    EXPECT_EQ(es[2].zustand, MsgZustand::Ganz);
    EXPECT_EQ(es[2].zusatz, "\xFE\r\nBlock");
    // The half entry keeps what it has; the foreign text after it cannot be
    // told from its missing rest.
    EXPECT_EQ(es[3].zustand, MsgZustand::Abgerissen);
    EXPECT_EQ(es[3].roh, halb + "fremder Text\r\n");
    EXPECT_EQ(es[3].message, "");
    EXPECT_EQ(es[3].stempel, "20261208014221");
    EXPECT_EQ(es[4].zustand, MsgZustand::Ganz);
    EXPECT_EQ(es[4].funktion, "NZA_Ermitteln");
    EXPECT_EQ(es[4].errorCode, 5);
    EXPECT_EQ(es[5].zustand, MsgZustand::Fremd);
    EXPECT_EQ(es[5].roh, "Nachsatz");
}

TEST_F(MsgLogLesen, AnEntryCutAnywhereIsTornAndTheNextOneIsReadWhole) {
    Msg_Fehler("Nza_ArbeitsfolgeVonBis", "Nza_PKeyIns", -1);
    const std::string ohneBlock = lesen(log);
    MsgEntry mitDaten;
    mitDaten.Funktion = "f";
    mitDaten.Message = "m";
    mitDaten.MsgArt = DMSG | FMSG;
    mitDaten.ErrorCode = -1;
    mitDaten.Data = "Block";
    mitDaten.DataLength = 5;
    Msg_Write(mitDaten);
    const std::string mitBlock = lesen(log).substr(ohneBlock.size());
    for (const std::string& eintrag : {ohneBlock, mitBlock})
        for (std::size_t n = 1; n < eintrag.size(); ++n) {
            SCOPED_TRACE(eintrag.substr(0, n));
            // cut right before its block, an entry reads as one without a block
            if (n == mitBlock.size() - std::string("Block\r\n").size() && eintrag == mitBlock) continue;
            const std::string bytes = "Vorsatz" + eintrag.substr(0, n) + eintrag;
            const auto es = Msg_LogLesen(bytes);
            deckenDieDatei(es, bytes);
            ASSERT_EQ(es.size(), 3u);
            EXPECT_EQ(es[0].zustand, MsgZustand::Fremd);
            EXPECT_EQ(es[1].zustand, MsgZustand::Abgerissen);
            EXPECT_EQ(es[2].zustand, MsgZustand::Ganz);
            EXPECT_EQ(es[2].errorCode, -1);
        }
}

}  // namespace
