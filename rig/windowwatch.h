// Two things the window system does to the rig's window that the toolkit does not pass on:
// a close request (the title bar's close button) while a modal message box blocks the
// window, which the toolkit drops, and the window destroyed by another program, which it
// does not report at all. Only X11 is watched; elsewhere the watch stays silent.
#pragma once

#include <QAbstractNativeEventFilter>
#include <cstdint>
#include <functional>

class QWidget;

namespace rig {

class WindowWatch final : public QAbstractNativeEventFilter {
  public:
    // Watches the top-level `window` for as long as the watch lives.
    WindowWatch(const QWidget &window, std::function<void()> closeRequestedWhileBlocked,
                std::function<void()> destroyed);
    ~WindowWatch() override;
    WindowWatch(const WindowWatch &) = delete;
    WindowWatch &operator=(const WindowWatch &) = delete;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

  private:
    const QWidget &window_;
    std::function<void()> closeRequested_;
    std::function<void()> destroyed_;
    std::uint32_t protocolsAtom_ = 0;  // WM_PROTOCOLS
    std::uint32_t deleteAtom_ = 0;     // WM_DELETE_WINDOW
};

}  // namespace rig
