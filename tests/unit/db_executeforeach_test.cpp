#include <gtest/gtest.h>

#include "platform/db.h"
#include "tests/support/tempbase.h"

namespace {

class ExecuteForEachTest : public TempBaseTest {
protected:
    void SetUp() override {
        TempBaseTest::SetUp();
        // An empty file is an empty database.
        writeBytes(basePath() + "/rows.mdb", QByteArray());
        connection = "Data Source=" + basePath() + "/rows.mdb;";
        ASSERT_TRUE(db::execute("create table t (a text, b text)", connection));
    }

    QStringList rows() const {
        QStringList all;
        for (db::Recordset set("select a, b from t order by rowid", connection); !set.eof();
             set.moveNext()) {
            all << set.text("a") + "|" + set.text("b");
        }
        return all;
    }

    QString connection;
};

TEST_F(ExecuteForEachTest, BindsEachRowsValuesInOrderAsPlainText) {
    ASSERT_TRUE(db::executeForEach("insert into t values (?, ?)",
                                   {{"1", "It's"}, {"2", "x'); drop table t; --"}, {"3", "#1#"}},
                                   connection));
    EXPECT_EQ(rows(), QStringList({"1|It's", "2|x'); drop table t; --", "3|#1#"}));
}

TEST_F(ExecuteForEachTest, StopsAtTheFirstFailingRowAndSaysWhy) {
    QString error;
    EXPECT_FALSE(db::executeForEach("insert into t values (?, ?)",
                                    {{"1", "a"}, {"2", "b", "c"}, {"3", "d"}}, connection, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(rows(), QStringList{"1|a"});
    EXPECT_FALSE(db::executeForEach("insert into nowhere values (?)", {{"1"}}, connection));
    EXPECT_TRUE(db::executeForEach("insert into t values (?, ?)", {}, connection));
}

}  // namespace
