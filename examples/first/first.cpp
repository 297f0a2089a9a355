// A first Tessel application: a framed window whose component host shows a
// text and a button; each click climbs to the window as a command.
#include <cstdio>

#include <tessel/platform/testing.h>
#include <tessel/tessel.h>

class HelloWnd : public YBChildWnd {
public:
    static constexpr int kHelloId = 1;

    HelloWnd() { setInitialSize(360, 120); }

    void getCreateStyle(DWORD& style, DWORD& exStyle, CSize& size) override {
        YBChildWnd::getCreateStyle(style, exStyle, size);
        style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;  // a top-level window with a frame
    }
    void onCreate() override {
        SetWindowText(L"Hello, Tessel");
        m_host.createAt(0, 0, this);
        const GFont font("Arial", 11.0, 0, RGB(30, 30, 40));
        m_host.addComponent(new YBText(L"Press the button: ", font, DT_SINGLELINE, 0, &m_host),
                            false, false);
        m_host.addComponent(new YBTextButton(kHelloId, L"Hello", font, 0, 0, &m_host), true, true);
    }
    void onSize(UINT, int width, int height) override {
        m_host.setPositionAndSize(0, 0, width, height, true);
    }
    void onCommand(int id) override {  // from the button, through its host
        if (id == kHelloId) std::printf("hello number %d\n", ++m_clicks);
    }
    void onClose() override {
        DestroyWindow();
        ::PostQuitMessage(0);
    }

    int clicks() const { return m_clicks; }
    CPoint buttonOnScreen() const {
        CPoint centre = m_host.getComponentByID(kHelloId)->rect().CenterPoint();
        m_host.ClientToScreen(&centre);
        return centre;
    }

private:
    YBComponentWnd m_host{RGB(255, 255, 255)};
    int m_clicks = 0;
};

int main() {
    HelloWnd window;
    if (!window.createAt(100, 100, nullptr)) return 1;
    if (!tessel::hasDisplay()) {
        // No screen (a build machine): one click through the input queue, as a user's.
        const CPoint button = window.buttonOnScreen();
        ::SetCursorPos(button.x, button.y);
        tessel::sendMouseInput(MOUSEEVENTF_LEFTDOWN);
        tessel::sendMouseInput(MOUSEEVENTF_LEFTUP);
        tessel::testing::pump();
        return window.clicks() == 1 ? 0 : 1;
    }
    while (AfxPumpMessage()) {
    }
    return 0;
}
