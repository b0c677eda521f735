-- Schema of data.db: the question bank and the user's own records.
PRAGMA foreign_keys = OFF;

CREATE TABLE exam_subject (
  id   TEXT PRIMARY KEY,
  name TEXT
);

CREATE TABLE exam_chapter (
  id        TEXT PRIMARY KEY,
  subjectid TEXT,
  name      TEXT,
  sortNo    INTEGER
);

CREATE TABLE exam_paper (
  id          TEXT PRIMARY KEY,
  name        TEXT,
  asname      TEXT,
  subjectId   TEXT,
  totalCent   REAL,
  passCent    REAL,
  examTime    INTEGER,
  xzremark    TEXT,
  xzcount     INTEGER,
  paperTypeid TEXT,
  sortNo      INTEGER
);

CREATE TABLE exam_paper_static (
  id             TEXT PRIMARY KEY,
  paperId        TEXT,
  subjectid      TEXT,
  sequence       INTEGER,
  captionName    TEXT,
  questionTypeid INTEGER,
  fuleixingid    TEXT,
  questionIds    TEXT,
  quantity       INTEGER,
  mark           REAL,
  isselect       INTEGER DEFAULT 0
);

CREATE TABLE exam_dic_fuleixing (
  id             TEXT PRIMARY KEY,
  name           TEXT,
  questionType   INTEGER,
  questionTypeId INTEGER,
  subjectid      TEXT
);

CREATE TABLE exam_question (
  id             TEXT PRIMARY KEY,
  questionTypeid INTEGER,
  title          TEXT,
  titleImage     TEXT,
  option1        TEXT,
  option2        TEXT,
  option3        TEXT,
  option4        TEXT,
  option5        TEXT,
  optionLength   INTEGER,
  answer         TEXT,
  analysis       TEXT,
  cent           REAL,
  difficulty     REAL,
  source         TEXT,
  level          INTEGER,
  questionYear   TEXT,
  layout         INTEGER,
  grade          INTEGER,
  chapterId      TEXT,
  parentId       TEXT,
  relationship   TEXT DEFAULT '',
  fuleixingid    TEXT,
  sortNo         INTEGER,
  video          TEXT DEFAULT '',
  isCollect      INTEGER DEFAULT 0
);

CREATE TABLE exam_answer (
  id         TEXT PRIMARY KEY,
  subjectid  TEXT,
  paperId    TEXT,
  rightCount INTEGER,
  worngCount INTEGER,
  allCount   INTEGER,
  scoreCuont REAL,
  score      REAL,
  anserDate  DATE,
  useSecond  INTEGER,
  answers    TEXT
);

CREATE TABLE error_answer (
  questionId  TEXT,
  subjectId   TEXT,
  chapterId   TEXT,
  parentId    TEXT,
  examid      TEXT,
  sequence    INTEGER,
  fuleixingid TEXT
);

CREATE TABLE exam_Collect (
  questionid  TEXT,
  fuleixingid TEXT
);

CREATE TABLE t_dic_data (
  id      TEXT PRIMARY KEY,
  dtype   INTEGER,
  typekey TEXT,
  name    TEXT
);

CREATE INDEX idx_question_relationship ON exam_question(relationship);
CREATE INDEX idx_question_parent ON exam_question(parentId);
CREATE INDEX idx_static_paper ON exam_paper_static(paperId);
CREATE INDEX idx_answer_paper ON exam_answer(paperId);
CREATE INDEX idx_error_exam ON error_answer(examid);
CREATE INDEX idx_error_question ON error_answer(questionId);
CREATE INDEX idx_collect_question ON exam_Collect(questionid);
CREATE INDEX idx_collect_category ON exam_Collect(fuleixingid);
