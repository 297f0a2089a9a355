#pragma once

#include <tessel/foundation/KLString.h>

namespace kelp {

// Path-name text operations; nothing here touches the file system.
class KLFilename {
public:
    enum PathStyle {
        Detect = 0,   // the style of the first path's separators, else native
        Native = 1,   // this platform's: '/'
        Posix = 2,    // '/'
        Windows = 3,  // '\\' (and '/' accepted as a separator)
    };

    // `a` and `b` joined with exactly one separator of `style`: separators at
    // the end of `a` and the start of `b` are folded. An empty side gives the
    // other unchanged; a root ("/") stays a root.
    //
    //   concatPaths("images/", "/ok.png", Native) == "images/ok.png"
    static KLString concatPaths(const KLString& a, const KLString& b, int style);
};

}  // namespace kelp
