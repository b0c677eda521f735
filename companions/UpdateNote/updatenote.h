#pragma once

#include <QString>
#include <QtGlobal>

#if defined(UPDATENOTE_LIBRARY)
#  define UPDATENOTE_EXPORT Q_DECL_EXPORT
#else
#  define UPDATENOTE_EXPORT Q_DECL_IMPORT
#endif

// The installed version and the address of the service that announces newer
// ones. The texts never change after construction; delete through the virtual
// destructor.
class UPDATENOTE_EXPORT UpdateNote
{
public:
    UpdateNote();
    virtual ~UpdateNote();

    // Ends in "?" so that the caller can append its query parameters.
    QString getSoftUpdateURL();
    // Dot-separated numbers.
    QString getVersion();

    QString softUpdateUrl;
    QString version;
};

// A new note on the heap; the caller owns and deletes it.
extern "C" UPDATENOTE_EXPORT UpdateNote *getUpdateNote();
