// The whole public interface of Tessel, layer by layer.
#pragma once

// platform: the Win32 and MFC shapes, GDI over Cairo and Pango
#include <tessel/platform/afx_app.h>
#include <tessel/platform/afx_dc.h>
#include <tessel/platform/afx_gdi.h>
#include <tessel/platform/afx_geometry.h>
#include <tessel/platform/afx_msgmap.h>
#include <tessel/platform/afx_string.h>
#include <tessel/platform/afx_window_dc.h>
#include <tessel/platform/afx_wnd.h>
#include <tessel/platform/display.h>
#include <tessel/platform/input_events.h>
#include <tessel/platform/gdi.h>
#include <tessel/platform/win_rect.h>
#include <tessel/platform/win_types.h>
#include <tessel/platform/wait_sources.h>
#include <tessel/platform/win_events.h>
#include <tessel/platform/win_user.h>

// foundation (namespace kelp)
#include <tessel/foundation/KLArray.h>
#include <tessel/foundation/KLConcurrentModificationException.h>
#include <tessel/foundation/KLException.h>
#include <tessel/foundation/KLFileInfo.h>
#include <tessel/foundation/KLFilename.h>
#include <tessel/foundation/KLFixedSizeMemoryManager.h>
#include <tessel/foundation/KLFlags.h>
#include <tessel/foundation/KLIllegalStateException.h>
#include <tessel/foundation/KLIndexOutOfBoundsException.h>
#include <tessel/foundation/KLIntegerArray.h>
#include <tessel/foundation/KLIterator.h>
#include <tessel/foundation/KLList.h>
#include <tessel/foundation/KLMemoryException.h>
#include <tessel/foundation/KLNoSuchElementException.h>
#include <tessel/foundation/KLString.h>
#include <tessel/foundation/KLValue.h>
#include <tessel/foundation/KLVector.h>
#include <tessel/foundation/kl_status.h>

// drawing
#include <tessel/drawing/CxImage.h>
#include <tessel/drawing/GFont.h>
#include <tessel/drawing/GPadding.h>
#include <tessel/drawing/Shades.h>
#include <tessel/drawing/XDC.h>
#include <tessel/drawing/XImage.h>
#include <tessel/drawing/XMemDC.h>

// the toolkit: windows, components and the module
#include <tessel/components/YBButton.h>
#include <tessel/components/YBComponent.h>
#include <tessel/components/YBComponentWnd.h>
#include <tessel/components/YBImageButton.h>
#include <tessel/components/YBText.h>
#include <tessel/components/YBTextButton.h>
#include <tessel/layout/YBManagerWnd.h>
#include <tessel/layout/YBSplitterBar.h>
#include <tessel/layout/YBSplitterPane.h>
#include <tessel/layout/YBSplitterWnd.h>
#include <tessel/layout/YBToolBarEntry.h>
#include <tessel/layout/YBToolBarWnd.h>
#include <tessel/module/Tessel.h>
#include <tessel/windows/YBBaseWnd.h>
#include <tessel/windows/YBButtonWnd.h>
#include <tessel/windows/YBChildWnd.h>
#include <tessel/windows/YBScreenDC.h>
#include <tessel/windows/YBTextButtonLook.h>
#include <tessel/windows/YBTextButtonStyle.h>
#include <tessel/windows/YBTextButtonWnd.h>
#include <tessel/windows/YBTextWnd.h>
