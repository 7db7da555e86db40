#pragma once

#include <functional>
#include <QPointer>
#include <QWidget>

#include "platform/waituntil.h"

// Each form has one default instance: made (and loaded) on first use,
// deleted when unloaded, made afresh at the next use.
namespace forms {

// Loaded forms in load order, so that the program can unload them from the
// last loaded to the first.
void registerLoaded(QWidget* form, std::function<void()> unload);
void forgetLoaded(QWidget* form);
void unloadAll();
int loadedCount();

// An unloaded form may live on for a while, until the handlers that waited
// in it have returned: it is known as unloaded until it is deleted.
void markUnloaded(QWidget* form);
bool isUnloaded(const QWidget* form);

}  // namespace forms

// The constructor builds the controls; a form's Form_Load(), when it has
// one, runs once the instance is registered, so code that it calls may use
// the default instance without making a second one.
template <class T>
class FormInstance {
public:
    static T* get() {
        if (!instance()) {
            T* form = new T();
            instance() = form;
            forms::registerLoaded(form, [] { unload(); });
            if constexpr (requires { form->Form_Load(); }) {
                form->Form_Load();
            }
        }
        return instance().data();
    }

    static bool isLoaded() { return !instance().isNull(); }

    // The form may be unloading itself from one of its own handlers, or
    // another handler of it may be waiting further up the stack, so it is
    // hidden now and deleted once none of them can still be running.
    static void unload() {
        QPointer<T> form = instance();
        instance() = nullptr;
        if (!form) {
            return;
        }
        forms::markUnloaded(form);
        form->hide();
        waits::deleteAfterWaits(form);
    }

private:
    static QPointer<T>& instance() {
        static QPointer<T> pointer;
        return pointer;
    }
};
