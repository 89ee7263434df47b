#include "app/logcategories.h"

Q_LOGGING_CATEGORY(lcFlow, "quelvan.flow")
Q_LOGGING_CATEGORY(lcDownload, "quelvan.download")
Q_LOGGING_CATEGORY(lcRun, "quelvan.run")
Q_LOGGING_CATEGORY(lcResults, "quelvan.results")
