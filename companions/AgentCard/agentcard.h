#pragma once

#include <QString>
#include <QtGlobal>

#if defined(AGENTCARD_LIBRARY)
#  define AGENTCARD_EXPORT Q_DECL_EXPORT
#else
#  define AGENTCARD_EXPORT Q_DECL_IMPORT
#endif

// Contact and payment details of the reseller who sold this copy. The record
// starts at `index` in the table; the texts never change after construction.
// Delete through the virtual destructor.
class AGENTCARD_EXPORT AgentCard
{
public:
    AgentCard();
    virtual ~AgentCard();

    QString getpID();
    QString getpName();
    QString getpURL();
    QString getpPhone();
    QString getpEmail();
    QString getpQQ();
    QString getpBank();
    QString getpAlipay();
    QString getpEBank();

    int index;
    QString recordTable[9];
};

// A new card on the heap; the caller owns and deletes it.
extern "C" AGENTCARD_EXPORT AgentCard *getAgentCard();

// Lets a loader check that it has reached this library: always 100.
extern "C" AGENTCARD_EXPORT int add();
