-- Records of a candidate who has practised a while, so that the home page's
-- lists have entries: two stored results, a few wrong answers, a few favourites.
INSERT INTO exam_answer (id, subjectid, paperId, rightCount, worngCount, allCount, scoreCuont, score, anserDate)
VALUES ('shot1', 'km1', 'km1p2', 19, 6, 25, 30, 42, date('now', 'localtime', '-24 days')),
       ('shot2', 'km1', 'km1p3', 22, 3, 25, 31, 38, date('now', 'localtime', '-22 days'));

INSERT INTO error_answer (questionId, subjectId, examid, sequence, fuleixingid)
SELECT q.id, 'km1', s.paperId, 0, q.fuleixingid
FROM exam_paper_static s JOIN exam_question q ON instr(s.questionIds, '"' || q.id || '"') > 0
WHERE s.paperId = 'km1p2' AND substr(q.id, -1) IN ('1', '4', '7');

INSERT INTO exam_Collect (questionid, fuleixingid)
SELECT id, fuleixingid FROM exam_question
WHERE id LIKE 'km1q%' AND relationship = '' AND substr(id, -1) IN ('2', '5', '8');
UPDATE exam_question SET isCollect = 1 WHERE id IN (SELECT questionid FROM exam_Collect);
