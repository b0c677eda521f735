#include "constants.h"

const QString productTitle = QStringLiteral("职考通 · 上机考试模拟练习系统");

QString appDirPath;
