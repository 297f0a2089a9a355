// An image button whose picture has room on either side, so the captions of
// neighbouring buttons never touch.
//
//   host.addComponent(new SpacedImageButton(1000, L"icons", L"star", L"star 0", &host), false, false);
#pragma once

#include <tessel/components/YBImageButton.h>

class SpacedImageButton : public YBImageButton {
public:
    SpacedImageButton(unsigned int id, const kelp::KLString& directory,
                      const kelp::KLString& baseName, const kelp::KLString& caption, CWnd* owner);
};
