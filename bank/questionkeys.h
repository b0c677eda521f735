#pragma once

#include "bankquestion.h"

#include <QHash>
#include <QString>

// The stable keys that let a re-imported file update its paper in place: the
// key the file names (GIFT title, Moodle idnumber or name, spreadsheet 题号),
// else a hash of the question's type and stem; the second and later of equal keys get
// their place ("#2", "#3"), since a file may hold one question twice. A case
// study's parts are keyed under their case ("KEY/PART").
class QuestionKeys
{
public:
    // The key of the next question of a list (call in file order).
    QString next(const BankQuestion &question, const QString &parentKey = QString());

    // A digest of everything stored for a question, parts included: equal
    // digests mean the stored rows would not change.
    static QString contentHash(const BankQuestion &question);

private:
    QHash<QString, int> m_seen;
};
