#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/install.h"
#include "shared/servicescripts.h"

bool CheckCourseVersion(const QString& pCourseId) {
    QString serverVersion;
    if (FolderExists(ProductFolder())) {
        serverVersion = GetCourseVersion(pCourseId);
    }
    return CheckCourseVersionWith(pCourseId, serverVersion);
}
