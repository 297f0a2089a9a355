// Accessibility events, as Windows raises them for assistive technology:
// the window system reports what happens to windows (created, destroyed,
// shown, hidden, moved, focused, enabled, renamed, activated), and a control
// that draws windowless parts reports theirs with NotifyWinEvent, naming the
// part by a child id of its own.
//
//   HWINEVENTHOOK hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, onEvent,
//                                        0, 0, WINEVENT_OUTOFCONTEXT);
//   NotifyWinEvent(EVENT_OBJECT_STATECHANGE, host, OBJID_CLIENT, partId);
#pragma once

#include <tessel/platform/win_types.h>

DECLARE_HANDLE(HWINEVENTHOOK);

#define EVENT_MIN 0x00000001
#define EVENT_MAX 0x7FFFFFFF
#define EVENT_SYSTEM_FOREGROUND 0x0003
#define EVENT_OBJECT_CREATE 0x8000
#define EVENT_OBJECT_DESTROY 0x8001
#define EVENT_OBJECT_SHOW 0x8002
#define EVENT_OBJECT_HIDE 0x8003
#define EVENT_OBJECT_REORDER 0x8004
#define EVENT_OBJECT_FOCUS 0x8005
#define EVENT_OBJECT_SELECTION 0x8006
#define EVENT_OBJECT_STATECHANGE 0x800A
#define EVENT_OBJECT_LOCATIONCHANGE 0x800B
#define EVENT_OBJECT_NAMECHANGE 0x800C
#define EVENT_OBJECT_VALUECHANGE 0x800E

#define OBJID_WINDOW ((LONG)0x00000000)
#define OBJID_CLIENT ((LONG)0xFFFFFFFC)
#define CHILDID_SELF 0

// Out of context, events are queued and delivered by the thread's next
// GetMessage or PeekMessage, in the order they happened; in context, the
// procedure runs inside the call that raised the event, and the hook needs
// the module that holds it. Everything here happens in one process on one
// user-interface thread: WINEVENT_SKIPOWNPROCESS leaves a hook nothing, and
// WINEVENT_SKIPOWNTHREAD leaves it the events of other threads alone.
#define WINEVENT_OUTOFCONTEXT 0x0000
#define WINEVENT_SKIPOWNTHREAD 0x0001
#define WINEVENT_SKIPOWNPROCESS 0x0002
#define WINEVENT_INCONTEXT 0x0004

using WINEVENTPROC = void (*)(HWINEVENTHOOK hook, DWORD event, HWND window, LONG idObject,
                              LONG idChild, DWORD idEventThread, DWORD eventTimeMs);

HWINEVENTHOOK SetWinEventHook(DWORD eventMin, DWORD eventMax, HMODULE module,
                              WINEVENTPROC procedure, DWORD idProcess, DWORD idThread, DWORD flags);
BOOL UnhookWinEvent(HWINEVENTHOOK hook);
// Costs one test when no hook listens.
void NotifyWinEvent(DWORD event, HWND window, LONG idObject, LONG idChild);
