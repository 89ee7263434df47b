#include "core/logcategories.h"

// Warnings only by default: debug lines would print the test text, answers included, on
// any terminal quelvan is started from. QT_LOGGING_RULES turns them on.

Q_LOGGING_CATEGORY(lcFlow, "quelvan.flow", QtWarningMsg)
Q_LOGGING_CATEGORY(lcDownload, "quelvan.download", QtWarningMsg)
Q_LOGGING_CATEGORY(lcRun, "quelvan.run", QtWarningMsg)
Q_LOGGING_CATEGORY(lcResults, "quelvan.results", QtWarningMsg)
