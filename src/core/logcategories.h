#ifndef LOGCATEGORIES_H
#define LOGCATEGORIES_H

#include <QLoggingCategory>

// One category per subsystem, so QT_LOGGING_RULES can select each, for example
// QT_LOGGING_RULES="quelvan.download.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcFlow)
Q_DECLARE_LOGGING_CATEGORY(lcDownload)
Q_DECLARE_LOGGING_CATEGORY(lcRun)
Q_DECLARE_LOGGING_CATEGORY(lcResults)

#endif // LOGCATEGORIES_H
