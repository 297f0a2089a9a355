#include "KLFileInfo.h"

#include <sys/stat.h>

namespace kelp {

namespace {
bool statPath(const KLString& path, struct stat& info) {
    return !path.isEmpty() && ::stat(path.toUtf8().c_str(), &info) == 0;
}
}  // namespace

bool KLFileInfo::isFile(const KLString& path) {
    struct stat info;
    return statPath(path, info) && S_ISREG(info.st_mode);
}

bool KLFileInfo::isDirectory(const KLString& path) {
    struct stat info;
    return statPath(path, info) && S_ISDIR(info.st_mode);
}

}  // namespace kelp
