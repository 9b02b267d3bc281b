// SPDX-License-Identifier: GPL-3.0-or-later
// The window-instance model: each window exists as one instance, created on
// first reference (its load handler runs then) and remembered in load order.
// Hiding keeps it and its controls' contents; unloading destroys it, and the
// next reference makes a fresh one.
#pragma once

#include <QList>
#include <QPointer>
#include <QStringList>

namespace heatx {

class FormWindow;

class FormRegistry {
public:
    FormRegistry() = default;
    FormRegistry(const FormRegistry&) = delete;
    FormRegistry& operator=(const FormRegistry&) = delete;
    ~FormRegistry();

    FormWindow* Find(const QString& name) const;
    // Remembers a newly created window as the most recently loaded one.
    void Add(FormWindow* form);
    // Hides the window and forgets it; the instance is destroyed once the
    // handler that unloaded it has run to its end.
    void Unload(FormWindow* form);
    // While more than one window is loaded, unloads the earliest-loaded.
    void CloseOtherWindows();
    // Unloads every window at once.
    void UnloadAll();

    QStringList LoadOrder() const;
    int Count() const { return static_cast<int>(loaded_.size()); }
    bool AnyVisible() const;

    // Destroys the unloaded windows still waiting for their handler to end.
    void DestroyUnloaded();

private:
    QList<FormWindow*> loaded_;
    QList<QPointer<FormWindow>> unloaded_;
};

}  // namespace heatx
