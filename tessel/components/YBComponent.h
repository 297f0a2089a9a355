// A windowless component: a rectangle in its owner window's client area
// with a word of state bits, sizes and one application value. It draws on
// the context its host hands it and gets the mouse events the host routes
// to it; to be repainted it invalidates the owner's whole client area.
//
// Every component made with the identifier-and-owner constructor stays in
// the process-wide registry m_componentList for its whole life (copies are
// never registered), so enableAllWithID reaches it in whatever host it is.
//
//   auto* button = new YBButton(ID_SAVE, &host);
//   host.addComponent(button, true, true);
//   YBComponent::disableAllWithID(ID_SAVE, true);
#pragma once

#include <cstdint>

#include <tessel/drawing/XDC.h>
#include <tessel/foundation/KLList.h>
#include <tessel/foundation/KLValue.h>
#include <tessel/platform/afx_wnd.h>
#include <tessel/platform/win_events.h>

class YBComponentWnd;

class YBComponent {
public:
    // State bits of flags().
    static constexpr std::uint32_t disabled = 0x01;
    static constexpr std::uint32_t mouseOver = 0x02;
    static constexpr std::uint32_t selected = 0x04;
    static constexpr std::uint32_t pressed = 0x08;
    static constexpr std::uint32_t visible = 0x10;
    static constexpr std::uint32_t open = 0x20;

    YBComponent(unsigned int id, CWnd* owner);
    // A copy has every field of the source but is not registered.
    YBComponent(const YBComponent& other);
    YBComponent& operator=(const YBComponent& other);
    virtual ~YBComponent();

    virtual CSize getMinSize() const;
    virtual void setMinSize(const CSize& size);
    virtual CSize getMaxSize() const;
    virtual void setMaxSize(const CSize& size);
    virtual CSize getContentsSize() const;
    virtual bool init();
    virtual void getCreateStyle(DWORD& style, DWORD& exStyle, CSize& size);
    virtual void onClose();   // clears open
    virtual void onCreate();  // sets open
    virtual void onEraseBackground(XDC& dc);
    virtual void onDraw(XDC& dc);  // the rectangle in white
    virtual void onSize(UINT type, int cx, int cy);
    virtual bool onSetCursor(UINT hitTest, UINT message);
    virtual void getPosition(int& x, int& y);
    virtual void setPosition(int x, int y, bool repaint);
    virtual void getSize(int& cx, int& cy);
    virtual void setSize(int cx, int cy, bool repaint);
    virtual void getPositionAndSize(int& x, int& y, int& cx, int& cy);
    virtual void setPositionAndSize(int x, int y, int cx, int cy, bool repaint);
    virtual void onCommand(int id);
    virtual void onTimer(int id);
    virtual void onKey(int down, int key, int repeat, int flags);
    virtual void onChar(int ch, int repeat);
    // Points are in the owner's client coordinates; actions 0 release, 1 press, 2 double click.
    virtual void onLeftMouseButton(int action, CPoint point);
    virtual void onRightMouseButton(int action, CPoint point);
    virtual void onMiddleMouseButton(int action, CPoint point);
    virtual void onMouseMove(UINT flags, CPoint point);
    virtual void onMouseEnter();
    virtual void onMouseLeave();
    virtual void onMouseWheel(UINT flags, int delta, CPoint point);

    unsigned int id() const { return m_id; }
    // Names this component to assistive technology: nonzero, its own for its
    // whole life, and never given to another component (copies get theirs).
    std::uint32_t accessibleId() const { return m_accessibleId; }
    // The live registered component with this accessible id; null when none.
    // For the user-interface thread.
    static YBComponent* findAccessible(std::uint32_t accessibleId);
    // The host listing it; null until a host lists it.
    YBComponentWnd* host() const { return m_host; }
    CRect rect() const { return m_rect; }
    void getClientRect(CRect& rect) const { rect = m_rect; }  // owner coordinates
    CSize size() const { return m_size; }
    CSize getInitialSize() const { return m_size; }
    // The size alone: the rectangle keeps its extent until the next placement.
    void setInitialSize(const CSize& size) { m_size = size; }
    void setInitialSize(int cx, int cy) { m_size = CSize(cx, cy); }
    void setMinSize(int cx, int cy) { setMinSize(CSize(cx, cy)); }
    void setMaxSize(int cx, int cy) { setMaxSize(CSize(cx, cy)); }
    kelp::KLValue& data() { return m_data; }
    const kelp::KLValue& getData() const { return m_data; }
    void setData(const kelp::KLValue& value) { m_data = value; }
    CWnd* getOwner() { return m_owner; }

    bool isEnabled() const { return !(m_flags & disabled); }
    bool isDisabled() const { return m_flags & disabled; }
    bool isMouseOver() const { return m_flags & mouseOver; }
    bool isPressed() const { return m_flags & pressed; }
    bool isSelected() const { return m_flags & selected; }
    bool isVisible() const { return m_flags & visible; }
    bool isOpen() const { return m_flags & open; }

    // Each repaints the owner when asked, whether or not the bit changed.
    void enable(bool enable, bool repaint);
    void disable(bool disable, bool repaint);
    void select(bool select, bool repaint);
    void show(bool repaint);
    void hide(bool repaint);
    // The owner's whole client area, with erase; nothing without an owner window.
    void invalidate();

    // Every registered component with this identifier, in whichever host.
    // A registry changed by another thread during the walk ends it with
    // KLConcurrentModificationException; components already changed stay so.
    static void enableAllWithID(int id, bool enable, bool repaint);
    static void disableAllWithID(int id, bool disable);

    // Every live component made with the identifier-and-owner constructor, in
    // order of construction; not owned.
    static kelp::KLList<YBComponent*> m_componentList;

protected:
    void setFlags(int mask) {
        const auto bits = static_cast<std::uint32_t>(mask);
        if ((bits & mouseOver) && !(m_flags & mouseOver)) noteMouseOver();
        m_flags |= bits;
    }
    void clearFlags(int mask) { m_flags &= ~static_cast<std::uint32_t>(mask); }
    // Tells assistive technology, through the window system, what changed
    // about this windowless part of its host; one test when nobody listens.
    void notifyAccess(DWORD event) const;

    CWnd* m_owner;  // the host: invalidated and sent commands; not owned
    // The owner's window when the component last repainted it: the registry
    // walk repaints through this handle because it may meet a component whose
    // owner object is already deleted.
    HWND m_ownerWindow;
    std::uint32_t m_flags = visible;
    unsigned int m_id;
    CRect m_rect{0, 0, 0, 0};  // in the owner's client coordinates
    CSize m_size{0, 0};        // current size, and the initial one
    CSize m_minSize{0, 0};     // stored for layouts; not enforced
    CSize m_maxSize{0, 0};
    kelp::KLValue m_data;  // the application's value

private:
    friend class YBComponentWnd;
    // Tell the host (its pointer routing) what it cannot see by itself.
    void noteMouseOver();
    void noteMoved();
    void notifyMoved(const CRect& before) const;

    YBComponentWnd* m_host = nullptr;  // the host listing this component, if any
    int m_hostIndex = -1;              // its index there
    const std::uint32_t m_accessibleId = nextAccessibleId();
    static std::uint32_t nextAccessibleId();

    // Applies `change` to every registered component with the identifier.
    template <class Change>
    static void forEachWithID(int id, Change change);
};
