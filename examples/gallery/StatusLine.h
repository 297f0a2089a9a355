// The gallery's status line: a text window telling the last command. A text
// window's text is fixed, so each new message replaces the window.
//
//   status.show(L"Command 601");
#pragma once

#include <memory>
#include <string>

#include <tessel/windows/YBTextWnd.h>

class StatusLine : public YBChildWnd {
public:
    static constexpr int kHeight = 28;

    StatusLine();
    ~StatusLine() override;

    void onCreate() override;
    void onDraw(XDC& dc) override;
    void onSize(UINT type, int width, int height) override;

    void show(const std::wstring& message);
    const std::wstring& message() const { return m_message; }

private:
    void place();

    std::wstring m_message;
    std::unique_ptr<YBTextWnd> m_text;
};
