#include "unexpected_box.h"

#include "message_box_probe.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

namespace {
// Test code answers its boxes within milliseconds; a box up this long is nobody's.
constexpr DWORD kUnansweredMs = 3000;

class UnexpectedBoxWatch : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo&) override
    {
        m_stop = false;
        m_thread = std::thread([this] { Run(); });
    }
    void OnTestEnd(const ::testing::TestInfo&) override { Stop(); }
    void OnTestPartResult(const ::testing::TestPartResult&) override {}

private:
    void Stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }

    void Run()
    {
        HWND seen = nullptr;
        DWORD since = 0;
        while (!m_stop) {
            HWND box = WaitForMessageBox(0, 50);
            if (!box) {
                seen = nullptr;
                continue;
            }
            if (box != seen) {
                seen = box;
                since = ::GetTickCount();
                continue;
            }
            if (::GetTickCount() - since < kUnansweredMs) {
                ::Sleep(50);
                continue;
            }
            MessageBoxInfo info;
            ReadMessageBox(box, info);
            ADD_FAILURE() << "unexpected message box \"" << info.caption << "\": \"" << info.text << "\"";
            // OK where there is one, otherwise the box's cancel or No button.
            if (!PressMessageBoxButton(box, IDOK) && !PressMessageBoxButton(box, IDCANCEL))
                PressMessageBoxButton(box, IDNO);
            WaitForWindowGone(box, 2000);
            seen = nullptr;
        }
    }

    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
}

void InstallUnexpectedMessageBoxWatch()
{
    ::testing::UnitTest::GetInstance()->listeners().Append(new UnexpectedBoxWatch);
}
