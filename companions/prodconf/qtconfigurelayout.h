#pragma once

#include <QString>

// The member layout of the product configuration, one struct per edition.
// Entry i of every table describes product slot i; a slot without a product
// holds empty texts. A program that reads an edition views the object handed
// over by getQtConfigure() as that edition's struct and deletes it through it.

struct QTconfigureFirstEdition
{
    static constexpr int SlotCount = 9;

    QString groupCodes[SlotCount];    // six characters
    QString productCodes[SlotCount];  // six characters
    QString productTitles[SlotCount]; // examination product with its edition
    QString shortNames[SlotCount];    // name shown in product lists
    QString bankEditions[SlotCount];  // year and month of the question bank
    QString programVersion;
    QString bankVersion;
};

struct QTconfigureSecondEdition
{
    static constexpr int SlotCount = 99;

    QString groupCodes[SlotCount];    // five characters
    QString productCodes[SlotCount];  // six characters
    QString productTitles[SlotCount];
    QString shortNames[SlotCount];
    QString bankEditions[SlotCount];
};

// Programs built against another copy of these structs rely on their size.
static_assert(sizeof(QTconfigureFirstEdition) == 47 * sizeof(QString),
              "first edition: five tables of 9 texts and two version texts");
static_assert(sizeof(QTconfigureSecondEdition) == 495 * sizeof(QString),
              "second edition: five tables of 99 texts");
