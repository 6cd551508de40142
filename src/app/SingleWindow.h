// The "only one of this window" rule, the same for every such window: the
// open one is brought to the front and activated; only when none is open
// is a new one made and shown. A window closed a moment ago, which waits
// for its deletion, does not count: it would vanish once shown again.
#pragma once

#include "WindowLook.h"

#include <QPointer>

namespace kq {

template <class W>
class SingleWindow {
public:
    // make() returns a new window, not yet shown. Returns whether it was
    // called (the caller may then finish the new window).
    template <class Make>
    static bool Show(Make make) {
        const bool made = !s_Open || s_Open->isHidden();
        if (made) s_Open = make();
        s_Open->show();
        s_Open->raise();
        s_Open->activateWindow();
        return made;
    }
    // The same for a window W(owner), placed over owner on the screen when new.
    template <class Owner>
    static W* ShowOver(Owner& owner) {
        Show([&owner] {
            auto* w = new W(owner);
            PlaceOnScreen(w, &owner);
            return w;
        });
        return Open();
    }
    // The open window; nullptr when none is.
    static W* Open() { return s_Open; }

private:
    static inline QPointer<W> s_Open;
};

} // namespace kq
