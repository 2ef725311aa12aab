#include "gui/compact_style.h"

#include <dlfcn.h>

namespace hostapp::gui {

namespace {

// Sizes within the dialogs' rectangles: a slider fits 20 pixels, a push button and an edit 18.
constexpr const char* kStyleSheet =
    "scale { min-height: 0; min-width: 0; padding: 2px 6px; margin: 0; }"
    "scale trough { min-height: 4px; min-width: 4px; }"
    "scale slider { min-height: 12px; min-width: 12px; margin: -5px; }"
    "button { min-height: 0; min-width: 0; padding: 1px 6px; }"
    "entry { min-height: 0; padding-top: 0; padding-bottom: 0; }"
    "spinbutton, combobox button { min-height: 0; padding-top: 0; padding-bottom: 0; }";

// GTK's own functions, found in the GTK library the window toolkit runs on (its development
// headers are not needed for these four calls).
using NewProvider = void* (*)();
using LoadData = int (*)(void*, const char*, long, void**);
using DefaultScreen = void* (*)();
using AddProvider = void (*)(void*, void*, unsigned);
constexpr unsigned kUserPriority = 800;  // GTK_STYLE_PROVIDER_PRIORITY_USER

template <typename F>
F gtkFunction(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
}

}  // namespace

void installCompactStyle() {
    auto newProvider = gtkFunction<NewProvider>("gtk_css_provider_new");
    auto load = gtkFunction<LoadData>("gtk_css_provider_load_from_data");
    auto screen = gtkFunction<DefaultScreen>("gdk_screen_get_default");
    auto add = gtkFunction<AddProvider>("gtk_style_context_add_provider_for_screen");
    if (!newProvider || !load || !screen || !add || screen() == nullptr) return;
    void* provider = newProvider();
    if (load(provider, kStyleSheet, -1, nullptr)) add(screen(), provider, kUserPriority);
}

}  // namespace hostapp::gui
