-- Learner database: the learner's sentences and error counters. Rows are
-- inserted by position, so the column order is part of the format.

-- Sentences written correctly: record id, question code, sentence, date.
CREATE TABLE UserSntn (
    id       TEXT,
    qcode    TEXT,
    Sentence TEXT,
    sentdate TEXT
);
CREATE INDEX UserSntn_qcode ON UserSntn (qcode);

-- Sentences marked wrong: record id, sentence with its faulty parts between
-- "*" marks, error code, date, origin ('N' checked here, 'Y' from a sync).
CREATE TABLE errsentence (
    id         TEXT,
    sentence   TEXT,
    errcode    TEXT,
    errdate    TEXT,
    fromserver TEXT
);
CREATE INDEX errsentence_errcode ON errsentence (errcode);

-- How often each error code occurred.
CREATE TABLE mistakes (
    errcode TEXT,
    times   INTEGER
);
CREATE INDEX mistakes_errcode ON mistakes (errcode);
