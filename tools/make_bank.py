#!/usr/bin/env python3
"""Builds data/sample_bank.sql from the readable bank source data/bank_source.txt.

Usage: tools/make_bank.py [source] [output]

Source format (one directive per line, '#' starts a comment line):

  subject ID NAME
  chapter ID NAME                      chapter of the current subject; becomes the current chapter
  category ID TYPE NAME                question category of the current subject (TYPE 1..6)
  type ID DTYPE NAME                   paper type (t_dic_data row, typekey "sjlx")
  paper ID TYPEID SORT MINUTES NAME    a paper of the current subject
  asname TEXT                          second name of the current paper
  choose COUNT REMARK                  optional sections: how many to choose, and the remark
  section CATEGORY CENT [optional] [CAPTION]
                                       a section; its question type is the category's
  use CHAPTER                          chapter of the questions that follow
  Q TEXT                               a top-level question of the section's type
  Q1 .. Q4 TEXT                        a child of the last composite, of the given type
  + TEXT                               continues the stem on a new line
  A TEXT .. E TEXT                     options
  = ANSWER                             letters; "对"/"错" for true/false; blanks joined by "|"
  ! TEXT                               explanation (may be repeated: joined with <br/>)
  $ CENT                               marks of this question instead of the section's

Blanks of fill-in questions are runs of three or more "_" in the stem. An image is
written {img:NAME.svg} in a stem, an option or an explanation; it is shown from the
img/ folder of the application directory and left out of the plain title.

A child of a composite keeps its own stem in titleImage; its title holds the
composite's material, which the program shows above the child's stem.
"""
import json
import re
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
IMG_TOKEN = re.compile(r"\{img:([A-Za-z0-9_.-]+)\}")
BLANK = re.compile(r"_{3,}")


class BankError(Exception):
    pass


def sql_text(value):
    if value is None:
        return "NULL"
    if isinstance(value, (int, float)):
        return repr(value) if isinstance(value, float) else str(value)
    text = str(value)
    if "\n" in text:
        raise BankError("line break in a text: %r" % text[:40])
    return "'" + text.replace("'", "''") + "'"


def shown(text):
    return IMG_TOKEN.sub(lambda m: '<img src="/%s" alt="" />' % m.group(1), text)


def plain(text):
    return re.sub(r"[ \t]+", " ", IMG_TOKEN.sub("", text).replace("<br/>", " ")).strip()


def number_text(value):
    return str(int(value)) if float(value).is_integer() else str(value)


class Question:
    def __init__(self, qid, qtype, stem, chapter, line):
        self.id = qid
        self.type = qtype
        self.stem = stem
        self.chapter = chapter
        self.line = line
        self.options = []
        self.answer = None
        self.analysis = []
        self.cent = None
        self.children = []
        self.parent = None


class Bank:
    def __init__(self):
        self.subjects = []      # (id, name)
        self.chapters = []      # (id, subject, name, sortNo)
        self.categories = {}    # id -> dict
        self.types = []         # (id, dtype, name)
        self.papers = []
        self.subject = None
        self.chapter = None
        self.paper = None
        self.section = None
        self.question = None
        self.counter = {}

    def next_id(self, prefix):
        self.counter[prefix] = self.counter.get(prefix, 0) + 1
        return "%sq%03d" % (prefix, self.counter[prefix])

    def parse(self, path):
        for number, raw in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            line = raw.strip()
            if not line or line.startswith("#"):
                continue
            try:
                self.directive(line, number)
            except (BankError, ValueError, IndexError) as error:
                raise BankError("%s:%d: %s" % (path.name, number, error))

    def directive(self, line, number):
        head, _, rest = line.partition(" ")
        rest = rest.strip()
        if head == "subject":
            sid, name = rest.split(" ", 1)
            self.subjects.append((sid, name))
            self.subject = sid
        elif head == "chapter":
            cid, name = rest.split(" ", 1)
            sort = sum(1 for c in self.chapters if c[1] == self.subject) + 1
            self.chapters.append((cid, self.subject, name, sort))
            self.chapter = cid
        elif head == "category":
            cid, qtype, name = rest.split(" ", 2)
            order = sum(1 for c in self.categories.values() if c["subject"] == self.subject) + 1
            self.categories[cid] = dict(id=cid, type=int(qtype), name=name,
                                        subject=self.subject, order=order)
        elif head == "type":
            tid, dtype, name = rest.split(" ", 2)
            self.types.append((tid, int(dtype), name))
        elif head == "paper":
            pid, tid, sort, minutes, name = rest.split(" ", 4)
            if tid not in [t[0] for t in self.types]:
                raise BankError("unknown paper type " + tid)
            self.paper = dict(id=pid, type=tid, sort=int(sort), minutes=int(minutes), name=name,
                              asname=name, subject=self.subject, xzcount=0, xzremark="",
                              sections=[])
            self.papers.append(self.paper)
        elif head == "asname":
            self.paper["asname"] = rest
        elif head == "choose":
            count, remark = rest.split(" ", 1)
            self.paper["xzcount"] = int(count)
            self.paper["xzremark"] = remark
        elif head == "section":
            parts = rest.split(" ", 2)
            cat, cent = parts[0], float(parts[1])
            tail = parts[2] if len(parts) > 2 else ""
            optional = tail.startswith("optional")
            caption = tail[len("optional"):].strip() if optional else tail
            if cat not in self.categories or self.categories[cat]["subject"] != self.subject:
                raise BankError("unknown category " + cat)
            self.section = dict(category=cat, type=self.categories[cat]["type"], cent=cent,
                                optional=optional, caption=caption, questions=[])
            self.paper["sections"].append(self.section)
            self.question = None
        elif head == "use":
            if rest not in [c[0] for c in self.chapters if c[1] == self.subject]:
                raise BankError("unknown chapter " + rest)
            self.chapter = rest
        elif head == "Q":
            q = Question(self.next_id(self.subject), self.section["type"], rest, self.chapter, number)
            self.section["questions"].append(q)
            self.question = q
        elif re.fullmatch(r"Q[1-4]", head):
            top = self.section["questions"][-1] if self.section["questions"] else None
            if top is None or top.type != 6:
                raise BankError("a child needs a composite before it")
            q = Question(self.next_id(self.subject), int(head[1]), rest, self.chapter, number)
            q.parent = top
            top.children.append(q)
            self.question = q
        elif head == "+":
            self.question.stem += "<br/>" + rest
        elif re.fullmatch(r"[A-E]", head):
            if len(self.question.options) != "ABCDE".index(head):
                raise BankError("options out of order")
            self.question.options.append(rest)
        elif head == "=":
            self.question.answer = rest
        elif head == "!":
            self.question.analysis.append(rest)
        elif head == "$":
            self.question.cent = float(rest)
        else:
            raise BankError("unknown directive " + head)


