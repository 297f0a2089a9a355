#pragma once

#include <tessel/foundation/KLString.h>

namespace kelp {

// Questions about paths on the file system (symbolic links are followed).
class KLFileInfo {
public:
    // True when `path` names an existing regular file.
    static bool isFile(const KLString& path);
    // True when `path` names an existing directory.
    static bool isDirectory(const KLString& path);
};

}  // namespace kelp
