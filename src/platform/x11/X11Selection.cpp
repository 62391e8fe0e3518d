#include "platform/x11/X11Selection.h"

#include <X11/Xatom.h>
#include <poll.h>

#include <chrono>

#include "platform/common/Latin1.h"
#include "platform/x11/X11Connection.h"

namespace platform::x11 {

namespace {

constexpr auto kAnswerTimeout = std::chrono::milliseconds(1000);
constexpr int kWaitMilliseconds = 20;
// Far more than a field holds; a larger text is read this far and cut by the field.
constexpr long kLongestRead = 16384;  // in 32-bit units

bool waitForAnswer(Display* display, Window requestor, XEvent& answer) {
    auto deadline = std::chrono::steady_clock::now() + kAnswerTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (XCheckTypedWindowEvent(display, requestor, SelectionNotify, &answer)) return true;
        XEvent expose;
        while (XCheckTypedEvent(display, Expose, &expose))
            if (EventTarget* target = findTarget(expose.xany.window))
                target->handleEvent(expose, false);
        XFlush(display);
        pollfd waiting{ConnectionNumber(display), POLLIN, 0};
        poll(&waiting, 1, kWaitMilliseconds);
    }
    return false;
}

}  // namespace

std::optional<std::string> readSelectionText(Display* display, Window requestor, Atom selection,
                                             Time time) {
    if (XGetSelectionOwner(display, selection) == None) return std::nullopt;
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom incremental = XInternAtom(display, "INCR", False);
    Atom property = XInternAtom(display, "KRV_PASTE", False);
    for (Atom target : {utf8, Atom(XA_STRING)}) {
        XDeleteProperty(display, requestor, property);
        XConvertSelection(display, selection, target, property, requestor, time);
        XEvent answer;
        if (!waitForAnswer(display, requestor, answer)) return std::nullopt;
        if (answer.xselection.property == None) continue;  // the owner cannot give this type
        Atom type = None;
        int format = 0;
        unsigned long count = 0, remaining = 0;
        unsigned char* data = nullptr;
        int status = XGetWindowProperty(display, requestor, property, 0, kLongestRead, True,
                                        AnyPropertyType, &type, &format, &count, &remaining,
                                        &data);
        std::string bytes;
        if (status == Success && data && format == 8)
            bytes.assign(reinterpret_cast<char*>(data), count);
        if (data) XFree(data);
        if (remaining > 0) XDeleteProperty(display, requestor, property);
        if (status != Success || type == incremental) return std::nullopt;
        if (type == utf8) return utf8ToLatin1(bytes);
        if (type == XA_STRING) return bytes;
    }
    return std::nullopt;
}

}  // namespace platform::x11
