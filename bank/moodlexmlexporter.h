#pragma once

#include "bankquestion.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// Writes questions as Moodle XML that MoodleXmlParser reads back to the same
// questions: categories from chapters, idnumbers from keys, explanations as
// general feedback, marks as default grade, the pictures of imgDir a text
// shows embedded in base64, case studies as a description followed by their
// parts ("KEY/PART").
class MoodleXmlExporter
{
public:
    static QByteArray write(const QVector<BankQuestion> &questions, const QString &imgDir);
};
