#include "platform/forminstance.h"

#include <algorithm>
#include <vector>
#include <QSet>

namespace forms {
namespace {

struct LoadedForm {
    // Only compared, never used to reach the form: it may be gone already.
    const QWidget* form;
    std::function<void()> unload;
};

std::vector<LoadedForm>& loadedForms() {
    static std::vector<LoadedForm> list;
    return list;
}

// Only compared, like the list's forms.
QSet<const QWidget*>& unloadedForms() {
    static QSet<const QWidget*> forms;
    return forms;
}

bool isRegistered(const QWidget* form) {
    const auto& list = loadedForms();
    return std::any_of(list.begin(), list.end(),
                       [form](const LoadedForm& entry) { return entry.form == form; });
}

}  // namespace

void registerLoaded(QWidget* form, std::function<void()> unload) {
    if (!form || isRegistered(form)) {
        return;
    }
    loadedForms().push_back({form, std::move(unload)});
    // A form deleted by other means than its unload must not stay listed.
    QObject::connect(form, &QObject::destroyed, [form] {
        forgetLoaded(form);
        unloadedForms().remove(form);
    });
}

void forgetLoaded(QWidget* form) {
    auto& list = loadedForms();
    list.erase(std::remove_if(list.begin(), list.end(),
                              [form](const LoadedForm& entry) { return entry.form == form; }),
               list.end());
}

void unloadAll() {
    // Unloading one form may unload or load others, so walk a copy and skip
    // what an earlier unload already took away.
    const std::vector<LoadedForm> snapshot = loadedForms();
    for (auto entry = snapshot.rbegin(); entry != snapshot.rend(); ++entry) {
        if (isRegistered(entry->form)) {
            entry->unload();
        }
    }
}

int loadedCount() {
    return int(loadedForms().size());
}

void markUnloaded(QWidget* form) {
    forgetLoaded(form);
    unloadedForms().insert(form);
}

bool isUnloaded(const QWidget* form) {
    return unloadedForms().contains(form);
}

}  // namespace forms
