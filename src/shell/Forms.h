#pragma once

#include "platform/ui/Form.h"

#include <QPointer>
#include <map>
#include <typeindex>
#include <vector>

class Context;

// Owns one instance of each window, created (and loaded) on first use. Unloading destroys it; the
// next use creates a new one. Windows reach each other only through here.
class Forms {
public:
    explicit Forms(Context& ctx) : m_ctx(ctx) {}
    ~Forms();
    Forms(const Forms&) = delete;
    Forms& operator=(const Forms&) = delete;

    template <class F>
    F& get() {
        if (F* f = find<F>()) return *f;
        auto* f = new F(m_ctx);
        m_forms[typeid(F)] = f;
        m_created.push_back(f);
        f->Load();
        return *f;
    }

    template <class F>
    F* find() const {
        auto it = m_forms.find(typeid(F));
        return it == m_forms.end() ? nullptr : static_cast<F*>(it->second.data());
    }

    template <class F>
    bool isLoaded() const {
        return find<F>() != nullptr;
    }

    template <class F>
    void unload() {
        if (Form* f = find<F>()) {
            m_forms.erase(typeid(F));
            destroy(f);
        }
    }

    // Shows a window modally; when it closes, the window that was active before is activated again.
    void showModal(Form& form);

    // The active child window of the main window, which receives Activate and Deactivate.
    Form* activeChild() const { return m_activeChild; }
    void setActiveChild(Form* form);

private:
    void destroy(Form* form);

    Context& m_ctx;
    std::map<std::type_index, QPointer<Form>> m_forms;
    std::vector<QPointer<Form>> m_created;
    QPointer<Form> m_activeChild;
};
