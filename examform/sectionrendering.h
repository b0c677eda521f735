#pragma once

#include <QString>

class ExamPaper;
class PaperSection;

// Small HTML fragments that describe a paper's sections, for the question page,
// the answer card and the paper introduction. Section texts come from the bank
// and are written as markup.

// "<div id=ca_"<id>"  class="" > <p>二、<captionName></p> </div>"; empty for a row outside 0..7.
QString sectionCaptionBlock(const PaperSection &section);
// "<p><h4>第二部分：<bname></h4></p>"; empty for a row outside 0..5.
QString sectionHeading(const PaperSection &section);
// "<p><h4><bname></h4></p>"; empty for a row outside 0..5.
QString sectionHeadingPlain(const PaperSection &section);
// "第二部分"; empty for a row outside 0..5.
QString sectionOrdinal(const PaperSection &section);
// The category name; empty for a row outside 0..5.
QString sectionTitle(const PaperSection &section);
// The count line for 1..6 sections, then the heading of every section.
QString paperIntroduction(const ExamPaper &paper);
// The caption of a practice section, from what the practice holds rather
// than the paper's own caption: "单项选择题（共2题，每题2分，共4分）".
QString practiceCaptionName(const ExamPaper &paper, const PaperSection &section);
