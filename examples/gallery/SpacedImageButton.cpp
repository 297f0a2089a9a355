#include "SpacedImageButton.h"

#include "GalleryLook.h"

SpacedImageButton::SpacedImageButton(unsigned int id, const kelp::KLString& directory,
                                     const kelp::KLString& baseName,
                                     const kelp::KLString& caption, CWnd* owner)
    : YBImageButton(id, directory, baseName, caption, GFont("Arial", 7.0, 0, 0),
                    gallery::captionColours(), owner) {
    // The picture stays at its own size, centred at the top; the caption is centred at the bottom.
    const CSize room(24, 6);
    setMinSize(getMinSize() + room);
    setInitialSize(size() + room);
}
