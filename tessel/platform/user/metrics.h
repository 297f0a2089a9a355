// Internal: the window system's fixed metrics, in pixels and milliseconds:
// what GetSystemMetrics answers and what the frames, captions and standard
// scroll bars are drawn and hit-tested with.
#pragma once

namespace tessel::ws::metrics {

// Frames: a window's border is the widest frame its style asks for, plus
// the client edge of WS_EX_CLIENTEDGE inside it.
constexpr int kBorder = 1;       // WS_BORDER
constexpr int kDialogFrame = 3;  // WS_DLGFRAME
constexpr int kThickFrame = 4;   // WS_THICKFRAME
constexpr int kClientEdge = 2;   // WS_EX_CLIENTEDGE
// The caption of a WS_CAPTION window, below the top frame.
constexpr int kCaption = 23;
// A standard scroll bar's thickness (the width of a vertical one, the height
// of a horizontal one), which is also its arrows' length.
constexpr int kScrollBar = 17;
// Two presses make a double click within this time and this box (centred
// on the first press).
constexpr unsigned kDoubleClickTime = 500;
constexpr int kDoubleClickBox = 4;
// The smallest size a sizable top-level window can be tracked to.
constexpr int kMinTrackWidth = 136;
constexpr int kMinTrackHeight = 39;
// The largest: the screen plus, on each side, the thick frame and this much.
constexpr int kMaxTrackPadding = 2;
// Window positions and sizes stay within 16 bits, as Windows keeps them.
constexpr int kMinCoordinate = -32768;
constexpr int kMaxCoordinate = 32767;
constexpr int kMaxWindowSize = 32767;
// A top-level window's backing surface covers the window's top-left part up
// to this size: no screen is larger, and the pixels stay a few hundred MiB.
constexpr int kMaxSurfaceExtent = 16384;
constexpr long long kMaxSurfacePixels = 1LL << 25;

}  // namespace tessel::ws::metrics
