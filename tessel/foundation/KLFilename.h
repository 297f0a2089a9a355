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

    // `a` and `b` joined with exactly one separator of `style`, in every
    // case: the separators at the end of `a` and at the start of `b` are
    // folded into that one, and an empty side is joined like any other.
    //
    //   concatPaths("images/", "/ok.png", Native) == "images/ok.png"
    //   concatPaths("images", "", Native)         == "images/"
    //   concatPaths("", "ok.png", Native)         == "/ok.png"
    //   concatPaths("", "", Native)               == "/"
    //   concatPaths("/", "/etc", Native)          == "/etc"   (a root stays a root)
    static KLString concatPaths(const KLString& a, const KLString& b, int style);
};

}  // namespace kelp
