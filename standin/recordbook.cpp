#include "standin/recordbook.h"

#include <QStringList>

#include "standin/grader.h"
#include "standin/scripthelpers.h"
#include "standin/store.h"

void RecordBook::addSentence(const QString& pno, const QString& course, const QString& qcode,
                             const QString& flag, const QString& errcode, const QString& sentence) {
    const QString today = scripthelpers::dateText();
    if (errcode == "0") {
        m_store.exec(
            "insert into ok_sentences (pno, course, qcode, sentence, sentdate) "
            "select ?1, ?2, ?3, ?4, ?5 where not exists (select 1 from ok_sentences "
            "where pno = ?1 and course = ?2 and qcode = ?3 and sentence = ?4)",
            {pno, course, qcode, sentence, today});
    } else {
        m_store.exec(
            "insert into err_sentences (pno, course, qcode, errcode, sentence, sentdate) "
            "values (?, ?, ?, ?, ?, ?)",
            {pno, course, qcode, errcode, m_grader.grade(sentence).marked, today});
    }
    raiseProgress(pno, course, qcode, flag);
}

void RecordBook::raiseProgress(const QString& pno, const QString& course, const QString& unitId,
                               const QString& state) {
    if (unitId.isEmpty() || (state != "1" && state != "2" && state != "3")) {
        return;
    }
    m_store.exec(
        "insert into progress (pno, course, unitid, state) values (?, ?, ?, ?) "
        "on conflict (pno, course, unitid) do update set state = excluded.state "
        "where excluded.state > progress.state",
        {pno, course, unitId, state});
}

QString RecordBook::joined(const QString& sql, const QString& pno, const QString& course,
                           const QString& fieldSeparator, const QString& itemEnd) {
    QString text;
    for (const Store::Row& row : m_store.rows(sql, {pno, course})) {
        text += row.join(fieldSeparator) + itemEnd;
    }
    return text;
}

QString RecordBook::correctRecords(const QString& pno, const QString& course) {
    return joined(
        "select id, qcode, sentence, sentdate from ok_sentences "
        "where pno = ? and course = ? order by id",
        pno, course, "#", "<@>");
}

QString RecordBook::wrongRecords(const QString& pno, const QString& course) {
    return joined(
        "select errcode, qcode, sentence, sentdate from err_sentences "
        "where pno = ? and course = ? order by id",
        pno, course, "#", "<@>");
}

QString RecordBook::progressItems(const QString& pno, const QString& course) {
    return joined("select unitid, state from progress where pno = ? and course = ? order by unitid",
                  pno, course, ":", ",");
}

QString RecordBook::mistakeItems(const QString& pno, const QString& course) {
    return joined(
        "select errcode, times from mistakes where pno = ? and course = ? order by errcode", pno,
        course, ":", ",");
}

void RecordBook::mergeFrom(const QString& pno, const QString& fromPno, const QString& course) {
    m_store.begin();
    m_store.exec(
        "insert into ok_sentences (pno, course, qcode, sentence, sentdate, origin) "
        "select ?1, course, qcode, sentence, sentdate, id from ok_sentences s "
        "where s.pno = ?2 and s.course = ?3 and not exists (select 1 from ok_sentences t "
        "where t.pno = ?1 and t.course = s.course and t.qcode = s.qcode "
        "and t.sentence = s.sentence) order by id",
        {pno, fromPno, course});
    m_store.exec(
        "insert into err_sentences (pno, course, qcode, errcode, sentence, sentdate, origin) "
        "select ?1, course, qcode, errcode, sentence, sentdate, id from err_sentences s "
        "where s.pno = ?2 and s.course = ?3 and not exists (select 1 from err_sentences t "
        "where t.pno = ?1 and t.origin = s.id) order by id",
        {pno, fromPno, course});
    for (const Store::Row& row :
         m_store.rows("select unitid, state from progress where pno = ? and course = ?",
                      {fromPno, course})) {
        raiseProgress(pno, course, row.value(0), row.value(1));
    }
    m_store.commit();
}

bool RecordBook::reset(const QString& pno, const QString& course, const QString& kind) {
    if (kind == "error") {
        return m_store.exec("delete from err_sentences where pno = ? and course = ?",
                            {pno, course});
    }
    if (kind == "sentence") {
        return m_store.exec("delete from ok_sentences where pno = ? and course = ?", {pno, course});
    }
    if (kind == "progress") {
        return m_store.exec("delete from progress where pno = ? and course = ?", {pno, course});
    }
    return false;
}
