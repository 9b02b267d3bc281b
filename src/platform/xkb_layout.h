// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard's input language on an X11 display, through the XKB
// extension: every layout of the keyboard map is one XKB group, and locking
// a group makes its layout the one the keys type in. Other window systems
// (Wayland, the offscreen one of the tests) have no such switch for a
// program; there nothing is done.
#pragma once

#include "platform/platform.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace heatx {

// The layouts and their variants, one per group, from the value of the
// root window's _XKB_RULES_NAMES property: rules, model, layouts, variants
// and options as NUL-ended strings, the lists comma-separated
// ("evdev\0pc105\0us,ru\0,\0grp:alt_shift_toggle\0").
struct XkbRulesNames {
    QStringList layouts;
    QStringList variants;
};
XkbRulesNames ParseXkbRulesNames(const QByteArray& property);

// The group (0-3) of layout in those names, or -1 when the keyboard has no
// such layout. Russian is "ru" in any variant; English (United States) is
// "us", the plain one before any variant of it (international, Dvorak ...).
int XkbGroupOf(const XkbRulesNames& names, KeyboardLayout layout);

// The same from the groups' descriptive names ("Russian", "English (US)"),
// for a server that does not publish its rules names.
int XkbGroupOfNames(const QStringList& groupNames, KeyboardLayout layout);

// Locks the group of layout on the application's X11 display. False, with
// nothing changed, when the program does not run on X11, the display has no
// XKB, or the keyboard has no such layout.
bool LockXkbLayout(KeyboardLayout layout);

}  // namespace heatx