def finish_question(q, section_cent):
    """Fills answer, optionLength and marks, and checks what the program relies on."""
    where = "line %d" % q.line
    if q.type in (5, 6) and IMG_TOKEN.search(q.stem):
        raise BankError(where + ": essays and composites are shown by their plain title: no images")
    if q.cent is None:
        q.cent = 0.0 if q.type == 6 else section_cent
    if q.type in (1, 2):
        if len(q.options) < 2:
            raise BankError(where + ": a choice question needs options")
        q.length = len(q.options)
        letters = "ABCDE"[:q.length]
        if not q.answer or any(ch not in letters for ch in q.answer):
            raise BankError(where + ": answer outside the options")
        if q.type == 1 and len(q.answer) != 1:
            raise BankError(where + ": single choice needs one letter")
        if q.type == 2 and (len(q.answer) < 2 or "".join(sorted(set(q.answer))) != q.answer):
            raise BankError(where + ": multiple choice needs two or more letters in order")
    elif q.type == 3:
        q.options = ["正确", "错误"]
        q.length = 2
        if q.answer not in ("对", "错"):
            raise BankError(where + ": true/false answer is 对 or 错")
        q.answer = "A" if q.answer == "对" else "B"
    elif q.type == 4:
        q.length = len(BLANK.findall(q.stem))
        if q.length < 1 or q.length > 10:
            raise BankError(where + ": a fill-in question needs 1 to 10 blanks")
        if q.answer is None or len(q.answer.split("|")) != q.length:
            raise BankError(where + ": one answer part per blank, joined with |")
        if q.options:
            raise BankError(where + ": fill-in questions have no options")
    elif q.type == 5:
        q.length = 1
        if q.answer is not None:
            raise BankError(where + ": an essay is self-assessed; put the points in the explanation")
        q.answer = "A"
    elif q.type == 6:
        q.length = 0
        if not 2 <= len(q.children) <= 4:
            raise BankError(where + ": a composite has 2 to 4 children")
        if q.answer is not None or q.options:
            raise BankError(where + ": a composite has no answer or options of its own")
        q.answer = ""
        for child in q.children:
            if child.type == 6:
                raise BankError(where + ": composites do not nest")
            finish_question(child, section_cent)


def answerable(q):
    return q.children if q.type == 6 else [q]


def caption_for(bank, paper, index, section):
    if section["caption"]:
        return section["caption"]
    category = bank.categories[section["category"]]
    items = [a for q in section["questions"] for a in answerable(q)]
    cents = {a.cent for a in items}
    mark = sum(a.cent for a in items)
    each = "每题%s分，" % number_text(cents.pop()) if len(cents) == 1 else ""
    optional = "选做题：" if section["optional"] else ""
    # The program puts the section's ordinal ("一、") in front of the caption itself.
    return "%s%s（共%d题，%s共%s分）" % (optional, category["name"], len(items), each,
                                  number_text(mark))


