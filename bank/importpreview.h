#pragma once

#include "bankwriter.h"
#include "parsedbank.h"

#include <QString>
#include <QStringList>

// The texts the import dialog shows before anything is written.
namespace ImportPreview {

// "单选 12 · 多选 5 · 判断 8", the types the file holds, parts counted by type,
// then the number of questions the bank cannot hold ("；1 道题题库不能保存，不导入").
QString typeSummary(const ParsedBank &bank);
// One line per question: where it starts, its type, the start of its stem and
// its answer; a case's parts indented under it.
QStringList questionLines(const ParsedBank &bank);
// One line per problem: "第 12 行：reason", notes marked "（提示）", questions
// the bank cannot hold "（不能保存的题目）".
QStringList problemLines(const ParsedBank &bank);
// What the import does to the paper of that name: a new paper, the changes
// to the one imported under that name before, or why it cannot be written.
QString changeSummary(const ImportCounts &counts, const QString &paperName);
// "新增 3，修改 1，未变 20，删除 0".
QString countsText(const ImportCounts &counts);
// The file's name without its format's suffix, the default paper name.
QString paperNameOf(const QString &path);
// The file dialog's filter of the formats the bank reads.
QString fileFilter();

} // namespace ImportPreview
