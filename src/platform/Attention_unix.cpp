#include "platform/Attention.h"

#include <QApplication>
#include <QByteArray>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

#include <wayland-client.h>

#include "xdg-activation-v1-client-protocol.h"

#include <cstring>

namespace {

// One activation request's objects, on an event queue of its own so that Qt's handling of the
// connection never sees their events; destroyed in the order the protocol needs.
struct ActivationRequest
{
    wl_event_queue *queue = nullptr;
    wl_display *queuedDisplay = nullptr;
    wl_registry *registry = nullptr;
    xdg_activation_v1 *activation = nullptr;
    xdg_activation_token_v1 *token = nullptr;
    QByteArray tokenText;

    ~ActivationRequest()
    {
        if (token)
            xdg_activation_token_v1_destroy(token);
        if (activation)
            xdg_activation_v1_destroy(activation);
        if (registry)
            wl_registry_destroy(registry);
        if (queuedDisplay)
            wl_proxy_wrapper_destroy(queuedDisplay);
        if (queue)
            wl_event_queue_destroy(queue);
    }
};

void AnnounceGlobal(void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t)
{
    auto *request = static_cast<ActivationRequest *>(data);
    if (!request->activation && std::strcmp(interface, xdg_activation_v1_interface.name) == 0)
        request->activation =
            static_cast<xdg_activation_v1 *>(wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1));
}
void RemoveGlobal(void *, wl_registry *, uint32_t) {}
const wl_registry_listener RegistryListener = {AnnounceGlobal, RemoveGlobal};

void TokenDone(void *data, xdg_activation_token_v1 *, const char *token)
{
    static_cast<ActivationRequest *>(data)->tokenText = token;
}
const xdg_activation_token_v1_listener TokenListener = {TokenDone};

// Activates surface with a token the program asks for itself: it carries no input event of the
// user's, so the compositor does not give the window the focus but shows it asking for attention.
void RequestActivation(wl_display *display, wl_surface *surface)
{
    ActivationRequest request;
    request.queue = wl_display_create_queue(display);
    request.queuedDisplay = static_cast<wl_display *>(wl_proxy_create_wrapper(display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy *>(request.queuedDisplay), request.queue);
    request.registry = wl_display_get_registry(request.queuedDisplay);
    wl_registry_add_listener(request.registry, &RegistryListener, &request);
    if (wl_display_roundtrip_queue(display, request.queue) < 0 || !request.activation)
        return;
    request.token = xdg_activation_v1_get_activation_token(request.activation);
    xdg_activation_token_v1_add_listener(request.token, &TokenListener, &request);
    xdg_activation_token_v1_set_surface(request.token, surface);
    xdg_activation_token_v1_commit(request.token);
    if (wl_display_roundtrip_queue(display, request.queue) < 0 || request.tokenText.isEmpty())
        return;
    xdg_activation_v1_activate(request.activation, request.tokenText.constData(), surface);
    wl_display_flush(display);
}

} // namespace

void Attention::Ask(QWidget *window)
{
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        QApplication::alert(window);
        return;
    }
    QPlatformNativeInterface *native = QGuiApplication::platformNativeInterface();
    QWindow *handle = window->windowHandle();
    auto *display = static_cast<wl_display *>(native ? native->nativeResourceForIntegration("wl_display") : nullptr);
    auto *surface = static_cast<wl_surface *>(handle ? native->nativeResourceForWindow("surface", handle) : nullptr);
    if (display && surface)
        RequestActivation(display, surface);
}
