#pragma once

#include <functional>
#include <QHash>
#include <QString>

#include "standin/formfields.h"
#include "standin/scriptreply.h"
#include "standin/standinenv.h"

// One call of a script: its fields, the route it was reached by (without the
// server's folder prefixes) and the stand-in's state.
struct ScriptCall {
    const FormFields& fields;
    const QString& route;
    StandinEnv& env;
};

// How a script reads its fields. The program's requests carry raw form text
// led by the key; the upload and feedback forms arrive from a browser, encoded,
// and the checking engine decodes its sentence check the same way; plain
// pages and files carry no key at all.
enum class FieldForm { Raw, BrowserForm, NoKey };

struct Script {
    FieldForm form = FieldForm::Raw;
    std::function<ScriptReply(const ScriptCall&)> run;
};

// The scripts by route ("p_getlogin.asp", "engine/p_passWebEngine.asp"), and
// the folders whose every file one script serves ("news/").
class ScriptTable {
public:
    void add(const QString& route, FieldForm form,
             std::function<ScriptReply(const ScriptCall&)> run) {
        m_scripts.insert(route.toLower(), {form, std::move(run)});
    }
    void addFolder(const QString& folder, FieldForm form,
                   std::function<ScriptReply(const ScriptCall&)> run) {
        m_folders.insert(folder.toLower(), {form, std::move(run)});
    }

    // Script names compare case-insensitively, as on the service's server.
    const Script* find(const QString& route) const {
        const auto script = m_scripts.constFind(route.toLower());
        if (script != m_scripts.constEnd()) {
            return &script.value();
        }
        const auto folder = m_folders.constFind(route.left(route.lastIndexOf('/') + 1).toLower());
        return folder != m_folders.constEnd() ? &folder.value() : nullptr;
    }

private:
    QHash<QString, Script> m_scripts;
    QHash<QString, Script> m_folders;
};
