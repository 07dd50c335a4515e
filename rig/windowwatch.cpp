#include "windowwatch.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <cstring>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>
#endif

namespace rig {

#if QT_CONFIG(xcb)
namespace {

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

}  // namespace
#endif

WindowWatch::WindowWatch(const QWidget &window, std::function<void()> closeRequestedWhileBlocked,
                         std::function<void()> destroyed)
    : window_(window),
      closeRequested_(std::move(closeRequestedWhileBlocked)),
      destroyed_(std::move(destroyed)) {
#if QT_CONFIG(xcb)
    const auto *x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return;
    protocolsAtom_ = internAtom(x11->connection(), "WM_PROTOCOLS");
    deleteAtom_ = internAtom(x11->connection(), "WM_DELETE_WINDOW");
    QCoreApplication::instance()->installNativeEventFilter(this);
#endif
}

WindowWatch::~WindowWatch() {
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool WindowWatch::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) {
#if QT_CONFIG(xcb)
    const WId id = window_.internalWinId();
    if (eventType != "xcb_generic_event_t" || id == 0)
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    switch (event->response_type & 0x7f) {
        case XCB_DESTROY_NOTIFY: {
            const auto *destroy = reinterpret_cast<const xcb_destroy_notify_event_t *>(event);
            if (destroy->window == id)
                destroyed_();
            return false;
        }
        case XCB_CLIENT_MESSAGE: {
            const auto *client = reinterpret_cast<const xcb_client_message_event_t *>(event);
            const QWindow *modal = QGuiApplication::modalWindow();
            const bool blocked = modal && modal != window_.windowHandle();
            if (blocked && client->window == id && client->format == 32 &&
                client->type == protocolsAtom_ && client->data.data32[0] == deleteAtom_) {
                closeRequested_();
                return true;
            }
            return false;
        }
        default:
            return false;
    }
#else
    (void)eventType;
    (void)message;
    return false;
#endif
}

}  // namespace rig
