// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_base/form_registry.h"

#include "window_base/form_window.h"

namespace heatx {

FormRegistry::~FormRegistry() {
    const QList<FormWindow*> loaded = loaded_;
    loaded_.clear();
    qDeleteAll(loaded);
    DestroyUnloaded();
}

FormWindow* FormRegistry::Find(const QString& name) const {
    for (FormWindow* form : loaded_)
        if (form->Name() == name) return form;
    return nullptr;
}

void FormRegistry::Add(FormWindow* form) { loaded_.append(form); }

void FormRegistry::Unload(FormWindow* form) {
    if (!form || !loaded_.removeOne(form)) return;
    form->hide();
    // The handler that unloads a window may be running in that very window
    // (CloseOtherWindows may unload its caller), so it is destroyed later.
    form->deleteLater();
    unloaded_.removeIf([](const QPointer<FormWindow>& p) { return p.isNull(); });
    unloaded_.append(form);
}

void FormRegistry::CloseOtherWindows() {
    while (loaded_.size() > 1) Unload(loaded_.first());
}

void FormRegistry::UnloadAll() {
    while (!loaded_.isEmpty()) Unload(loaded_.first());
}

QStringList FormRegistry::LoadOrder() const {
    QStringList names;
    for (const FormWindow* form : loaded_) names.append(form->Name());
    return names;
}

bool FormRegistry::AnyVisible() const {
    for (const FormWindow* form : loaded_)
        if (form->isVisible()) return true;
    return false;
}

void FormRegistry::DestroyUnloaded() {
    const QList<QPointer<FormWindow>> pending = unloaded_;
    unloaded_.clear();
    for (const QPointer<FormWindow>& form : pending) delete form.data();
}

}  // namespace heatx
