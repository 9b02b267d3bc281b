// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/xkb_layout.h"

#include <QGuiApplication>
#include <QtGui/qtguiglobal.h>
#include <algorithm>

#if QT_CONFIG(xcb)
// Xlib defines macros (None, Bool, Status ...) that clash with Qt names: it
// comes after every Qt header.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#endif

namespace heatx {

XkbRulesNames ParseXkbRulesNames(const QByteArray& property) {
    const QList<QByteArray> fields = property.split('\0');
    auto list = [&](int field) {
        if (field >= fields.size()) return QStringList();
        return QString::fromLatin1(fields[field]).split(QLatin1Char(','));
    };
    XkbRulesNames names;
    names.layouts = list(2);
    names.variants = list(3);
    return names;
}

int XkbGroupOf(const XkbRulesNames& names, KeyboardLayout layout) {
    const QString wanted = layout == KeyboardLayout::Russian ? QStringLiteral("ru") : QStringLiteral("us");
    // XKB has at most four groups.
    const int groups = std::min<int>(static_cast<int>(names.layouts.size()), 4);
    auto variant = [&](int g) { return g < names.variants.size() ? names.variants[g].trimmed() : QString(); };
    for (int g = 0; g < groups; ++g)
        if (names.layouts[g].trimmed() == wanted && variant(g).isEmpty()) return g;
    for (int g = 0; g < groups; ++g)
        if (names.layouts[g].trimmed() == wanted) return g;
    return -1;
}

int XkbGroupOfNames(const QStringList& groupNames, KeyboardLayout layout) {
    const QString wanted = layout == KeyboardLayout::Russian ? QStringLiteral("Russian") : QStringLiteral("English (US)");
    const int groups = std::min<int>(static_cast<int>(groupNames.size()), 4);
    for (int g = 0; g < groups; ++g)
        if (groupNames[g] == wanted) return g;
    for (int g = 0; g < groups; ++g)
        if (groupNames[g].startsWith(wanted)) return g;
    return -1;
}

#if QT_CONFIG(xcb)

namespace {

QByteArray RulesNamesProperty(Display* display) {
    const Atom atom = XInternAtom(display, "_XKB_RULES_NAMES", True);
    if (atom == None) return QByteArray();
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    QByteArray value;
    // 4096 32-bit units: far more than any rules names hold.
    if (XGetWindowProperty(display, DefaultRootWindow(display), atom, 0, 4096, False, XA_STRING, &type, &format,
                           &items, &after, &data) == Success &&
        type == XA_STRING && format == 8 && data != nullptr)
        value = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(items));
    if (data != nullptr) XFree(data);
    return value;
}

QStringList GroupNames(Display* display) {
    QStringList names;
    XkbDescPtr keyboard = XkbAllocKeyboard();
    if (keyboard == nullptr) return names;
    if (XkbGetNames(display, XkbGroupNamesMask, keyboard) == Success && keyboard->names != nullptr) {
        for (int g = 0; g < XkbNumKbdGroups; ++g) {
            const Atom atom = keyboard->names->groups[g];
            char* name = atom != None ? XGetAtomName(display, atom) : nullptr;
            if (name == nullptr) break;
            names.append(QString::fromUtf8(name));
            XFree(name);
        }
    }
    XkbFreeKeyboard(keyboard, 0, True);
    return names;
}

}  // namespace

bool LockXkbLayout(KeyboardLayout layout) {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 != nullptr ? x11->display() : nullptr;
    if (display == nullptr) return false;
    int opcode = 0, event = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (!XkbQueryExtension(display, &opcode, &event, &error, &major, &minor)) return false;
    int group = XkbGroupOf(ParseXkbRulesNames(RulesNamesProperty(display)), layout);
    if (group < 0) group = XkbGroupOfNames(GroupNames(display), layout);
    if (group < 0) return false;
    const bool locked = XkbLockGroup(display, XkbUseCoreKbd, static_cast<unsigned>(group));
    XFlush(display);
    return locked;
}

#else

bool LockXkbLayout(KeyboardLayout) { return false; }

#endif

}  // namespace heatx
