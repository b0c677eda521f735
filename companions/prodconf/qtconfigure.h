#pragma once

#include "qtconfigurelayout.h"

#include <QtGlobal>

#if defined(PRODCONF_LIBRARY)
#  define PRODCONF_EXPORT Q_DECL_EXPORT
#else
#  define PRODCONF_EXPORT Q_DECL_IMPORT
#endif

// The edition this library is built as; a program that includes this header
// without saying otherwise gets the first edition's view.
#ifndef PRODCONF_EDITION
#  define PRODCONF_EDITION 1
#endif

#if PRODCONF_EDITION == 1
using QTconfigureEdition = QTconfigureFirstEdition;
#elif PRODCONF_EDITION == 2
using QTconfigureEdition = QTconfigureSecondEdition;
#else
#  error "PRODCONF_EDITION must be 1 or 2"
#endif

// The installation's product configuration: fixed texts, filled by the
// constructor and never changed. No virtual functions and no destructor of its
// own, so a caller's view of the edition's layout frees it completely.
class PRODCONF_EXPORT QTconfigure : public QTconfigureEdition
{
public:
    QTconfigure();
};

// A new configuration on the heap; the caller owns and deletes it.
extern "C" PRODCONF_EXPORT QTconfigure *getQtConfigure();
