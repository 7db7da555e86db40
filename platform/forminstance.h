#pragma once

#include <functional>
#include <QPointer>
#include <QWidget>

// Each form has one default instance: made (and loaded) on first use,
// deleted when unloaded, made afresh at the next use.
namespace forms {

// Loaded forms in load order, so that the program can unload them from the
// last loaded to the first.
void registerLoaded(QWidget* form, std::function<void()> unload);
void forgetLoaded(QWidget* form);
void unloadAll();
int loadedCount();

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

    // The form may be unloading itself from one of its own handlers, so it
    // is hidden now and deleted once control returns to the event loop.
    static void unload() {
        QPointer<T> form = instance();
        instance() = nullptr;
        if (!form) {
            return;
        }
        forms::forgetLoaded(form);
        form->hide();
        form->deleteLater();
    }

private:
    static QPointer<T>& instance() {
        static QPointer<T> pointer;
        return pointer;
    }
};
