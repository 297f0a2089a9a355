// The GDI calls of the platform layer: device contexts, drawing objects,
// drawing, text and bitmaps, over Cairo and Pango. Every call accepts null
// and stale handles and fails quietly (FALSE, 0, null or CLR_INVALID), as
// GDI does. Coordinates are logical: the DC's origin and viewport origin
// map them to pixels. Rectangles fill left/top inclusive, right/bottom exclusive.
#pragma once

#include <tessel/platform/win_types.h>

// Device contexts
HDC CreateCompatibleDC(HDC reference);  // a memory DC holding a 1x1 bitmap
HDC CreateDCW(LPCWSTR driver, LPCWSTR device, LPCWSTR output,
              const void* initData);  // L"DISPLAY": the screen, for measuring
BOOL DeleteDC(HDC dc);
int SaveDC(HDC dc);
BOOL RestoreDC(HDC dc, int savedLevel);  // savedLevel < 0: relative to the newest save
BOOL SetViewportOrgEx(HDC dc, int x, int y, LPPOINT previous);
BOOL GetViewportOrgEx(HDC dc, LPPOINT origin);
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, LPPOINT previous);

// Objects
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);  // the previous object of that kind, or null
BOOL DeleteObject(HGDIOBJ object);             // stock objects are never deleted
HGDIOBJ GetStockObject(int index);
HGDIOBJ GetCurrentObject(HDC dc, UINT type);
DWORD GetObjectType(HGDIOBJ object);
int GetObjectW(HGDIOBJ object, int size, LPVOID buffer);
#define GetObject GetObjectW
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateBrushIndirect(const LOGBRUSH* logBrush);
HBRUSH GetSysColorBrush(int index);
DWORD GetSysColor(int index);
HPEN CreatePen(int style, int width, COLORREF color);
HFONT CreateFontIndirectW(const LOGFONTW* logFont);
#define CreateFontIndirect CreateFontIndirectW
HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCWSTR face);
#define CreateFont CreateFontW
COLORREF SetDCBrushColor(HDC dc, COLORREF color);
COLORREF SetDCPenColor(HDC dc, COLORREF color);

// Bitmaps: 32-bit premultiplied ARGB, rows top-down.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
// 32 bits per pixel, BI_RGB, top-down (negative biHeight) only; *bits receives the pixels.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
BOOL GdiFlush();

// Regions
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom);
int CombineRgn(HRGN destination, HRGN a, HRGN b, int mode);
int OffsetRgn(HRGN region, int dx, int dy);
int GetRgnBox(HRGN region, LPRECT box);
BOOL PtInRegion(HRGN region, int x, int y);
BOOL RectInRegion(HRGN region, const RECT* rect);
BOOL EqualRgn(HRGN a, HRGN b);
BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush);

// Clipping (logical coordinates); results are region kinds or ERROR.
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
int SelectClipRgn(HDC dc, HRGN region);  // region in device coordinates; null removes the clip
int GetClipBox(HDC dc, LPRECT box);

// Attributes
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
UINT SetTextAlign(HDC dc, UINT align);
UINT GetTextAlign(HDC dc);
int SetStretchBltMode(HDC dc, int mode);

// Shapes. The pen draws inside the figure's rectangle; a null pen leaves the
// right and bottom edges unfilled, as in GDI.
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);  // brush may be (HBRUSH)(COLOR_x + 1)
// The dotted focus rectangle, drawn by XOR: a second call erases it.
BOOL DrawFocusRect(HDC dc, const RECT* rect);
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
BOOL MoveToEx(HDC dc, int x, int y, LPPOINT previous);
BOOL LineTo(HDC dc, int x, int y);  // the end point itself is not drawn
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC dc, int x, int y);

// Blits
BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
            int sourceY, DWORD rop);
BOOL StretchBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
                int sourceY, int sourceWidth, int sourceHeight, DWORD rop);
BOOL AlphaBlend(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
                int sourceY, int sourceWidth, int sourceHeight, BLENDFUNCTION blend);

// Text. count -1 means a null-terminated string.
int DrawTextW(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT format);
#define DrawText DrawTextW
BOOL TextOutW(HDC dc, int x, int y, LPCWSTR text, int count);
#define TextOut TextOutW
BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, LPSIZE size);
#define GetTextExtentPoint32 GetTextExtentPoint32W
BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics);
#define GetTextMetrics GetTextMetricsW

// Process resources: GR_GDIOBJECTS counts live GDI objects (stock objects excluded).
HANDLE GetCurrentProcess();
DWORD GetGuiResources(HANDLE process, DWORD flags);
