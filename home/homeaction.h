#pragma once

#include <QList>
#include <QString>

// One button of the start page's action row. The page hands key to the home
// form's homeAction slot when the button is pressed.
struct HomeAction
{
    QString key;
    QString label;
    // A short figure shown beside the label ("12"); none when empty.
    QString badge;
    // Shown when the pointer rests on the button.
    QString hint;
};

using HomeActions = QList<HomeAction>;
