#include "agentcard.h"

namespace {
// Positions of the texts within one record.
enum Field { Id, Name, Url, Phone, Email, QQ, Bank, Alipay, EBank, FieldCount };
} // namespace

AgentCard::AgentCard()
    : index(0)
{
    const char *const record[] = {
        "DL-2024-0137",
        "示例图书音像经销部",
        "https://reseller.example.com/",
        "010-5550-0137",
        "service@reseller.example.com",
        "123456789",
        "示例银行北京分行 0000 0000 0000 0137",
        "pay@reseller.example.com",
        "https://ebank.example.com/reseller/0137",
    };
    static_assert(sizeof(record) / sizeof(*record) == FieldCount, "one text per field");
    for (int i = 0; i < FieldCount; ++i)
        recordTable[index + i] = QString::fromUtf8(record[i]);
}

AgentCard::~AgentCard() = default;

QString AgentCard::getpID() { return recordTable[index + Id]; }
QString AgentCard::getpName() { return recordTable[index + Name]; }
QString AgentCard::getpURL() { return recordTable[index + Url]; }
QString AgentCard::getpPhone() { return recordTable[index + Phone]; }
QString AgentCard::getpEmail() { return recordTable[index + Email]; }
QString AgentCard::getpQQ() { return recordTable[index + QQ]; }
QString AgentCard::getpBank() { return recordTable[index + Bank]; }
QString AgentCard::getpAlipay() { return recordTable[index + Alipay]; }
QString AgentCard::getpEBank() { return recordTable[index + EBank]; }

AgentCard *getAgentCard()
{
    return new AgentCard;
}

int add()
{
    return 100;
}
