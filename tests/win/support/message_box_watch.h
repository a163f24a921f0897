// Answers every message box this process shows while the watch runs, from a second thread, and
// keeps what each one said. Unlike waiting for one box with a time limit, a box that comes late is
// still answered (the test does not hang on it) and a box that never comes costs no waiting.
#pragma once
#include "message_box_probe.h"

#include <atomic>
#include <thread>
#include <vector>

class MessageBoxWatch {
public:
    explicit MessageBoxWatch(int buttonId = IDOK) : m_thread([this, buttonId] { Run(buttonId); }) {}
    ~MessageBoxWatch() { Stop(); }
    MessageBoxWatch(const MessageBoxWatch&) = delete;
    MessageBoxWatch& operator=(const MessageBoxWatch&) = delete;

    // Ends the watch; the boxes answered, in order.
    const std::vector<MessageBoxInfo>& Stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        return m_boxes;
    }

private:
    void Run(int buttonId)
    {
        while (!m_stop) {
            HWND box = WaitForMessageBox(0, 20);
            MessageBoxInfo info;
            if (box && ReadMessageBox(box, info) && PressMessageBoxButton(box, buttonId)) {
                m_boxes.push_back(info);
                WaitForWindowGone(box, 5000);
            }
        }
    }

    std::atomic<bool> m_stop{false};
    std::vector<MessageBoxInfo> m_boxes;
    std::thread m_thread;
};
