// The dialect's own rules, on texts made for them; the texts the statement
// modules run are translated and prepared in tests/db/AnweisungenTest.cpp.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/runtime/Dialect.h"

namespace {

using rt::dialect::Backend;
using rt::dialect::InConv;
using rt::dialect::OutConv;
using rt::dialect::Translated;
using rt::dialect::Verb;

TEST(Dialect, DatesAndClock) {
    Translated t;
    const std::string ins =
        "insert into T (A,B,C) values (:b0,TO_DATE(:b1,'yyyymmddHH24MISS'),TO_DATE( :b2 , 'yyyymmdd' ))";
    ASSERT_EQ(rt::dialect::translate(ins, Backend::Postgres, t), 0);
    EXPECT_EQ(t.sql, "insert into T (A,B,C) values ($1,$2::timestamp(0),$3::timestamp(0))");
    EXPECT_EQ(t.inputs, (std::vector<InConv>{InConv::None, InConv::Stamp, InConv::Day}));
    ASSERT_EQ(rt::dialect::translate(ins, Backend::Sqlite, t), 0);
    EXPECT_EQ(t.sql, "insert into T (A,B,C) values (?1,?2,?3)");

    const std::string sel =
        "select TO_CHAR(D,'HH24MISS') into :b0:b1 from HlSystem.Hlx133Bak where D<trunc(sysdate) and E=sysdate";
    ASSERT_EQ(rt::dialect::translate(sel, Backend::Postgres, t), 0);
    EXPECT_EQ(t.sql, "select to_char(D,'HH24MISS') from hlsystem.Hlx133Bak where D<statement_timestamp()::date and "
                     "E=date_trunc('second',statement_timestamp()::timestamp) LIMIT 2");
    // SQLite: a select-list TO_CHAR of a column is the column, cut on the client.
    ASSERT_EQ(rt::dialect::translate(sel, Backend::Sqlite, t), 0);
    EXPECT_EQ(
        t.sql,
        "select D from Hlx133Bak where D<(date('now','localtime')||' 00:00:00') and E=datetime('now','localtime')");
    EXPECT_EQ(t.columns, (std::vector<OutConv>{OutConv::Time}));
    // Where the expression itself is compared, or is more than a column, SQLite computes it.
    const std::string grouped = "select distinct A ,TO_CHAR(D,'yyyymmdd')  from T order by 2";
    for (const std::string& q :
         {grouped, std::string("select A ,TO_CHAR(D,'yyyymmdd')  from T order by 2"),
          std::string("select nvl(TO_CHAR(D,'yyyymmdd'),' ') ,TO_CHAR(D,'yyyymmdd') x  from T")}) {
        ASSERT_EQ(rt::dialect::translate(q, Backend::Sqlite, t), 0) << q;
        EXPECT_NE(t.sql.find("substr(D,1,4)"), std::string::npos) << q;
        EXPECT_TRUE(t.columns.empty()) << q;
    }

    // A day compared as text: on PostgreSQL the range of the day, which an
    // index serves; SQLite indexes the text expression itself.
    const std::string tag = "select A into :b0 from T where TO_CHAR(D,'yyyymmdd')= :b1 and TO_CHAR(D,'yyyymmdd')>=:b2";
    ASSERT_EQ(rt::dialect::translate(tag, Backend::Postgres, t), 0);
    EXPECT_EQ(t.sql, "select A from T where (D>=$1::timestamp(0) and D<$1::timestamp(0)+interval '1 day') and "
                     "to_char(D,'YYYYMMDD')>=$2 LIMIT 2");
    EXPECT_EQ(t.inputs, (std::vector<InConv>{InConv::DayKey, InConv::None}));
    ASSERT_EQ(rt::dialect::translate(tag, Backend::Sqlite, t), 0);
    EXPECT_EQ(t.inputs, (std::vector<InConv>{InConv::None, InConv::None}));
}

TEST(Dialect, OrderByGetsOraclesNullOrder) {
    Translated t;
    ASSERT_EQ(rt::dialect::translate("select A from T order by A desc, to_char(B,'yyyymmdd'), C nulls first  ",
                                     Backend::Postgres, t),
              0);
    EXPECT_EQ(t.sql, "select A from T order by A desc NULLS FIRST, to_char(B,'YYYYMMDD') NULLS LAST, C nulls first  ");
    // groups come in the order of their keys, not in the order a hash gives them
    ASSERT_EQ(rt::dialect::translate("select A ,B  from T where C=:b0 group by A, B  ", Backend::Postgres, t), 0);
    EXPECT_EQ(t.sql, "select A ,B  from T where C=$1 group by A, B order by A NULLS LAST, B NULLS LAST  ");
}

TEST(Dialect, TransactionControl) {
    Translated t;
    ASSERT_EQ(rt::dialect::translate("savepoint Nza_PKeyIns_Sp", Backend::Sqlite, t), 0);
    EXPECT_EQ(t.verb, Verb::Savepoint);
    EXPECT_EQ(t.savepoint, "Nza_PKeyIns_Sp");
    ASSERT_EQ(rt::dialect::translate("rollback  to Nza_PKeyIns_Sp", Backend::Postgres, t), 0);
    EXPECT_EQ(t.verb, Verb::RollbackTo);
    EXPECT_EQ(t.savepoint, "Nza_PKeyIns_Sp");
    ASSERT_EQ(rt::dialect::translate("COMMIT", Backend::Sqlite, t), 0);
    EXPECT_EQ(t.verb, Verb::Commit);
    ASSERT_EQ(rt::dialect::translate("rollback", Backend::Sqlite, t), 0);
    EXPECT_EQ(t.verb, Verb::Rollback);
}

TEST(Dialect, TextsItCannotRunAreRefused) {
    Translated t;
    EXPECT_EQ(rt::dialect::translate("merge into T", Backend::Sqlite, t), -900);
    EXPECT_EQ(rt::dialect::translate("select TO_CHAR(D,'dd.mm.yyyy') from T", Backend::Sqlite, t), -1821);
    EXPECT_EQ(rt::dialect::translate("update T set D=TO_DATE('20240101','yyyymmdd')", Backend::Postgres, t), -900);
    EXPECT_EQ(rt::dialect::translate("select A into :b0:b1 from T where B='open", Backend::Sqlite, t), -900);
    EXPECT_EQ(rt::dialect::translate("savepoint", Backend::Sqlite, t), -900);
}

}  // namespace