def generate(bank):
    out = ["-- Sample question bank: two subjects with their papers, sections and questions.",
           "-- Generated by tools/make_bank.py from data/bank_source.txt; edit the source, not this file.",
           "-- Every statement is one line, so each ends with \";\" at a line end.",
           "BEGIN TRANSACTION;"]

    def insert(table, columns, values):
        out.append("INSERT INTO %s(%s) VALUES(%s);" % (
            table, ",".join(columns), ",".join(sql_text(v) for v in values)))

    for tid, dtype, name in bank.types:
        insert("t_dic_data", ["id", "dtype", "typekey", "name"], [tid, dtype, "sjlx", name])
    for sid, name in bank.subjects:
        insert("exam_subject", ["id", "name"], [sid, name])
    for cid, sid, name, sort in bank.chapters:
        insert("exam_chapter", ["id", "subjectid", "name", "sortNo"], [cid, sid, name, sort])
    for c in bank.categories.values():
        insert("exam_dic_fuleixing", ["id", "name", "questionType", "questionTypeId", "subjectid"],
               [c["id"], c["name"], c["order"], c["type"], c["subject"]])

    question_columns = ["id", "questionTypeid", "title", "titleImage", "option1", "option2",
                        "option3", "option4", "option5", "optionLength", "answer", "analysis",
                        "cent", "difficulty", "source", "level", "questionYear", "layout", "grade",
                        "chapterId", "parentId", "relationship", "fuleixingid", "sortNo", "video",
                        "isCollect"]
    sort_no = 0
    for paper in bank.papers:
        compulsory = 0.0
        optional_marks = []
        year = re.search(r"(20\d\d)", paper["name"])
        year = year.group(1) if year else "2025"
        section_rows = []
        question_rows = []
        for index, section in enumerate(paper["sections"]):
            for q in section["questions"]:
                finish_question(q, section["cent"])
            items = [a for q in section["questions"] for a in answerable(q)]
            mark = sum(a.cent for a in items)
            if section["optional"]:
                optional_marks.append(mark)
            else:
                compulsory += mark
            ids = []
            for q in section["questions"]:
                entry = {"qid": q.id}
                if q.type == 6:
                    entry["leaf"] = [{"qid": c.id} for c in q.children]
                ids.append(entry)
            section_id = "%ss%d" % (paper["id"], index + 1)
            section_rows.append([section_id, paper["id"], paper["subject"], index + 1,
                                 caption_for(bank, paper, index, section), section["type"],
                                 section["category"], json.dumps(ids, ensure_ascii=False,
                                                                 separators=(",", ":")),
                                 len(items), mark, 1 if section["optional"] else 0])
            for q in section["questions"]:
                for row_q in [q] + q.children:
                    sort_no += 1
                    parent = row_q.parent.id if row_q.parent else ""
                    title = plain(row_q.parent.stem if row_q.parent else row_q.stem)
                    options = [shown(o) for o in row_q.options] + [""] * (5 - len(row_q.options))
                    question_rows.append(
                        [row_q.id, row_q.type, title, shown(row_q.stem)] + options +
                        [row_q.length, row_q.answer, shown("<br/>".join(row_q.analysis)),
                         row_q.cent, 2.0 if row_q.type in (2, 5, 6) else 1.0, "原创", 1, year, 0, 0,
                         row_q.chapter, parent, parent, section["category"], sort_no, "", 0])
        if paper["xzcount"] and not optional_marks:
            raise BankError(paper["id"] + ": choose given without optional sections")
        if optional_marks and not paper["xzcount"]:
            raise BankError(paper["id"] + ": optional sections need a choose line")
        if len(set(optional_marks)) > 1:
            raise BankError(paper["id"] + ": optional sections must carry equal marks")
        categories = [s["category"] for s in paper["sections"]]
        if len(set(categories)) != len(categories):
            raise BankError(paper["id"] + ": each section of a paper needs its own category")
        total = compulsory + (optional_marks[0] * paper["xzcount"] if optional_marks else 0)
        insert("exam_paper", ["id", "name", "asname", "subjectId", "totalCent", "passCent",
                              "examTime", "xzremark", "xzcount", "paperTypeid", "sortNo"],
               [paper["id"], paper["name"], paper["asname"], paper["subject"], total,
                round(total * 0.6), paper["minutes"], paper["xzremark"], paper["xzcount"],
                paper["type"], paper["sort"]])
        for row in section_rows:
            insert("exam_paper_static", ["id", "paperId", "subjectid", "sequence", "captionName",
                                         "questionTypeid", "fuleixingid", "questionIds",
                                         "quantity", "mark", "isselect"], row)
        for row in question_rows:
            insert("exam_question", question_columns, row)
    out.append("COMMIT;")
    return "\n".join(out) + "\n"


def main():
    source = Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "data" / "bank_source.txt"
    target = Path(sys.argv[2]) if len(sys.argv) > 2 else ROOT / "data" / "sample_bank.sql"
    bank = Bank()
    try:
        bank.parse(source)
        sql = generate(bank)
    except BankError as error:
        sys.exit("make_bank: %s" % error)
    target.write_text(sql, encoding="utf-8")
    count = sum(1 for line in sql.splitlines() if line.startswith("INSERT INTO exam_question("))
    print("make_bank: %d questions, %d papers written to %s" % (count, len(bank.papers), target))


if __name__ == "__main__":
    main()
