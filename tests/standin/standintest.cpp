#include "tests/standin/standintest.h"

#include "platform/big5.h"
#include "shared/md5.h"

void StandinTest::SetUp() {
    TempBaseTest::SetUp();
    ASSERT_TRUE(standin.start(standinDataDir()));
}

QString StandinTest::standinDataDir() const {
    return basePath() + "/standin";
}

QString StandinTest::request(const QString& script, const Fields& fields) {
    QString body = "key=quillmarrowed";
    for (const auto& field : fields) {
        body += "&" + field.first + "=" + field.second;
    }
    return big5::decode(standin.post("/" + script, big5::encode(body)).body);
}

QString StandinTest::formPost(const QString& script, const Fields& fields) {
    QByteArray body = "key=quillmarrowed";
    for (const auto& field : fields) {
        body += "&" + field.first.toLatin1() + "=" +
                big5::encode(field.second).toPercentEncoding(" ").replace(' ', '+');
    }
    return big5::decode(standin.post("/" + script, body).body);
}

QString StandinTest::page(const QString& pathAndQuery) {
    return big5::decode(standin.get(pathAndQuery).body);
}

QString sentenceChecksum(const QString& sentence) {
    return MD5(QString(sentence).remove(' '));
}

Fields engineFields(const QString& pno, const QString& qcode, const QString& sentence) {
    return {{"pno", pno},
            {"pnomd5", MD5(pno)},
            {"checksum", sentenceChecksum(sentence)},
            {"p1", "beta"},
            {"p2", "0"},
            {"p3", "073037"},
            {"cidx", qcode},
            {"s", QString(sentence).replace(" ", "%20")}};
}
