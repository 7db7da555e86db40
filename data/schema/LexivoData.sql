-- Course database: the course tree, the question texts and the example
-- sentences. Only bswunit.VISITED changes after installation.

CREATE TABLE bswunit (
    UNITID     TEXT NOT NULL PRIMARY KEY,
    PARENT     TEXT,
    TEXT       TEXT,
    TEACHNOTES TEXT,
    VISITED    TEXT NOT NULL DEFAULT '1',
    IsUnique   TEXT
);
CREATE INDEX bswunit_parent ON bswunit (PARENT, UNITID);

CREATE TABLE bswqcont (
    QCODE  TEXT NOT NULL,
    QORDER INTEGER NOT NULL,
    Q1     TEXT
);
CREATE INDEX bswqcont_qcode ON bswqcont (QCODE, QORDER);

CREATE TABLE example (
    QCODE    TEXT NOT NULL,
    Sentence TEXT,
    CHINESE  TEXT
);
CREATE INDEX example_qcode ON example (QCODE);
