-- Error list of the checking engine, read only by the program. Every error
-- code begins with the id of its category.

CREATE TABLE errtype (
    errtype_id TEXT NOT NULL PRIMARY KEY,
    errtype    TEXT
);

CREATE TABLE errmain (
    errcode TEXT NOT NULL PRIMARY KEY,
    outline TEXT
);
