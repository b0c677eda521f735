#include "qtconfigure.h"

#include <iterator>

namespace {

struct ProductSlot
{
    const char *groupCode;
    const char *productCode;
    const char *title;
    const char *shortName;
    const char *bankEdition;
};

#if PRODCONF_EDITION == 1
// Desktop edition: one product per level of each subject, and the combined volume.
const ProductSlot products[] = {
    {"JSJJC0", "JSJ101", "计算机基础知识（初级）2024年版", "计算机基础（初级）", "2024-03"},
    {"JSJJC0", "JSJ102", "计算机基础知识（中级）2024年版", "计算机基础（中级）", "2024-03"},
    {"JSJJC0", "JSJ103", "计算机基础知识（高级）2024年版", "计算机基础（高级）", "2024-05"},
    {"AQSCC0", "AQS201", "安全生产常识（从业人员）2024年版", "安全常识（从业人员）", "2024-04"},
    {"AQSCC0", "AQS202", "安全生产常识（管理人员）2024年版", "安全常识（管理人员）", "2024-04"},
    {"AQSCC0", "AQS203", "安全生产常识（主要负责人）2024年版", "安全常识（负责人）", "2024-06"},
    {"ZHTK00", "ZHT301", "计算机基础知识·安全生产常识合订本2024年版", "合订本", "2024-06"},
};
#else
// Network edition: room for many products, of which the two subjects use four.
const ProductSlot products[] = {
    {"JSJJC", "JSJ111", "计算机基础知识 2025年网络版", "计算机基础", "2025-01"},
    {"JSJJC", "JSJ112", "计算机基础知识（高级）2025年网络版", "计算机基础（高级）", "2025-01"},
    {"AQSCC", "AQS211", "安全生产常识 2025年网络版", "安全常识", "2025-02"},
    {"AQSCC", "AQS212", "安全生产常识（管理人员）2025年网络版", "安全常识（管理人员）", "2025-02"},
};
#endif

static_assert(std::size(products) <= QTconfigureEdition::SlotCount,
              "more products than slots");

} // namespace

QTconfigure::QTconfigure()
{
    int slot = 0;
    for (const ProductSlot &product : products) {
        groupCodes[slot] = QString::fromUtf8(product.groupCode);
        productCodes[slot] = QString::fromUtf8(product.productCode);
        productTitles[slot] = QString::fromUtf8(product.title);
        shortNames[slot] = QString::fromUtf8(product.shortName);
        bankEditions[slot] = QString::fromUtf8(product.bankEdition);
        ++slot;
    }
#if PRODCONF_EDITION == 1
    programVersion = QStringLiteral("3.2.0");
    bankVersion = QStringLiteral("2024.6.1");
#endif
}

QTconfigure *getQtConfigure()
{
    return new QTconfigure;
}
